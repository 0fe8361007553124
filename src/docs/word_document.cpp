#include "docs/word_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstring>
#include <functional>
#include <optional>
#include <pugixml.hpp>
#include <unordered_map>

#include "platform/zip_archive.h"

namespace zelvan {

namespace {

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration;

bool named(const pugi::xml_node& node, const char* name) { return std::strcmp(node.name(), name) == 0; }

QString utf8(const char* text) { return QString::fromUtf8(text); }

// One piece of a paragraph's text: the characters of one w:t element, or a tab or line
// break that belongs to no w:t (its node is then empty).
struct Piece {
    pugi::xml_node text;
    qsizetype start = 0;
    qsizetype length = 0;
};

// The visible text of one paragraph and where each character comes from. Paragraphs
// nested inside it (text boxes) are paragraphs of their own.
struct ParagraphText {
    QString text;
    std::vector<Piece> pieces;

    explicit ParagraphText(const pugi::xml_node& paragraph) { collect(paragraph); }

private:
    void collect(const pugi::xml_node& parent) {
        for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
            if (child.type() != pugi::node_element) continue;
            if (named(child, "w:p") || named(child, "w:delText") || named(child, "w:instrText")) continue;
            if (named(child, "w:t")) {
                const QString value = utf8(child.text().get());
                pieces.push_back({child, text.size(), value.size()});
                text += value;
            } else if (named(child, "w:tab")) {
                pieces.push_back({{}, text.size(), 1});
                text += u'\t';
            } else if (named(child, "w:br") || named(child, "w:cr")) {
                pieces.push_back({{}, text.size(), 1});
                text += u'\n';
            } else {
                collect(child);
            }
        }
    }
};

void setText(pugi::xml_node t, const QString& value) {
    t.text().set(value.toUtf8().constData());
    // Leading and trailing blanks are kept only when the element says so.
    pugi::xml_attribute space = t.attribute("xml:space");
    if (!space) space = t.append_attribute("xml:space");
    space.set_value("preserve");
}

// Replaces the characters [at, at + length) of the paragraph by `value`, which goes
// into the first w:t the range touches.
void splice(const ParagraphText& paragraph, qsizetype at, qsizetype length, const QString& value) {
    const qsizetype end = at + length;
    bool placed = false;
    for (const Piece& piece : paragraph.pieces) {
        const qsizetype pieceEnd = piece.start + piece.length;
        if (pieceEnd <= at) continue;
        if (piece.start >= end) break;
        if (!piece.text) continue;
        QString current = utf8(piece.text.text().get());
        const qsizetype from = std::max(at, piece.start) - piece.start;
        const qsizetype to = std::min(end, pieceEnd) - piece.start;
        current.remove(from, to - from);
        if (!placed) {
            current.insert(from, value);
            placed = true;
        }
        setText(piece.text, current);
    }
}

void collectParagraphs(const pugi::xml_node& parent, std::vector<pugi::xml_node>& out) {
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) continue;
        if (named(child, "w:p")) out.push_back(child);
        collectParagraphs(child, out);
    }
}

pugi::xml_node ancestorNamed(pugi::xml_node node, const char* name) {
    for (node = node.parent(); node; node = node.parent())
        if (named(node, name)) return node;
    return {};
}

pugi::xml_node childNamed(const pugi::xml_node& parent, const char* name, int index) {
    int seen = 0;
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling())
        if (named(child, name) && ++seen == index) return child;
    return {};
}

QString cellContent(const pugi::xml_node& cell) {
    std::vector<pugi::xml_node> paragraphs;
    collectParagraphs(cell, paragraphs);
    QStringList texts;
    for (const pugi::xml_node& p : paragraphs) texts << ParagraphText(p).text;
    return texts.join(u'\r');
}

