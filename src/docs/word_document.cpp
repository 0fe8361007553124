#include "docs/word_document.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <cstring>
#include <functional>
#include <optional>
#include <pugixml.hpp>

#include "platform/zip_archive.h"

namespace zelvan {

namespace {

constexpr unsigned kParseOptions = pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration;

bool named(const pugi::xml_node& node, const char* name) { return std::strcmp(node.name(), name) == 0; }

// The elements the text walks tell apart, by name; properties hold no text and are
// stepped over whole.
enum class Tag { Other, Paragraph, Text, Tab, Break, Properties, Hidden };

Tag tagOf(const pugi::xml_node& node) {
    if (node.type() != pugi::node_element) return Tag::Other;
    const char* name = node.name();
    if (name[0] != 'w' || name[1] != ':') return Tag::Other;
    const char* n = name + 2;
    const auto is = [n](const char* other) { return std::strcmp(n, other) == 0; };
    switch (n[0]) {
        case 'p':
            if (n[1] == 0) return Tag::Paragraph;
            if (is("pPr")) return Tag::Properties;
            break;
        case 'r':
            if (is("rPr")) return Tag::Properties;
            break;
        case 't':
            if (n[1] == 0) return Tag::Text;
            if (is("tab")) return Tag::Tab;
            if (is("tcPr") || is("tblPr") || is("trPr") || is("tblGrid")) return Tag::Properties;
            break;
        case 'b':
            if (is("br")) return Tag::Break;
            break;
        case 'c':
            if (is("cr")) return Tag::Break;
            break;
        case 'd':
            if (is("delText")) return Tag::Hidden;
            break;
        case 'i':
            if (is("instrText")) return Tag::Hidden;
            break;
        case 's':
            if (is("sectPr")) return Tag::Properties;
            break;
        default: break;
    }
    return Tag::Other;
}

QString utf8(const char* text) { return QString::fromUtf8(text); }

// The node after `node` in document order within `root`; over its children when
// `skipChildren`.
pugi::xml_node following(pugi::xml_node node, const pugi::xml_node& root, bool skipChildren) {
    if (!skipChildren)
        if (const pugi::xml_node child = node.first_child()) return child;
    while (node && node != root) {
        if (const pugi::xml_node sibling = node.next_sibling()) return sibling;
        node = node.parent();
    }
    return {};
}


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
            switch (tagOf(child)) {
                case Tag::Paragraph:
                case Tag::Hidden:
                case Tag::Properties: break;
                case Tag::Text: {
                    const QString value = utf8(child.text().get());
                    pieces.push_back({child, text.size(), value.size()});
                    text += value;
                    break;
                }
                case Tag::Tab:
                    pieces.push_back({{}, text.size(), 1});
                    text += u'\t';
                    break;
                case Tag::Break:
                    pieces.push_back({{}, text.size(), 1});
                    text += u'\n';
                    break;
                case Tag::Other: collect(child); break;
            }
        }
    }
};

// True when a text element of the paragraph holds the byte (an ASCII character).
bool rawTextContains(const pugi::xml_node& parent, char wanted) {
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        switch (tagOf(child)) {
            case Tag::Text:
                if (std::strchr(child.text().get(), wanted)) return true;
                break;
            case Tag::Other:
                if (rawTextContains(child, wanted)) return true;
                break;
            default: break;
        }
    }
    return false;
}

// The visible text of a paragraph without the record of where it comes from.
void appendText(const pugi::xml_node& parent, QString& text) {
    for (pugi::xml_node child = parent.first_child(); child; child = child.next_sibling()) {
        switch (tagOf(child)) {
            case Tag::Text: text += utf8(child.text().get()); break;
            case Tag::Tab: text += u'\t'; break;
            case Tag::Break: text += u'\n'; break;
            case Tag::Other: appendText(child, text); break;
            default: break;
        }
    }
}

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
        const Tag tag = tagOf(child);
        if (tag == Tag::Paragraph) out.push_back(child);
        if (tag == Tag::Paragraph || tag == Tag::Other) collectParagraphs(child, out);
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
    QString text;
    bool first = true;
    for (pugi::xml_node node = cell.first_child(); node; node = following(node, cell, false)) {
        if (tagOf(node) != Tag::Paragraph) continue;
        if (!first) text += u'\r';
        appendText(node, text);
        first = false;
    }
    return text;
}

