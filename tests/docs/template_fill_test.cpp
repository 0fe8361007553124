#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "docs/docx_fixture.h"
#include "docs/template_fill.h"
#include "entry/form_entry.h"
#include "entry/form_grid.h"
#include "model/database_folder.h"
#include "model/tdm.h"
#include "platform/database.h"
#include "platform/files.h"
#include "support/printers.h"

using namespace zelvan;
using namespace zelvan::test;

TEST(FixedDecimals, RoundHalfAwayFromZeroOnTheDecimalDigits) {
    struct Case {
        double value;
        int decimals;
        QString expected;
    };
    const Case cases[] = {
        {12.5, 0, QStringLiteral("13")},      {12.345, 2, QStringLiteral("12,35")}, {2.675, 2, QStringLiteral("2,68")},
        {12.5, 2, QStringLiteral("12,50")},   {12.25, 1, QStringLiteral("12,3")},   {-2.5, 0, QStringLiteral("-3")},
        {-0.004, 2, QStringLiteral("0,00")},  {9.995, 2, QStringLiteral("10,00")},  {0, 0, QStringLiteral("0")},
        {1e20, 2, QStringLiteral("100000000000000000000,00")}, {1032456.78, 2, QStringLiteral("1032456,78")},
    };
    for (const Case& c : cases) EXPECT_EQ(fixedDecimals(c.value, c.decimals, u','), c.expected) << c.value;
}

