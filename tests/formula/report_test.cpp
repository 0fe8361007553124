#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "app/error.h"
#include "formula/report_data.h"
#include "platform/report_engine.h"
#include "support/printers.h"

using namespace zelvan;

namespace {

FormControlResult threeDeviations() {
    FormControlResult r;
    r.outcome = ControlOutcome::Deviations;
    for (int i = 1; i <= 3; ++i) {
        FormDeviation d;
        d.columns = {QStringLiteral("рядок Р%1, графа 3").arg(i), QStringLiteral("%1,5").arg(i), QStringLiteral("Опис %1").arg(i),
                     QStringLiteral("(%1)+(1)=").arg(i), QStringLiteral("%1").arg(i + 1)};
        r.lines.push_back(d);
    }
    return r;
}

ReportContext context(const QString& expenseCode, int type) {
    ReportContext c;
    c.organisation = {QStringLiteral("02145678"), QStringLiteral("Ліцей № 7")};
    c.periodText = QStringLiteral("01.07.2026");
    c.codes[0] = expenseCode;
    c.codes[1] = QStringLiteral("1");
    c.codes[2] = QStringLiteral("0");
    c.codes[3] = QStringLiteral("2");
    c.names[1] = QStringLiteral("Загальний фонд");
    c.names[3] = QStringLiteral("Кошти місцевого бюджету");
    c.formTitle = QStringLiteral("№2  Звіт Бюджетна(грн.)");
    c.selectionReportType = type;
    c.typeBoxCode = type;
    c.decimalSeparator = u',';
    return c;
}

}  // namespace

TEST(ReportData, OneFormVariablesReadTheCurrentLine) {
    const ControlReportData data = ControlReportData::oneForm(threeDeviations(), context(QStringLiteral("0"), 1));
    EXPECT_EQ(data.records(), 3);
    EXPECT_EQ(data.frRepCheckGetValue(QStringLiteral("ZNACHENIE"), 1), QStringLiteral("рядок Р2, графа 3"));
    EXPECT_EQ(data.frRepCheckGetValue(QStringLiteral("REZULT1"), 0), QStringLiteral("1,5"));
    EXPECT_EQ(data.frRepCheckGetValue(QStringLiteral("FORM_INT"), 2), QStringLiteral("Опис 3"));
    EXPECT_EQ(data.frRepCheckGetValue(QStringLiteral("ZNACHENIE2"), 2), QStringLiteral("(3)+(1)="));
    EXPECT_EQ(data.frRepCheckGetValue(QStringLiteral("REZULT2"), 0), QStringLiteral("2"));
    EXPECT_EQ(data.frRepCheckGetValue(QStringLiteral("NOMER"), 0), QString());  // the other table: empty
    EXPECT_EQ(data.frRepCheckGetValue(QStringLiteral("znachenie"), 0), std::nullopt);  // names are exact
    EXPECT_EQ(data.frRepCheckGetValue(QStringLiteral("OTHER"), 0), std::nullopt);
}

TEST(ReportData, CrossFormVariablesAndTheirAliases) {
    CrossControlResult r;
    r.lines.push_back({QStringLiteral("90"), QStringLiteral("Ліва"), QStringLiteral("Права"), QStringLiteral("150"),
                       QStringLiteral("151,25"), QStringLiteral("(150)="), QStringLiteral("(151,25)=")});
    const ControlReportData budget = ControlReportData::crossForm(r, context(QStringLiteral("0"), 1));
    const std::pair<const char*, const char*> expected[] = {
        {"NOMER", "90"},         {"FORMULA1", "Ліва"}, {"REZ1", "150"},     {"FORM2", "(151,25)="}, {"VID_ID", "Ліва"},
        {"FOND", "Права"},       {"ZAMOV", "150"},     {"TEK_FORM", "151,25"}, {"FORMULA", "(150)="}, {"KOSHT", "(151,25)="},
        {"KONTRREZ", ""},        {"REZ", ""},          {"VIDH", ""},        {"ZNACH1", ""},          {"ZNACHENIE", ""},
    };
    for (const auto& [name, value] : expected)
        EXPECT_EQ(budget.frRepCheckGetValue(QString::fromLatin1(name), 0), QString::fromUtf8(value)) << name;
}