// Replaces a cell's content by one paragraph with `text`, in the formatting of its first
// paragraph and first run; returns the new paragraph.
pugi::xml_node replaceCellContent(pugi::xml_node cell, const QString& text) {
    const pugi::xml_node firstParagraph = cell.child("w:p");
    pugi::xml_node paragraphProperties = firstParagraph.child("w:pPr");
    pugi::xml_node runProperties;
    if (firstParagraph) {
        const pugi::xml_node run = firstParagraph.find_node([](const pugi::xml_node& n) { return named(n, "w:r"); });
        if (run) runProperties = run.child("w:rPr");
    }
    pugi::xml_node properties = cell.child("w:tcPr");
    pugi::xml_node paragraph = properties ? cell.insert_child_after("w:p", properties) : cell.prepend_child("w:p");
    if (paragraphProperties) paragraph.append_copy(paragraphProperties);
    if (!text.isEmpty()) {
        pugi::xml_node run = paragraph.append_child("w:r");
        if (runProperties) run.append_copy(runProperties);
        setText(run.append_child("w:t"), text);
    }
    for (pugi::xml_node child = paragraph.next_sibling(); child;) {
        const pugi::xml_node next = child.next_sibling();
        cell.remove_child(child);
        child = next;
    }
    return paragraph;
}

bool isWordCharacter(QChar c) { return c.isLetterOrNumber() || c == u'_'; }

}  // namespace

struct WordDocument::Parts {
    QString shownName;
    std::vector<ZipEntry> entries;
    // The parts edited as XML: the main text first, then headers and footers.
    std::vector<std::pair<size_t, std::unique_ptr<pugi::xml_document>>> xml;
    pugi::xml_node body;

    // The selection in the main text.
    enum class Kind { Point, Text, Cell } kind = Kind::Point;
    pugi::xml_node paragraph;  // Point and Text
    qsizetype start = 0;
    qsizetype end = 0;
    pugi::xml_node cell;  // Cell

    // The main text's paragraphs in order, rebuilt after the text changes shape.
    std::vector<pugi::xml_node> paragraphs;
    std::unordered_map<pugi::xml_node_struct*, size_t> paragraphIndex;
    bool paragraphsStale = true;

    void refreshParagraphs() {
        if (!paragraphsStale) return;
        paragraphs.clear();
        paragraphIndex.clear();
        collectParagraphs(body, paragraphs);
        for (size_t i = 0; i < paragraphs.size(); ++i) paragraphIndex.emplace(paragraphs[i].internal_object(), i);
        paragraphsStale = false;
    }

    std::vector<pugi::xml_node> topLevelTables() const {
        std::vector<pugi::xml_node> tables;
        const std::function<void(const pugi::xml_node&)> walk = [&](const pugi::xml_node& parent) {
            for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
                if (child.type() != pugi::node_element) continue;
                if (named(child, "w:tbl")) tables.push_back(child);
                else walk(child);
            }
        };
        walk(body);
        return tables;
    }

    pugi::xml_node tableCell(int table, int row, int column) const {
        const std::vector<pugi::xml_node> tables = topLevelTables();
        if (table < 1 || table > int(tables.size())) return {};
        const pugi::xml_node tr = childNamed(tables[size_t(table - 1)], "w:tr", row);
        return tr ? childNamed(tr, "w:tc", column) : pugi::xml_node();
    }
};

WordDocument::WordDocument() : parts_(std::make_unique<Parts>()) {}
WordDocument::WordDocument(WordDocument&&) noexcept = default;
WordDocument& WordDocument::operator=(WordDocument&&) noexcept = default;
WordDocument::~WordDocument() = default;

WordDocument WordDocument::load(const QString& path) {
    QFile file(path);
    if (!file.exists())
        throw DocumentError(QStringLiteral("Файл шаблону \"%1\" не знайдено.").arg(QDir::toNativeSeparators(path)));
    if (!file.open(QIODevice::ReadOnly))
        throw DocumentError(QStringLiteral("Файл шаблону \"%1\" не вдалося прочитати: %2")
                                .arg(QDir::toNativeSeparators(path), file.errorString()));
    return fromBytes(file.readAll(), path);
}

