#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <utility>
#include <vector>

#include "app/error.h"

namespace zelvan {

// A Word document that cannot be read or lacks what the program needs; the message
// names the file.
class DocumentError : public ZelvanError {
public:
    using ZelvanError::ZelvanError;
};

// A .docx document opened for editing in memory: the main text, headers and footers
// as XML, edited in place and written back with every other part untouched.
//
// Besides replacing text everywhere, the document keeps a selection in the main text,
// as a word processor does: a found text or a whole table cell. A search starts after
// the selection and continues from the start of the text; moving right selects the
// next cell of the table (the next cell of the row, then the first cell of the next
// row); typing replaces the selected cell's content.
class WordDocument {
public:
    // Reads a .docx file; throws DocumentError naming it when it is missing or is not a
    // Word document.
    static WordDocument load(const QString& path);
    static WordDocument fromBytes(const QByteArray& bytes, const QString& shownName);

    WordDocument(WordDocument&&) noexcept;
    WordDocument& operator=(WordDocument&&) noexcept;
    ~WordDocument();

    // The document as .docx bytes.
    QByteArray toBytes() const;

    // Replaces every occurrence of `placeholder` ignoring letter case (Cyrillic too) in
    // the main text, headers and footers, also where it is split over several runs; the
    // value takes the formatting of the run the placeholder starts in. An empty value
    // deletes the placeholder. The selection does not move. Returns the count replaced.
    int replaceAll(const QString& placeholder, const QString& value);
    // Several replacements, each over the whole document, in their order.
    int replaceAll(const std::vector<std::pair<QString, QString>>& replacements);

    // Finds `text` ignoring case as a whole word (no letter or digit right before or
    // after it) in the main text, forward from the selection and then from the start;
    // selects it when found.
    bool findWholeWord(const QString& text);

    // Selects the table cell right of the selection; false, with the selection
    // unchanged, when the selection is not in a table or is in its last cell.
    bool moveToNextCell();

    // True when the selection is a whole table cell.
    bool cellSelected() const;

    // The selected text; for a cell its paragraphs joined by carriage returns.
    QString selectionText() const;

    // Replaces the selected cell's content by one paragraph holding `text`, keeping
    // the formatting of its first paragraph and run; the insertion point then stands
    // at the end of that text. Does nothing unless a cell is selected.
    void typeText(const QString& text);

    // Sets the content of a cell of the n-th table of the main text that lies in no
    // other table, its r-th row, c-th cell (all counted from 1). False when there is no
    // such cell.
    bool setCellText(int table, int row, int column, const QString& text);
    // The text of such a cell, paragraphs joined by carriage returns; empty when missing.
    QString cellText(int table, int row, int column) const;
    bool hasCell(int table, int row, int column) const;

    // The text of the main text, a line per paragraph; headers and footers after it.
    QString plainText() const;

private:
    WordDocument();
    struct Parts;
    std::unique_ptr<Parts> parts_;
};

}  // namespace zelvan