TEST(ReportData, ObjectRules) {
    const ControlReportData noCode = ControlReportData::oneForm(threeDeviations(), context(QStringLiteral("0"), 1));
    const auto added = [](const ControlReportData& data, const char* name) {
        QStringList lines;
        const bool shown = data.frRepCheckBeforePrint(QString::fromLatin1(name), lines);
        return std::make_pair(shown, lines);
    };
    EXPECT_EQ(added(noCode, "MemoKlasifik").first, false);
    EXPECT_EQ(added(noCode, "meKlasifik"), std::make_pair(true, QStringList()));
    EXPECT_EQ(added(noCode, "meKod").second, QStringList{QStringLiteral("02145678")});
    EXPECT_EQ(added(noCode, "meObj").second, QStringList{QStringLiteral("Ліцей № 7")});
    EXPECT_EQ(added(noCode, "meDate").second, QStringList{QStringLiteral("01.07.2026")});
    EXPECT_EQ(added(noCode, "meForm").second, QStringList{QStringLiteral("№2  Звіт Бюджетна(грн.)")});
    EXPECT_EQ(added(noCode, "meFond").second, QStringList{QStringLiteral("Загальний фонд")});
    EXPECT_TRUE(added(noCode, "MemoFond").first);
    EXPECT_FALSE(added(noCode, "MemoZamov").first);
    EXPECT_TRUE(added(noCode, "meZamov").second.isEmpty());
    EXPECT_EQ(added(noCode, "meKosht").second, QStringList{QStringLiteral("Кошти місцевого бюджету")});
    EXPECT_EQ(added(noCode, "meZvitn").second, QStringList{QStringLiteral("Бюджетна(грн.)")});
    EXPECT_EQ(added(noCode, "anything").second, QStringList());

    const ControlReportData withCode = ControlReportData::oneForm(threeDeviations(), context(QStringLiteral("2111"), 2));
    EXPECT_EQ(added(withCode, "meKlasifik").second, QStringList{QStringLiteral("02111")});
    EXPECT_TRUE(added(withCode, "MemoKlasifik").first);
    EXPECT_EQ(added(withCode, "meZvitn").second, QStringList{QStringLiteral("Госпрозрахункова(тис.грн.)")});
    EXPECT_TRUE(added(ControlReportData::oneForm({}, context(QStringLiteral("0"), 3)), "meZvitn").second.isEmpty());
}

TEST(ReportData, RezIsOneDecimalOutsideBudgetReporting) {
    CrossControlResult r;
    std::array<QString, 7> line{};
    r.lines.push_back(line);
    ReportContext c = context(QStringLiteral("0"), 2);
    ControlReportData data = ControlReportData::crossForm(r, c);
    EXPECT_EQ(data.frRepCheckGetValue(QStringLiteral("REZ"), 0), QString());  // an empty cell stays empty
}

TEST(ReportEngine, TheDefaultTemplateRendersThreeDeviations) {
    const ReportTemplate report = ReportTemplate::parse(defaultOneFormTemplate(), QStringLiteral("SaveInt.frf"));
    const ControlReportData data = ControlReportData::oneForm(threeDeviations(), context(QStringLiteral("2111"), 1));
    const RenderedReport rendered = renderReport(report, data.records(), data.callbacks());
    EXPECT_EQ(rendered.plainText(),
              QStringLiteral(
                  "ПРОТОКОЛ КОНТРОЛЮ ФОРМИ ЗВІТНОСТІ | Організація: / Ліцей № 7 | Код за ЄДРПОУ: / 02145678 | Звітний "
                  "період: / 01.07.2026 | Форма: / №2  Звіт Бюджетна(грн.) | Вид звітності: / Бюджетна(грн.) | Код "
                  "класифікації видатків: | 02111 | Вид фонду: | Загальний фонд | Вид коштів: | Кошти місцевого бюджету\n"
                  "Клітинка | Введене значення | Контрольне співвідношення | Розрахунок | Розраховане значення\n"
                  "рядок Р1, графа 3 | 1,5 | Опис 1 | (1)+(1)= | 2\n"
                  "рядок Р2, графа 3 | 2,5 | Опис 2 | (2)+(1)= | 3\n"
                  "рядок Р3, графа 3 | 3,5 | Опис 3 | (3)+(1)= | 4\n"
                  "Виправте значення у вказаних клітинках, збережіть форму та повторіть контроль."));
    EXPECT_TRUE(rendered.html().contains(QStringLiteral("<td width=\"22%\" align=\"left\">рядок Р2, графа 3</td>")));
}

TEST(ReportEngine, UnknownVariablesStayAndBadTemplatesAreNamed) {
    const ReportTemplate report = ReportTemplate::parse(
        "<report><band type=\"data\"><memo name=\"m\">[A] і [B]</memo></band></report>", QStringLiteral("t.frf"));
    const RenderedReport rendered =
        renderReport(report, 2, {[](const QString& name, int record) -> std::optional<QString> {
                                     if (name == QStringLiteral("A")) return QString::number(record);
                                     return std::nullopt;
                                 },
                                 {}});
    EXPECT_EQ(rendered.plainText(), QStringLiteral("0 і [B]\n1 і [B]"));

    QTemporaryDir dir;
    try {
        ReportTemplate::load(dir.filePath(QStringLiteral("SaveInt.frf")));
        ADD_FAILURE();
    } catch (const ZelvanError& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Не знайдено шаблон звіту"))) << e.message().toStdString();
    }
    EXPECT_THROW(ReportTemplate::parse("<report><band", QStringLiteral("bad.frf")), ZelvanError);
    EXPECT_THROW(ReportTemplate::parse("<html/>", QStringLiteral("bad.frf")), ZelvanError);
}