// Replaces a cell's content by one paragraph with `text`, in the formatting of its first
// paragraph and first run; returns that paragraph. The first paragraph and run are kept
// and emptied, so that their properties stay as they are.
pugi::xml_node replaceCellContent(pugi::xml_node cell, const QString& text) {
    pugi::xml_node paragraph = cell.child("w:p");
    if (!paragraph) {
        const pugi::xml_node properties = cell.child("w:tcPr");
        paragraph = properties ? cell.insert_child_after("w:p", properties) : cell.prepend_child("w:p");
    }
    // Everything of the cell after its first paragraph goes.
    for (pugi::xml_node child = paragraph.next_sibling(); child;) {
        const pugi::xml_node next = child.next_sibling();
        cell.remove_child(child);
        child = next;
    }
    // The first run, wherever it stands in the paragraph, keeps its properties.
    const pugi::xml_node firstRun = paragraph.find_node([](const pugi::xml_node& n) { return named(n, "w:r"); });
    const pugi::xml_node runProperties = firstRun ? firstRun.child("w:rPr") : pugi::xml_node();
    pugi::xml_node run;
    if (firstRun && firstRun.parent() == paragraph) {
        run = firstRun;
        for (pugi::xml_node child = run.first_child(); child;) {
            const pugi::xml_node next = child.next_sibling();
            if (child != runProperties) run.remove_child(child);
            child = next;
        }
    } else {
        run = paragraph.append_child("w:r");
        if (runProperties) run.append_copy(runProperties);
    }
    for (pugi::xml_node child = paragraph.first_child(); child;) {
        const pugi::xml_node next = child.next_sibling();
        if (child != run && tagOf(child) != Tag::Properties) paragraph.remove_child(child);
        child = next;
    }
    if (text.isEmpty()) paragraph.remove_child(run);
    else setText(run.append_child("w:t"), text);
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

    // Each part's paragraphs and their texts, for the replacements: made once, a text
    // read again only when its paragraph was changed. Typing into the main text changes
    // its shape, and its list is then made afresh.
    struct PartText {
        bool valid = false;
        std::vector<pugi::xml_node> paragraphs;
        std::vector<std::optional<ParagraphText>> texts;
    };
    std::vector<PartText> partTexts;

    PartText& partText(size_t part) {
        if (partTexts.size() < xml.size()) partTexts.resize(xml.size());
        PartText& cache = partTexts[part];
        if (!cache.valid) {
            cache.paragraphs.clear();
            collectParagraphs(xml[part].second->document_element(), cache.paragraphs);
            cache.texts.assign(cache.paragraphs.size(), std::nullopt);
            cache.valid = true;
        }
        return cache;
    }
    void mainTextChanged() {
        if (!partTexts.empty()) partTexts[0].valid = false;
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
        // Parsed in place: the part's bytes are kept with the document for its lifetime
        // and replaced by the document's own text when it is written.
        QByteArray& source = parts.entries[i].data;
        const pugi::xml_parse_result parsed =
            xml->load_buffer_inplace(source.data(), size_t(source.size()), kParseOptions, pugi::encoding_utf8);
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
        writer.bytes.reserve(parts_->entries[index].data.size() + parts_->entries[index].data.size() / 4 + 1024);
        xml->save(writer, "", pugi::format_raw, pugi::encoding_utf8);
        entries[index].data = writer.bytes;
    }
    return writeZip(entries);
}

int WordDocument::replaceAll(const QString& placeholder, const QString& value) {
    return replaceAll(std::vector<std::pair<QString, QString>>{{placeholder, value}});
}

