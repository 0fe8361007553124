#include "formula/report_data.h"

#include "entry/form_grid.h"

namespace zelvan {

ControlReportData ControlReportData::oneForm(const FormControlResult& result, ReportContext context) {
    ControlReportData data;
    data.context_ = std::move(context);
    for (const FormDeviation& line : result.lines) data.lines_.push_back(QStringList(line.columns.begin(), line.columns.end()));
    return data;
}

ControlReportData ControlReportData::crossForm(const CrossControlResult& result, ReportContext context) {
    ControlReportData data;
    data.crossForm_ = true;
    data.context_ = std::move(context);
    for (const auto& line : result.lines) data.lines_.push_back(QStringList(line.begin(), line.end()));
    return data;
}

std::optional<QString> ControlReportData::frRepCheckGetValue(const QString& name, int record) const {
    struct Variable {
        const char16_t* name;
        bool crossForm;
        int column;
    };
    static constexpr Variable kVariables[] = {
        {u"ZNACHENIE", false, 0}, {u"REZULT1", false, 1}, {u"FORM_INT", false, 2}, {u"ZNACHENIE2", false, 3},
        {u"REZULT2", false, 4},   {u"NOMER", true, 0},    {u"FORMULA1", true, 1}, {u"FORMULA2", true, 2},
        {u"REZ1", true, 3},       {u"REZ2", true, 4},     {u"FORM1", true, 5},    {u"FORM2", true, 6},
        {u"VID_ID", true, 1},     {u"FOND", true, 2},     {u"ZAMOV", true, 3},    {u"TEK_FORM", true, 4},
        {u"FORMULA", true, 5},    {u"KOSHT", true, 6},    {u"KONTRREZ", true, 7}, {u"REZ", true, 8},
        {u"VIDH", true, 9},       {u"ZNACH1", true, 10},
    };
    for (const Variable& v : kVariables) {
        if (name != QStringView(v.name)) continue;
        // A table the run did not fill reads as empty text.
        QString text;
        if (v.crossForm == crossForm_ && record >= 0 && record < records() && v.column < lines_[size_t(record)].size())
            text = lines_[size_t(record)].at(v.column);
        if (name == QStringLiteral("REZ") && context_.typeBoxCode != 1 && !text.isEmpty()) {
            const auto number = readTypedNumber(text, context_.decimalSeparator);
            // The format "0.0": always one decimal.
            if (number) text = QString::number(*number, 'f', 1).replace(u'.', context_.decimalSeparator);
        }
        return text;
    }
    return std::nullopt;
}

bool ControlReportData::frRepCheckBeforePrint(const QString& objectName, QStringList& added) const {
    const auto zero = [&](int i) { return context_.codes[i] == QStringLiteral("0"); };
    if (objectName == QStringLiteral("meKod")) added << context_.organisation.code;
    else if (objectName == QStringLiteral("meKlasifik") && !zero(0)) added << QStringLiteral("0") + context_.codes[0];
    else if (objectName == QStringLiteral("MemoKlasifik") && zero(0)) return false;
    else if (objectName == QStringLiteral("meFond") && !zero(1)) added << context_.names[1];
    else if (objectName == QStringLiteral("MemoFond") && zero(1)) return false;
    else if (objectName == QStringLiteral("meZamov") && !zero(2)) added << context_.names[2];
    else if (objectName == QStringLiteral("MemoZamov") && zero(2)) return false;
    else if (objectName == QStringLiteral("meKosht") && !zero(3)) added << context_.names[3];
    else if (objectName == QStringLiteral("MemoKosht") && zero(3)) return false;
    else if (objectName == QStringLiteral("meObj")) added << context_.organisation.name;
    else if (objectName == QStringLiteral("meDate")) added << context_.periodText;
    else if (objectName == QStringLiteral("meForm")) added << context_.formTitle;
    else if (objectName == QStringLiteral("meZvitn") && context_.selectionReportType == 1) added << QStringLiteral("Бюджетна(грн.)");
    else if (objectName == QStringLiteral("meZvitn") && context_.selectionReportType == 2)
        added << QStringLiteral("Госпрозрахункова(тис.грн.)");
    return true;
}

ReportCallbacks ControlReportData::callbacks() const {
    return {[this](const QString& name, int record) { return frRepCheckGetValue(name, record); },
            [this](const QString& name, QStringList& added) { return frRepCheckBeforePrint(name, added); }};
}

}  // namespace zelvan