WordDocument WordDocument::fromBytes(const QByteArray& bytes, const QString& shownName) {
    const QString shown = QDir::toNativeSeparators(shownName);
    const auto notWord = [&](const QString& why) {
        return DocumentError(QStringLiteral("Файл \"%1\" не є документом Word (.docx): %2").arg(shown, why));
    };
    WordDocument document;
    Parts& parts = *document.parts_;
    parts.shownName = shownName;
    try {
        parts.entries = readZip(bytes, shownName);
    } catch (const ZelvanError&) {
        throw notWord(QStringLiteral("це не архів документа."));
    }
    static const QRegularExpression headerOrFooter(QStringLiteral("^word/(header|footer)[0-9]*\\.xml$"));
    std::optional<size_t> main;
    for (size_t i = 0; i < parts.entries.size(); ++i) {
        const QString& name = parts.entries[i].name;
        const bool isMain = name == QStringLiteral("word/document.xml");
        if (!isMain && !headerOrFooter.match(name).hasMatch()) continue;
        auto xml = std::make_unique<pugi::xml_document>();
        const pugi::xml_parse_result parsed =
            xml->load_buffer(parts.entries[i].data.constData(), size_t(parts.entries[i].data.size()), kParseOptions,
                             pugi::encoding_utf8);
        if (!parsed)
            throw notWord(QStringLiteral("частина %1 пошкоджена (%2).").arg(name, utf8(parsed.description())));
        if (isMain) {
            main = parts.xml.size();
            parts.body = xml->child("w:document").child("w:body");
            if (!parts.body) throw notWord(QStringLiteral("у документі немає основного тексту."));
        }
        parts.xml.emplace_back(i, std::move(xml));
    }
    if (!main) throw notWord(QStringLiteral("у ньому немає word/document.xml."));
    // The main text first.
    std::swap(parts.xml[0], parts.xml[*main]);
    parts.refreshParagraphs();
    if (!parts.paragraphs.empty()) parts.paragraph = parts.paragraphs.front();
    return document;
}

QByteArray WordDocument::toBytes() const {
    std::vector<ZipEntry> entries = parts_->entries;
    struct Writer : pugi::xml_writer {
        QByteArray bytes;
        void write(const void* data, size_t size) override { bytes.append(static_cast<const char*>(data), qsizetype(size)); }
    };
    for (const auto& [index, xml] : parts_->xml) {
        Writer writer;
        xml->save(writer, "", pugi::format_raw, pugi::encoding_utf8);
        entries[index].data = writer.bytes;
    }
    return writeZip(entries);
}

int WordDocument::replaceAll(const QString& placeholder, const QString& value) {
    if (placeholder.isEmpty()) return 0;
    int count = 0;
    for (const auto& part : parts_->xml) {
        std::vector<pugi::xml_node> paragraphs;
        collectParagraphs(part.second->document_element(), paragraphs);
        for (const pugi::xml_node& p : paragraphs) {
            qsizetype from = 0;
            for (;;) {
                const ParagraphText text(p);
                const qsizetype at = text.text.indexOf(placeholder, from, Qt::CaseInsensitive);
                if (at < 0) break;
                splice(text, at, placeholder.size(), value);
                // The search goes on after the value, which is never searched itself.
                from = at + value.size();
                ++count;
                // A selection inside this paragraph keeps its place as far as it can.
                if (parts_->paragraph == p && parts_->start > at) {
                    const qsizetype shift = value.size() - placeholder.size();
                    parts_->start = std::max(at, parts_->start + shift);
                    parts_->end = std::max(parts_->start, parts_->end + shift);
                }
            }
        }
    }
    return count;
}