int WordDocument::replaceAll(const std::vector<std::pair<QString, QString>>& replacements) {
    // A replacement changes only the paragraph it is made in, so each paragraph can take
    // every replacement in order before the next paragraph is looked at: the result is
    // that of one pass over the document per replacement.
    struct Wanted {
        const QString* placeholder;
        const QString* value;
        QChar first;
        bool caseless;  // a first character without letter case must appear as it is
    };
    std::vector<Wanted> wanted;
    // The first characters without letter case, each looked for once per paragraph.
    std::vector<QChar> firsts;
    for (const auto& [placeholder, value] : replacements) {
        if (placeholder.isEmpty()) continue;
        const QChar first = placeholder.front();
        wanted.push_back({&placeholder, &value, first, !first.isLetter()});
        if (!first.isLetter() && std::find(firsts.begin(), firsts.end(), first) == firsts.end()) firsts.push_back(first);
    }
    int count = 0;
    for (size_t part = 0; part < parts_->xml.size(); ++part) {
        Parts::PartText& cache = parts_->partText(part);
        for (size_t i = 0; i < cache.paragraphs.size(); ++i) {
            const pugi::xml_node& p = cache.paragraphs[i];
            bool anyPresent = false;
            for (size_t f = 0; f < firsts.size() && !anyPresent; ++f) {
                if (firsts[f].unicode() < 128 && !cache.texts[i]) {
                    // An ASCII character is looked for in the stored bytes, without making the text.
                    anyPresent = rawTextContains(p, char(firsts[f].unicode()));
                } else {
                    if (!cache.texts[i]) cache.texts[i].emplace(p);
                    anyPresent = cache.texts[i]->text.contains(firsts[f]);
                }
            }
            for (const Wanted& w : wanted) {
                // Skipped at once when its first character is not in the paragraph; a
                // replacement made here may bring it in, so the check is made again then.
                if (w.caseless && !anyPresent) continue;
                qsizetype from = 0;
                for (;;) {
                    if (!cache.texts[i]) cache.texts[i].emplace(p);
                    const ParagraphText& text = *cache.texts[i];
                    qsizetype at = -1;
                    if (w.caseless) {
                        // Compared only where its first character stands.
                        const qsizetype length = w.placeholder->size();
                        for (qsizetype k = text.text.indexOf(w.first, from); k >= 0; k = text.text.indexOf(w.first, k + 1)) {
                            if (QStringView(text.text).mid(k, std::min(length, text.text.size() - k))
                                    .compare(*w.placeholder, Qt::CaseInsensitive) == 0) {
                                at = k;
                                break;
                            }
                        }
                    } else {
                        at = text.text.indexOf(*w.placeholder, from, Qt::CaseInsensitive);
                    }
                    if (at < 0) break;
                    splice(text, at, w.placeholder->size(), *w.value);
                    cache.texts[i].reset();
                    anyPresent = true;  // the value may bring in what was not there
                    // The search goes on after the value, which is never searched itself.
                    from = at + w.value->size();
                    ++count;
                    // A selection inside this paragraph keeps its place as far as it can.
                    if (parts_->paragraph == p && parts_->start > at) {
                        const qsizetype shift = w.value->size() - w.placeholder->size();
                        parts_->start = std::max(at, parts_->start + shift);
                        parts_->end = std::max(parts_->start, parts_->end + shift);
                    }
                }
            }
        }
    }
    return count;
}

bool WordDocument::findWholeWord(const QString& wanted) {
    Parts& p = *parts_;
    if (wanted.isEmpty()) return false;
    const pugi::xml_node& body = p.body;
    // Looks for the text in one paragraph from an offset; selects it when found.
    const auto searchParagraph = [&](const pugi::xml_node& paragraph, qsizetype from) {
        const ParagraphText text(paragraph);
        for (;;) {
            const qsizetype at = text.text.indexOf(wanted, from, Qt::CaseInsensitive);
            if (at < 0) return false;
            const qsizetype after = at + wanted.size();
            const bool wholeBefore = at == 0 || !isWordCharacter(text.text.at(at - 1));
            const bool wholeAfter = after >= text.text.size() || !isWordCharacter(text.text.at(after));
            if (wholeBefore && wholeAfter) {
                p.kind = Parts::Kind::Text;
                p.paragraph = paragraph;
                p.start = at;
                p.end = after;
                return true;
            }
            from = at + 1;
        }
    };
    // Paragraphs from `node` on in document order, up to `stop`.
    const auto searchFrom = [&](pugi::xml_node node, const pugi::xml_node& stop) {
        for (; node && node != stop; node = following(node, body, false))
            if (tagOf(node) == Tag::Paragraph && searchParagraph(node, 0)) return true;
        return false;
    };
    // Forward from the selection, then from the start of the text up to it.
    pugi::xml_node next;
    pugi::xml_node wrapStop;
    if (p.kind == Parts::Kind::Cell) {
        next = following(p.cell, body, true);
        wrapStop = next;
    } else if (p.paragraph) {
        if (searchParagraph(p.paragraph, p.kind == Parts::Kind::Text ? p.end : p.start)) return true;
        next = following(p.paragraph, body, false);
        wrapStop = following(p.paragraph, body, true);
    } else {
        return searchFrom(body.first_child(), {});
    }
    return searchFrom(next, {}) || searchFrom(body.first_child(), wrapStop);
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
    p.mainTextChanged();
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
    p.mainTextChanged();
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
