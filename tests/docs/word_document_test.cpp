#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "docs/docx_fixture.h"
#include "docs/word_document.h"
#include "platform/zip_archive.h"
#include "support/printers.h"

using namespace zelvan;
using namespace zelvan::test;

namespace {

WordDocument documentOf(const QString& body, const QString& header = {}, const QString& footer = {}) {
    return WordDocument::fromBytes(makeDocx(body, header, footer), QStringLiteral("test.docx"));
}

// Written and read again, as the user's office suite would get it.
WordDocument reread(const WordDocument& document) {
    return WordDocument::fromBytes(document.toBytes(), QStringLiteral("again.docx"));
}

QByteArray part(const QByteArray& docx, const QString& name) {
    for (const ZipEntry& e : readZip(docx, QStringLiteral("x")))
        if (e.name == name) return e.data;
    return {};
}

}  // namespace

TEST(WordDocument, ReplacesEverywhereIgnoringCaseAndRunBoundaries) {
    struct Case {
        QString body;
        QString placeholder;
        QString value;
        QString expected;
        int count;
    };
    const Case cases[] = {
        // Split over runs: the value takes the first run's place and formatting.
        {paragraph({QStringLiteral("Назва: @na"), QStringLiteral("*me"), QStringLiteral("@ кінець")}), QStringLiteral("@name@"),
         QStringLiteral("Ліцей"), QStringLiteral("Назва: Ліцей кінець"), 1},
        // Letter case, Cyrillic included.
        {paragraph({QStringLiteral("@ПІБ@ і @піб@ і @Піб@")}), QStringLiteral("@піб@"), QStringLiteral("Коваленко"),
         QStringLiteral("Коваленко і Коваленко і Коваленко"), 3},
        // An empty value deletes; blanks around stay.
        {paragraph({QStringLiteral("  @galuz@  ")}), QStringLiteral("@GALUZ@"), QString(), QStringLiteral("    "), 1},
        // A value holding the placeholder is not replaced again.
        {paragraph({QStringLiteral("@a@")}), QStringLiteral("@a@"), QStringLiteral("x@a@x"), QStringLiteral("x@a@x"), 1},
        // Absent: untouched.
        {paragraph({QStringLiteral("нічого")}), QStringLiteral("@year@"), QStringLiteral("26"), QStringLiteral("нічого"), 0},
        // In table cells too.
        {table({{QStringLiteral("@stan@"), QStringLiteral("a|@STAN@")}}), QStringLiteral("@stan@"), QStringLiteral("01.07.2026"),
         QStringLiteral("01.07.2026\na\n01.07.2026"), 2},
    };
    for (const Case& c : cases) {
        WordDocument document = documentOf(c.body);
        EXPECT_EQ(document.replaceAll(c.placeholder, c.value), c.count) << c.placeholder.toStdString();
        EXPECT_EQ(reread(document).plainText(), c.expected) << c.placeholder.toStdString();
    }

    // The first run keeps its formatting, and the value stands in it.
    WordDocument split = documentOf(paragraph({QStringLiteral("*@na"), QStringLiteral("me@")}));
    split.replaceAll(QStringLiteral("@name@"), QStringLiteral(" Ліцей "));
    const QString xml = QString::fromUtf8(part(split.toBytes(), QStringLiteral("word/document.xml")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<w:r><w:rPr><w:b/></w:rPr><w:t xml:space=\"preserve\"> Ліцей </w:t></w:r>")))
        << xml.toStdString();
}

TEST(WordDocument, HeadersAndFootersAndOtherPartsSurvive) {
    WordDocument document = documentOf(paragraph({QStringLiteral("@name@")}), paragraph({QStringLiteral("шапка @NAME@")}),
                                       paragraph({QStringLiteral("@name@ низ")}));
    EXPECT_EQ(document.replaceAll(QStringLiteral("@name@"), QStringLiteral("Ліцей")), 3);
    const QByteArray bytes = document.toBytes();
    EXPECT_EQ(reread(document).plainText(), QStringLiteral("Ліцей\nшапка Ліцей\nЛіцей низ"));
    EXPECT_EQ(part(bytes, QStringLiteral("customXml/item1.xml")), QByteArrayLiteral("<keep>  exactly   this  </keep>"));
    EXPECT_TRUE(part(bytes, QStringLiteral("word/document.xml")).startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"));
    EXPECT_TRUE(part(bytes, QStringLiteral("word/header1.xml")).contains("xmlns:w="));
}

TEST(WordDocument, BadFilesAreNamed) {
    QTemporaryDir dir;
    const QString missing = dir.filePath(QStringLiteral("F9.docx"));
    try {
        WordDocument::load(missing);
        FAIL();
    } catch (const DocumentError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Файл шаблону \"%1\" не знайдено.").arg(missing));
    }
    const std::pair<QByteArray, QString> broken[] = {
        {QByteArrayLiteral("{\\rtf1 not a docx}"), QStringLiteral("це не архів документа.")},
        {writeZip({{QStringLiteral("word/other.xml"), QByteArrayLiteral("<a/>")}}), QStringLiteral("немає word/document.xml")},
        {writeZip({{QStringLiteral("word/document.xml"), QByteArrayLiteral("<w:document><w:body>")}}),
         QStringLiteral("частина word/document.xml пошкоджена")},
    };
    for (const auto& [bytes, why] : broken) {
        try {
            WordDocument::fromBytes(bytes, QStringLiteral("/db/F1.docx"));
            FAIL() << why.toStdString();
        } catch (const DocumentError& e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Файл \"/db/F1.docx\" не є документом Word (.docx)")))
                << e.message().toStdString();
            EXPECT_TRUE(e.message().contains(why)) << e.message().toStdString();
        }
    }
}