bool WordDocument::findWholeWord(const QString& wanted) {
    Parts& p = *parts_;
    if (wanted.isEmpty()) return false;
    p.refreshParagraphs();
    if (p.paragraphs.empty()) return false;
    // Where the search starts: after the selection.
    size_t first = 0;
    qsizetype offset = 0;
    if (p.kind == Parts::Kind::Cell) {
        std::vector<pugi::xml_node> inCell;
        collectParagraphs(p.cell, inCell);
        first = inCell.empty() ? 0 : p.paragraphIndex.at(inCell.back().internal_object()) + 1;
    } else if (p.paragraph) {
        first = p.paragraphIndex.at(p.paragraph.internal_object());
        offset = p.kind == Parts::Kind::Text ? p.end : p.start;
    }
    const size_t count = p.paragraphs.size();
    for (size_t step = 0; step <= count; ++step) {
        const size_t index = (first + step) % count;
        const ParagraphText text(p.paragraphs[index]);
        qsizetype from = step == 0 ? offset : 0;
        for (;;) {
            const qsizetype at = text.text.indexOf(wanted, from, Qt::CaseInsensitive);
            if (at < 0) break;
            const qsizetype after = at + wanted.size();
            const bool wholeBefore = at == 0 || !isWordCharacter(text.text.at(at - 1));
            const bool wholeAfter = after >= text.text.size() || !isWordCharacter(text.text.at(after));
            if (wholeBefore && wholeAfter) {
                p.kind = Parts::Kind::Text;
                p.paragraph = p.paragraphs[index];
                p.start = at;
                p.end = after;
                return true;
            }
            from = at + 1;
        }
    }
    return false;
}

bool WordDocument::moveToNextCell() {
    Parts& p = *parts_;
    pugi::xml_node cell = p.kind == Parts::Kind::Cell ? p.cell : ancestorNamed(p.paragraph, "w:tc");
    if (!cell) return false;
    pugi::xml_node next = cell.next_sibling("w:tc");
    if (!next) {
        const pugi::xml_node row = cell.parent();
        for (pugi::xml_node nextRow = row.next_sibling("w:tr"); nextRow && !next; nextRow = nextRow.next_sibling("w:tr"))
            next = nextRow.child("w:tc");
    }
    if (!next) return false;
    p.kind = Parts::Kind::Cell;
    p.cell = next;
    return true;
}

bool WordDocument::cellSelected() const { return parts_->kind == Parts::Kind::Cell; }

QString WordDocument::selectionText() const {
    const Parts& p = *parts_;
    switch (p.kind) {
        case Parts::Kind::Cell: return cellContent(p.cell);
        case Parts::Kind::Text: return ParagraphText(p.paragraph).text.mid(p.start, p.end - p.start);
        case Parts::Kind::Point: break;
    }
    return {};
}

void WordDocument::typeText(const QString& text) {
    Parts& p = *parts_;
    if (p.kind != Parts::Kind::Cell) return;
    const pugi::xml_node paragraph = replaceCellContent(p.cell, text);
    p.paragraphsStale = true;
    p.kind = Parts::Kind::Point;
    p.paragraph = paragraph;
    p.start = p.end = text.size();
}

bool WordDocument::setCellText(int table, int row, int column, const QString& text) {
    Parts& p = *parts_;
    const pugi::xml_node cell = p.tableCell(table, row, column);
    if (!cell) return false;
    // The cell's old paragraphs go; the selection goes back to the start of the text.
    p.kind = Parts::Kind::Point;
    p.paragraph = {};
    p.start = p.end = 0;
    replaceCellContent(cell, text);
    p.paragraphsStale = true;
    return true;
}

QString WordDocument::cellText(int table, int row, int column) const {
    const pugi::xml_node cell = parts_->tableCell(table, row, column);
    return cell ? cellContent(cell) : QString();
}

bool WordDocument::hasCell(int table, int row, int column) const { return bool(parts_->tableCell(table, row, column)); }

QString WordDocument::plainText() const {
    QStringList lines;
    for (const auto& part : parts_->xml) {
        std::vector<pugi::xml_node> paragraphs;
        collectParagraphs(part.second->document_element(), paragraphs);
        for (const pugi::xml_node& paragraph : paragraphs) lines << ParagraphText(paragraph).text;
    }
    return lines.join(u'\n');
}

}  // namespace zelvan