TEST(FixedTableRow, TheBlocksOfForms249And234) {
    struct Case {
        int form, table, gridRow, tableRow;
    };
    const Case cases[] = {
        {249, 2, 3, 5},  {249, 2, 4, 0},  {249, 2, 5, 6},   {249, 2, 10, 11}, {249, 2, 11, 14}, {249, 2, 37, 40},
        {249, 2, 38, 43}, {249, 2, 61, 66}, {249, 2, 62, 75}, {249, 2, 63, 0},
        {249, 4, 3, 6},  {249, 4, 5, 7},  {249, 4, 9, 11},  {249, 4, 10, 14}, {249, 4, 36, 40}, {249, 4, 37, 43},
        {249, 4, 61, 67}, {249, 4, 62, 75},
        {234, 2, 3, 5},  {234, 2, 14, 15}, {234, 2, 15, 18}, {234, 2, 41, 44}, {234, 2, 42, 47}, {234, 2, 61, 66},
        {234, 4, 12, 14}, {234, 4, 13, 17}, {234, 4, 39, 43}, {234, 4, 40, 46}, {234, 4, 62, 75}, {234, 4, 4, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(fixedTableRow(c.form, c.table, c.gridRow), c.tableRow) << c.form << " " << c.table << " " << c.gridRow;
}

namespace {

class TemplateFill : public ::testing::Test {
protected:
    void SetUp() override {
        createDatabaseFolder(dir.path(), true);
        dm.pointAt(dir.path());
        dm.probe();
    }

    // Keys of the general fund's form 2d of the demo organisation.
    static ValueKeys generalFund(int kodForm = 101) { return {kodForm, 41, 31245, 1, 1000, 2001, 3000, 4002}; }

    static TemplateContext context(int kodForm = 101) {
        TemplateContext c;
        c.kodForm = kodForm;
        c.periodText = QStringLiteral("01.07.2026");
        c.codes[0] = QStringLiteral("2111");
        c.codes[1] = QStringLiteral("1");
        c.codes[2] = QStringLiteral("0");
        c.codes[3] = QStringLiteral("2");
        c.names[0] = QStringLiteral("Заробітна плата");
        c.names[1] = QStringLiteral("Загальний фонд");
        c.names[2] = QStringLiteral("НЕ ВКАЗАНО");
        c.names[3] = QStringLiteral("Кошти місцевого бюджету");
        return c;
    }

    void writeTemplate(const QString& name, const QByteArray& bytes) {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    void setTemplate(int kodForm, const QString& fileName, int roundToWhole) {
        dm.db().exec(QStringLiteral("update S_FORM set FILE_NAME2 = :f, ROUNDTOWHOLE = :r where KOD_FORM = :k"),
                     {{QStringLiteral(":f"), fileName}, {QStringLiteral(":r"), roundToWhole}, {QStringLiteral(":k"), kodForm}});
    }

    std::unique_ptr<FormEntry> openForm(int kodForm, const QString& number) {
        auto entry = std::make_unique<FormEntry>(dm, locale, [](const QString& t) { return int(t.size()) * 7; });
        entry->build({kodForm, number, QStringLiteral("Форма")}, generalFund(kodForm));
        return entry;
    }

    QTemporaryDir dir;
    TDM dm;
    UserLocale locale{u',', QStringLiteral("dd.MM.yyyy")};
};

}  // namespace

TEST_F(TemplateFill, CardDateAndClassifierPlaceholders) {
    const std::pair<QString, QString> expected[] = {
        {QStringLiteral("@name@"), QStringLiteral("Комунальний заклад \"Ліцей № 7\" Житомирської міської ради")},
        {QStringLiteral("@SHORT_NAME_OBJ@"), QStringLiteral("Комунальний заклад \"Ліцей № 7\" Житомирської міської ради")},
        {QStringLiteral("@edrpou@"), QStringLiteral("02145678")},
        {QStringLiteral("@KOD_ZKPO@"), QStringLiteral("02145678")},
        {QStringLiteral("@galuz@"), QString()},
        {QStringLiteral("@NAME_GALUZ@"), QString()},
        {QStringLiteral("@zkng@"), QString()},
        {QStringLiteral("@organ@"), QString()},
        {QStringLiteral("@spodu@"), QString()},
        {QStringLiteral("@dzm@"), QStringLiteral("  ")},
        {QStringLiteral("@mzm@"), QStringLiteral("  ")},
        {QStringLiteral("@yzm@"), QStringLiteral("   ")},
        {QStringLiteral("@nakaz_no@"), QString()},
        {QStringLiteral("@dial@"), QStringLiteral("Загальна середня освіта")},
        {QStringLiteral("@KOD_KVED@"), QStringLiteral("Загальна середня освіта")},
        {QStringLiteral("@kved@"), QStringLiteral("85.31")},
        {QStringLiteral("@kopfg@"), QStringLiteral("430")},
        {QStringLiteral("@n_kopfg@"), QStringLiteral("Комунальна організація (установа, заклад)")},
        {QStringLiteral("@project@"), QString()},
        {QStringLiteral("@ter@"), QStringLiteral("м. Житомир, Житомирська область")},
        {QStringLiteral("@koatuu@"), QStringLiteral("UA18040470010034180")},
        {QStringLiteral("@n_kfv@"), QString()},
        {QStringLiteral("@kfv@"), QString()},
        {QStringLiteral("@cnt_worker@"), QStringLiteral("86")},
        {QStringLiteral("@stan@"), QStringLiteral("01.07.2026")},
        {QStringLiteral("@kvartal@"), QStringLiteral("III квартал 2026 року")},
        {QStringLiteral("@year2@"), QStringLiteral("2026")},
        {QStringLiteral("@boss@"), QStringLiteral("Коваленко Олена Миколаївна")},
        {QStringLiteral("@buh@"), QStringLiteral("Литвиненко Ірина Петрівна")},
        {QStringLiteral("@day@"), QStringLiteral("01")},
        {QStringLiteral("@DAY_DANPER@"), QStringLiteral("1")},
        {QStringLiteral("@fin_date@"), QStringLiteral("2026 рік")},
        {QStringLiteral("@month@"), QStringLiteral("07")},
        {QStringLiteral("@MONTH_DANPER@"), QStringLiteral("7")},
        {QStringLiteral("@YEAR_DANPER@"), QStringLiteral("2025")},
        {QStringLiteral("@year1@"), QStringLiteral("2025")},
        {QStringLiteral("@year@"), QStringLiteral("26")},
        {QStringLiteral("@citi@"), QStringLiteral("10014, м. Житомир, вул. Київська, 45, тел. (0412) 42-15-07")},
        {QStringLiteral("@klas@"), QStringLiteral("2111")},
        {QStringLiteral("@fond@"), QStringLiteral("Загальний фонд")},
        {QStringLiteral("@kosh@"), QStringLiteral("Кошти місцевого бюджету")},
        {QStringLiteral("@zam@"), QString()},  // order kind code "0"
    };
    QString body;
    for (const auto& [placeholder, value] : expected) body += paragraph({QStringLiteral("[") + placeholder.toUpper() + u']'});
    const QByteArray docx = makeDocx(body);

    TemplateFiller filler(dm, locale);
    WordDocument document = WordDocument::fromBytes(docx, QStringLiteral("t.docx"));
    filler.replaceCardAndDate(document, context(), QDate(2026, 7, 1));
    const QStringList lines = document.plainText().split(u'\n');
    ASSERT_EQ(lines.size(), qsizetype(std::size(expected)));
    for (size_t i = 0; i < std::size(expected); ++i)
        EXPECT_EQ(lines[qsizetype(i)], u'[' + expected[i].second + u']') << expected[i].first.toStdString();

    // Without the territory row its placeholders stay; the fixed ones are replaced all the same.
    dm.db().exec(QStringLiteral("delete from SORG where SYS_NAME = :n"), {{QStringLiteral(":n"), QStringLiteral("Територія")}});
    TemplateContext zeroCodes = context();
    for (QString& code : zeroCodes.codes) code = QStringLiteral("0");
    WordDocument second = WordDocument::fromBytes(docx, QStringLiteral("t.docx"));
    filler.replaceCardAndDate(second, zeroCodes, QDate(2026, 7, 1));
    const QString text = second.plainText();
    EXPECT_TRUE(text.contains(QStringLiteral("[@TER@]")));
    EXPECT_TRUE(text.contains(QStringLiteral("[@KOATUU@]")));
    EXPECT_TRUE(text.contains(QStringLiteral("[  ]")));
    EXPECT_FALSE(text.contains(QStringLiteral("@GALUZ@")));
    EXPECT_FALSE(text.contains(QStringLiteral("Загальний фонд")));
    EXPECT_FALSE(text.contains(QStringLiteral("2111")));
}

namespace {

// A grid of six columns (code in column 2) and its template.
FormGrid sampleGrid() {
    FormGrid grid;
    grid.reset(6, 7);
    const QStringList rows[] = {
        {QString(), QString(), QString(), QString(), QString(), QString()},
        {QStringLiteral("1"), QStringLiteral("Заголовок"), QStringLiteral("H"), QStringLiteral("9"), QStringLiteral("9"), QStringLiteral("9")},
        {QString(), QStringLiteral("Рядок 10"), QStringLiteral("10"), QStringLiteral("12,5"), QStringLiteral("7,6"), QString()},
        {QString(), QStringLiteral("Рядок 20"), QStringLiteral("20"), kProtected, QStringLiteral("3"), QStringLiteral("1234,567")},
        {QString(), QStringLiteral("Рядок 30"), QStringLiteral("30"), QStringLiteral("999"), QStringLiteral("999"), QStringLiteral("999")},
        {QString(), QStringLiteral("Рядок 40"), QStringLiteral("40"), kProtected, kProtected, kProtected},
        {QString(), QStringLiteral("Рядок 50"), QStringLiteral("50"), QStringLiteral("5"), QStringLiteral("6"), QStringLiteral("7")},
    };
    for (int r = 0; r < 7; ++r)
        for (int c = 0; c < 6; ++c) grid.setText(c, r, rows[r][c]);
    return grid;
}

QByteArray sampleTemplate() {
    return makeDocx(paragraph({QStringLiteral("Звіт")}) +
                    table({{QStringLiteral("Заголовок"), QStringLiteral("H @H@"), QStringLiteral("h3"), QStringLiteral("h4"), QStringLiteral("h5")},
                           {QStringLiteral("Рядок 10"), QStringLiteral("10 @10@"), QStringLiteral("."), QStringLiteral("."), QStringLiteral(".")},
                           {QStringLiteral("Рядок 20"), QStringLiteral("@20@"), QStringLiteral("keep"), QStringLiteral("(P#) тис. P#"), QStringLiteral(".")},
                           {QStringLiteral("Рядок 40"), QStringLiteral("@40@"), QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")},
                           {QStringLiteral("Рядок 50"), QStringLiteral("@50@"), QStringLiteral("x")}}) +
                    table({{QStringLiteral("після"), QStringLiteral("таблиці")}}));
}

}  // namespace

TEST_F(TemplateFill, TableRowsAreTypedRightOfTheirPlaceholders) {
    // Form 777: cell (4, 2) takes whole numbers.
    dm.db().exec(QStringLiteral("insert into DISABLE_CELL (KOD_FORM, NOMER_COL, NOMER_ROW, NAME_CELL, KOD_PRIZN, KOD_KOORD) "
                                "values (777, 4, 2, 'IntegerCell', 0, 0)"));
    const FormGrid grid = sampleGrid();
    struct Case {
        int roundToWhole;
        QString first;  // 12,5
        QString last;   // 1234,567
        QString three;  // 3
    };
    const Case cases[] = {
        {0, QStringLiteral("12,50"), QStringLiteral("1234,57"), QStringLiteral("3,00")},
        {1, QStringLiteral("13"), QStringLiteral("1235"), QStringLiteral("3")},
        {2, QStringLiteral("12,5"), QStringLiteral("1234,6"), QStringLiteral("3,0")},
        {7, QStringLiteral("12,5"), QStringLiteral("1234,567"), QStringLiteral("3")},  // any other value: as typed
    };
    for (const Case& c : cases) {
        TemplateFiller filler(dm, locale);
        WordDocument document = WordDocument::fromBytes(sampleTemplate(), QStringLiteral("t.docx"));
        int steps = 0;
        int maximum = 0;
        SaveProgress progress{[&](int m) { maximum = m; }, [&] { ++steps; }, {}};
        filler.FillTemplateTables(document, grid, 2, c.roundToWhole, 777, progress);
        EXPECT_EQ(maximum, 6);
        EXPECT_EQ(steps, 6);
        const std::tuple<int, int, QString> cells[] = {
            {1, 3, QStringLiteral("h3")},  // the marked row writes nothing
            {2, 3, c.first},
            {2, 4, QStringLiteral("8")},   // the whole-number cell
            {2, 5, QStringLiteral("—")},   // empty in the grid
            {3, 3, QStringLiteral("keep")},  // "*****" in the grid
            {3, 4, QStringLiteral("(") + c.three + QStringLiteral(") тис. P#")},  // the first "P#" only
            {3, 5, c.last},
            {4, 3, QStringLiteral("a")},  // every cell protected: the row is skipped
            {5, 3, QString(c.three).replace(u'3', u'5')},
        };
        const WordDocument again = WordDocument::fromBytes(document.toBytes(), QStringLiteral("again.docx"));
        for (const auto& [row, col, text] : cells)
            EXPECT_EQ(again.cellText(1, row, col), text) << c.roundToWhole << ": " << row << "," << col;
        // The row without a placeholder, and the values past the table's end, went nowhere.
        EXPECT_FALSE(again.plainText().contains(QStringLiteral("999")));
        EXPECT_EQ(again.cellText(2, 1, 1), QStringLiteral("після"));
        EXPECT_EQ(again.cellText(2, 1, 2), QStringLiteral("таблиці"));
    }

    // A value that is not a number stops the fill with a message naming the cell.
    FormGrid wrong = grid;
    wrong.setText(3, 2, QStringLiteral("12,5x"));
    TemplateFiller filler(dm, locale);
    WordDocument document = WordDocument::fromBytes(sampleTemplate(), QStringLiteral("t.docx"));
    try {
        filler.FillTemplateTables(document, wrong, 2, 0, 777);
        FAIL();
    } catch (const DocumentError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("Значення \"12,5x\" у графі 3 рядка 2 не є числом; шаблон не заповнено."));
    }
}

TEST_F(TemplateFill, FixedCellsOfForm249AndAMissingTable) {
    FormGrid grid;
    grid.reset(16, 64);
    for (int r = 0; r < 64; ++r)
        for (int c = 0; c < 16; ++c) grid.setText(c, r, QStringLiteral("%1,%2").arg(c).arg(r));
    const auto rows = [](int count, int cells) {
        QString xml = QStringLiteral("<w:tbl>");
        for (int r = 0; r < count; ++r) {
            xml += QStringLiteral("<w:tr>");
            for (int c = 0; c < cells; ++c) xml += QStringLiteral("<w:tc><w:p/></w:tc>");
            xml += QStringLiteral("</w:tr>");
        }
        return xml + QStringLiteral("</w:tbl>");
    };
    WordDocument document =
        WordDocument::fromBytes(makeDocx(rows(1, 1) + rows(75, 8) + rows(1, 1) + rows(75, 9)), QStringLiteral("f249.docx"));
    TemplateFiller::fillFixedTables(document, grid, 249, QStringLiteral("f249.docx"));
    const std::tuple<int, int, int, QString> cells[] = {
        {2, 5, 4, QStringLiteral("4,3")},   {2, 6, 5, QStringLiteral("5,5")},   {2, 11, 5, QStringLiteral("5,10")},
        {2, 14, 8, QStringLiteral("8,11")}, {2, 40, 6, QStringLiteral("6,37")}, {2, 43, 7, QStringLiteral("7,38")},
        {2, 66, 4, QStringLiteral("4,61")}, {2, 75, 8, QStringLiteral("8,62")},
        {4, 6, 4, QStringLiteral("9,3")},   {4, 7, 9, QStringLiteral("14,5")},  {4, 11, 5, QStringLiteral("10,9")},
        {4, 14, 6, QStringLiteral("11,10")}, {4, 43, 9, QStringLiteral("14,37")}, {4, 67, 4, QStringLiteral("9,61")},
        {4, 75, 9, QStringLiteral("14,62")},
        {2, 4, 4, QString()},  // nothing comes to the rows between the blocks
        {1, 1, 1, QString()},
    };
    for (const auto& [table, row, col, text] : cells) EXPECT_EQ(document.cellText(table, row, col), text) << table << "," << row << "," << col;

    WordDocument incomplete = WordDocument::fromBytes(makeDocx(rows(1, 1) + rows(75, 8) + rows(1, 1) + rows(70, 9)),
                                                      QStringLiteral("f249.docx"));
    try {
        TemplateFiller::fillFixedTables(incomplete, grid, 249, QStringLiteral("F249.docx"));
        FAIL();
    } catch (const DocumentError& e) {
        EXPECT_EQ(e.message(), QStringLiteral("У шаблоні \"F249.docx\" немає клітинки таблиці 4 (рядок 75, графа 4), потрібної "
                                              "для форми 249; шаблон не заповнено."));
    }
    EXPECT_EQ(incomplete.cellText(2, 5, 4), QString());  // nothing was written
}

TEST_F(TemplateFill, TheDemoFormIsFilledIntoItsCopy) {
    auto entry = openForm(101, QStringLiteral("2"));
    const QString out = dir.filePath(QStringLiteral("filled"));
    TemplateFiller filler(dm, locale);
    const QString path = filler.fill(*entry, generalFund(), context(), out);
    EXPECT_EQ(path, QDir(out).filePath(QStringLiteral("F2D.docx")));
    const WordDocument filled = WordDocument::load(path);
    const QString text = filled.plainText();
    EXPECT_TRUE(text.contains(QStringLiteral("Комунальний заклад \"Ліцей № 7\" Житомирської міської ради · ЄДРПОУ 02145678")))
        << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Звітний період: III квартал 2026 року (станом на 01.07.2026)")));
    // Row 2111 (grid row 4): approved, received, cash.
    EXPECT_EQ(filled.cellText(1, 4, 3), QStringLiteral("4200000,00"));
    EXPECT_EQ(filled.cellText(1, 4, 5), QStringLiteral("1032456,78"));
    // The total row's "P#" patterns take the values.
    EXPECT_EQ(filled.cellText(1, 3, 5), QStringLiteral("1777620,54"));
    // The template itself is untouched.
    EXPECT_TRUE(WordDocument::load(dir.filePath(QStringLiteral("F2D.docx"))).plainText().contains(QStringLiteral("@name@")));
}

TEST_F(TemplateFill, AGroupOfTwoSheetsIsFilledSheetBySheet) {
    // Form 4-2d, other own revenues from the local budget: two sheets, one template.
    const ValueKeys keys{103, 41, 31245, 1, 1000, 2002, 3000, 4001};
    auto entry = std::make_unique<FormEntry>(dm, locale, [](const QString& t) { return int(t.size()) * 7; });
    entry->build({103, QStringLiteral("4.2"), QStringLiteral("Форма")}, keys);
    ASSERT_EQ(entry->group().size(), 2u);
    std::vector<int> shown;
    TemplateFiller filler(dm, locale);
    const QString path = filler.fill(*entry, keys, context(103), dir.filePath(QStringLiteral("filled")), {}, [&](int index) {
        shown.push_back(index);
        entry->switchSheet(index, keys);
    });
    EXPECT_EQ(shown, (std::vector<int>{0, 1}));
    EXPECT_EQ(entry->kodForm(), 104);  // the group's last form stays shown
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("F4_2D.docx"));
    const WordDocument filled = WordDocument::load(path);
    EXPECT_EQ(filled.cellText(1, 3, 3), QStringLiteral("65000,00"));  // sheet 1, total row
    EXPECT_EQ(filled.cellText(2, 3, 3), QStringLiteral("3000,00"));   // sheet 2, row 010
}

TEST_F(TemplateFill, BadInputGivesAMessageAndNoCopy) {
    auto entry = openForm(101, QStringLiteral("2"));
    const QString out = dir.filePath(QStringLiteral("filled"));
    TemplateFiller filler(dm, locale);
    struct Case {
        std::function<void()> prepare;
        TemplateContext context;
        QString message;
    };
    TemplateContext badDate = context();
    badDate.periodText = QStringLiteral("31.13.2026");
    const Case cases[] = {
        {[] {}, badDate, QStringLiteral("Звітну дату \"31.13.2026\" не вдалося прочитати як дату (формат dd.MM.yyyy).")},
        {[&] { QFile::remove(dir.filePath(QStringLiteral("F2D.docx"))); }, context(),
         QStringLiteral("Файл шаблону \"%1\" не знайдено.").arg(dir.filePath(QStringLiteral("F2D.docx")))},
        {[&] { writeTemplate(QStringLiteral("F2D.docx"), "not a document"); }, context(),
         QStringLiteral("Файл \"%1\" не є документом Word (.docx): це не архів документа.").arg(dir.filePath(QStringLiteral("F2D.docx")))},
        {[&] { setTemplate(101, QStringLiteral("../../etc/passwd"), 0); }, context(),
         QStringLiteral("Ім'я файлу шаблону \"../../etc/passwd\" неправильне: потрібне ім'я файлу без папки.")},
        {[&] { setTemplate(101, QString(), 0); }, context(), QStringLiteral("Для цієї форми не вказано файл шаблону.")},
    };
    for (const Case& c : cases) {
        c.prepare();
        try {
            filler.fill(*entry, generalFund(), c.context, out);
            ADD_FAILURE() << c.message.toStdString();
        } catch (const ZelvanError& e) {
            EXPECT_EQ(e.message(), c.message);
        }
        EXPECT_FALSE(QDir(out).exists() && !QDir(out).entryList(QDir::Files).isEmpty());
    }
    EXPECT_EQ(entry->grid().text(5, 4), QStringLiteral("1032456,78"));  // the grid as it was
}

TEST_F(TemplateFill, LibreOfficeOpensTheResultAndConvertsLegacyTemplates) {
    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty()) GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir work;
    const auto convert = [&](const QString& file, const QString& to) {
        QProcess p;
        p.start(office, {QStringLiteral("-env:UserInstallation=file://") + work.filePath(QStringLiteral("profile")),
                         QStringLiteral("--headless"), QStringLiteral("--convert-to"), to, QStringLiteral("--outdir"),
                         work.path(), file});
        EXPECT_TRUE(p.waitForFinished(120000));
        return QDir(work.path()).filePath(QFileInfo(file).completeBaseName() + u'.' + to.section(u':', 0, 0));
    };
    // A .doc template: made from the demo's .docx by LibreOffice itself.
    const QString doc = convert(dir.filePath(QStringLiteral("F2D.docx")), QStringLiteral("doc"));
    ASSERT_TRUE(QFile::copy(doc, dir.filePath(QStringLiteral("F2D.doc"))));
    setTemplate(101, QStringLiteral("F2D.doc"), 0);
    auto entry = openForm(101, QStringLiteral("2"));
    TemplateFiller filler(dm, locale);
    const QString path = filler.fill(*entry, generalFund(), context(), dir.filePath(QStringLiteral("filled")));
    EXPECT_EQ(QFileInfo(path).fileName(), QStringLiteral("F2D.docx"));

    const QString text = convert(path, QStringLiteral("txt:Text (encoded):UTF8"));
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString content = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(content.contains(QStringLiteral("1032456,78"))) << content.toStdString();
    EXPECT_TRUE(content.contains(QStringLiteral("Коваленко Олена Миколаївна")));
}