TEST(WordDocument, FindMoveAndTypeWalkTheCellsInWordOrder) {
    WordDocument document = documentOf(
        paragraph({QStringLiteral("Вступ @10@0 і @10@")}) +
        table({{QStringLiteral("Рядок"), QStringLiteral("10 @1"), QStringLiteral("P# грн|друга")},
               {QStringLiteral("наступний"), QStringLiteral("  x  ")}}) +
        table({{QStringLiteral("@20@"), QStringLiteral("a")}}));
    // The first whole-word "@10@" is the one after "і"; in "@10@0" it is followed by a digit.
    ASSERT_TRUE(document.findWholeWord(QStringLiteral("@10@")));
    EXPECT_FALSE(document.cellSelected());
    EXPECT_EQ(document.selectionText(), QStringLiteral("@10@"));
    EXPECT_FALSE(document.moveToNextCell());  // not in a table

    // A text the document lacks is not found, and the selection stays.
    EXPECT_FALSE(document.findWholeWord(QStringLiteral("@11@")));
    EXPECT_EQ(document.selectionText(), QStringLiteral("@10@"));
    ASSERT_TRUE(document.findWholeWord(QStringLiteral("@20@")));
    EXPECT_TRUE(document.moveToNextCell());
    EXPECT_EQ(document.selectionText(), QStringLiteral("a"));
    EXPECT_FALSE(document.moveToNextCell());  // the table's last cell
    EXPECT_EQ(document.selectionText(), QStringLiteral("a"));

    // The search goes on from the selection and wraps to the start.
    ASSERT_TRUE(document.findWholeWord(QStringLiteral("рядок")));
    ASSERT_TRUE(document.moveToNextCell());
    EXPECT_EQ(document.selectionText(), QStringLiteral("10 @1"));
    ASSERT_TRUE(document.moveToNextCell());
    EXPECT_EQ(document.selectionText(), QStringLiteral("P# грн\rдруга"));
    document.typeText(QStringLiteral("12.50 грн"));
    EXPECT_FALSE(document.cellSelected());
    ASSERT_TRUE(document.moveToNextCell());  // the first cell of the next row
    EXPECT_EQ(document.selectionText(), QStringLiteral("наступний"));
    ASSERT_TRUE(document.moveToNextCell());
    document.typeText(QStringLiteral("—"));

    const WordDocument again = reread(document);
    EXPECT_EQ(again.cellText(1, 1, 3), QStringLiteral("12.50 грн"));
    EXPECT_EQ(again.cellText(1, 2, 2), QStringLiteral("—"));
    // The typed cell keeps its paragraph's alignment.
    const QString xml = QString::fromUtf8(part(document.toBytes(), QStringLiteral("word/document.xml")));
    EXPECT_TRUE(xml.contains(QStringLiteral("<w:p><w:pPr><w:jc w:val=\"right\"/></w:pPr><w:r><w:t xml:space=\"preserve\">12.50 "
                                            "грн</w:t></w:r></w:p></w:tc>")))
        << xml.toStdString();
}

TEST(WordDocument, CellsOfTopLevelTablesByNumber) {
    // A table nested in a cell is not counted among the tables of the text.
    const QString nested = QStringLiteral("<w:tbl><w:tr><w:tc><w:p/>") + table({{QStringLiteral("вкладена")}}) +
                           QStringLiteral("</w:tc></w:tr></w:tbl>");
    WordDocument document = documentOf(nested + table({{QStringLiteral("a"), QStringLiteral("b")}, {QStringLiteral("c")}}));
    EXPECT_TRUE(document.hasCell(2, 2, 1));
    EXPECT_FALSE(document.hasCell(2, 2, 2));
    EXPECT_FALSE(document.hasCell(3, 1, 1));
    EXPECT_TRUE(document.setCellText(2, 1, 2, QStringLiteral("1234,5")));
    EXPECT_FALSE(document.setCellText(2, 3, 1, QStringLiteral("x")));
    EXPECT_EQ(reread(document).cellText(2, 1, 2), QStringLiteral("1234,5"));
    EXPECT_EQ(reread(document).cellText(2, 1, 1), QStringLiteral("a"));
}
