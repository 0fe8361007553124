#pragma once

#include <QByteArray>
#include <QString>

#include "platform/zip_archive.h"

namespace zelvan::test {

inline const char* const kWordNamespace = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";

// A small but complete .docx: the main text's body XML, and a header and footer.
inline QByteArray makeDocx(const QString& body, const QString& header = {}, const QString& footer = {}) {
    const QString w = QString::fromLatin1(kWordNamespace);
    std::vector<ZipEntry> entries{
        {QStringLiteral("[Content_Types].xml"),
         QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Types "
                           "xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\"><Default Extension=\"rels\" "
                           "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
                           "ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
                           "ContentType=\"application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
                           "</Types>")},
        {QStringLiteral("_rels/.rels"),
         QByteArrayLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<Relationships "
                           "xmlns=\"http://schemas.openxmlformats.org/package/2006/relationships\"><Relationship Id=\"rId1\" "
                           "Type=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument\" "
                           "Target=\"word/document.xml\"/></Relationships>")},
        {QStringLiteral("word/document.xml"),
         (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:document xmlns:w=\"%1\"><w:body>")
              .arg(w) +
          body + QStringLiteral("</w:body></w:document>"))
             .toUtf8()},
        {QStringLiteral("customXml/item1.xml"), QByteArrayLiteral("<keep>  exactly   this  </keep>")},
    };
    if (!header.isEmpty())
        entries.push_back({QStringLiteral("word/header1.xml"),
                           QStringLiteral("<w:hdr xmlns:w=\"%1\">%2</w:hdr>").arg(w, header).toUtf8()});
    if (!footer.isEmpty())
        entries.push_back({QStringLiteral("word/footer2.xml"),
                           QStringLiteral("<w:ftr xmlns:w=\"%1\">%2</w:ftr>").arg(w, footer).toUtf8()});
    return writeZip(entries);
}

// A paragraph of runs, each given as its text; a run text starting with "*" is bold.
inline QString paragraph(std::initializer_list<QString> runs) {
    QString xml = QStringLiteral("<w:p><w:pPr><w:jc w:val=\"right\"/></w:pPr>");
    for (const QString& run : runs) {
        const bool bold = run.startsWith(u'*');
        xml += QStringLiteral("<w:r>%1<w:t xml:space=\"preserve\">%2</w:t></w:r>")
                   .arg(bold ? QStringLiteral("<w:rPr><w:b/></w:rPr>") : QString(),
                        (bold ? run.mid(1) : run).toHtmlEscaped());
    }
    return xml + QStringLiteral("</w:p>");
}

// A table whose rows are lists of cell texts; a cell text may hold several paragraphs
// separated by "|".
inline QString table(std::initializer_list<std::initializer_list<QString>> rows) {
    QString xml = QStringLiteral("<w:tbl><w:tblPr/>");
    for (const auto& row : rows) {
        xml += QStringLiteral("<w:tr>");
        for (const QString& cell : row) {
            xml += QStringLiteral("<w:tc><w:tcPr/>");
            for (const QString& part : cell.split(u'|')) xml += paragraph({part});
            xml += QStringLiteral("</w:tc>");
        }
        xml += QStringLiteral("</w:tr>");
    }
    return xml + QStringLiteral("</w:tbl>");
}

}  // namespace zelvan::test
