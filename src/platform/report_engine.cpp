#include "platform/report_engine.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QXmlStreamReader>

#include "app/error.h"

namespace zelvan {

ReportTemplate ReportTemplate::load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw ZelvanError(QStringLiteral("Не знайдено шаблон звіту \"%1\"; звіт не можна показати.")
                              .arg(QDir::toNativeSeparators(path)));
    }
    return parse(file.readAll(), path);
}

ReportTemplate ReportTemplate::parse(const QByteArray& xml, const QString& fileName) {
    ReportTemplate report;
    QXmlStreamReader reader(xml);
    bool inReport = false;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement()) continue;
        const QStringView element = reader.name();
        if (element == u"report") {
            inReport = true;
            report.title = reader.attributes().value(QLatin1String("title")).toString();
        } else if (element == u"band" && inReport) {
            report.bands.push_back({reader.attributes().value(QLatin1String("type")).toString(), {}});
        } else if (element == u"memo" && inReport && !report.bands.empty()) {
            ReportMemo memo;
            const QXmlStreamAttributes attributes = reader.attributes();
            memo.name = attributes.value(QLatin1String("name")).toString();
            memo.width = attributes.value(QLatin1String("width")).toInt();
            memo.bold = attributes.value(QLatin1String("bold")) == u"1";
            memo.centre = attributes.value(QLatin1String("align")) == u"center";
            memo.text = reader.readElementText();
            report.bands.back().memos.push_back(std::move(memo));
        }
    }
    if (reader.hasError() || !inReport || report.bands.empty()) {
        throw ZelvanError(QStringLiteral("Файл \"%1\" не є шаблоном звіту%2; звіт не можна показати.")
                              .arg(QDir::toNativeSeparators(fileName),
                                   reader.hasError() ? QStringLiteral(" (%1, рядок %2)").arg(reader.errorString()).arg(reader.lineNumber())
                                                     : QString()));
    }
    return report;
}

namespace {

const QRegularExpression kVariable(QStringLiteral(R"(\[([A-Za-z_][A-Za-z0-9_]*)\])"));

RenderedRow renderBand(const ReportBand& band, int record, const ReportCallbacks& callbacks) {
    RenderedRow row{band.type, {}};
    for (const ReportMemo& memo : band.memos) {
        QString text;
        qsizetype last = 0;
        for (auto it = kVariable.globalMatch(memo.text); it.hasNext();) {
            const auto match = it.next();
            text += memo.text.mid(last, match.capturedStart() - last);
            std::optional<QString> value;
            if (callbacks.getValue) value = callbacks.getValue(match.captured(1), record);
            text += value ? *value : match.captured(0);
            last = match.capturedEnd();
        }
        text += memo.text.mid(last);
        QStringList added;
        if (callbacks.beforePrint && !callbacks.beforePrint(memo.name, added)) continue;
        for (const QString& line : added) text += (text.isEmpty() ? QString() : QStringLiteral("\n")) + line;
        row.memos.push_back({memo.name, text, memo.width, memo.bold, memo.centre});
    }
    return row;
}

QString escaped(const QString& text) { return text.toHtmlEscaped().replace(u'\n', QStringLiteral("<br>")); }

}  // namespace

RenderedReport renderReport(const ReportTemplate& report, int records, const ReportCallbacks& callbacks) {
    RenderedReport rendered;
    rendered.title = report.title;
    for (const QString& type : {QStringLiteral("title"), QStringLiteral("header"), QStringLiteral("data"),
                               QStringLiteral("summary"), QStringLiteral("pageFooter")}) {
        for (const ReportBand& band : report.bands) {
            if (band.type != type) continue;
            if (type == QStringLiteral("data")) {
                for (int r = 0; r < records; ++r) rendered.rows.push_back(renderBand(band, r, callbacks));
            } else {
                rendered.rows.push_back(renderBand(band, 0, callbacks));
            }
        }
    }
    return rendered;
}

QString RenderedReport::plainText() const {
    QStringList lines;
    for (const RenderedRow& row : rows) {
        QStringList texts;
        const bool tabular = row.bandType == QStringLiteral("header") || row.bandType == QStringLiteral("data");
        for (const RenderedMemo& memo : row.memos)
            if (tabular || !memo.text.isEmpty()) texts << QString(memo.text).replace(u'\n', QStringLiteral(" / "));
        lines << texts.join(QStringLiteral(" | "));
    }
    return lines.join(u'\n');
}

QString RenderedReport::html() const {
    QString html = QStringLiteral("<html><body style=\"font-family: 'DejaVu Sans'; font-size: 9pt;\">");
    bool inTable = false;
    for (const RenderedRow& row : rows) {
        const bool tabular = row.bandType == QStringLiteral("header") || row.bandType == QStringLiteral("data");
        if (tabular && !inTable) {
            html += QStringLiteral("<table width=\"100%\" border=\"1\" cellspacing=\"0\" cellpadding=\"3\" "
                                   "style=\"border-collapse: collapse;\">");
            inTable = true;
        }
        if (!tabular && inTable) {
            html += QStringLiteral("</table>");
            inTable = false;
        }
        if (tabular) {
            int total = 0;
            for (const RenderedMemo& memo : row.memos) total += memo.width;
            html += QStringLiteral("<tr>");
            for (const RenderedMemo& memo : row.memos) {
                const QString tag = row.bandType == QStringLiteral("header") ? QStringLiteral("th") : QStringLiteral("td");
                const QString width = total > 0 ? QStringLiteral(" width=\"%1%\"").arg(memo.width * 100 / total) : QString();
                html += QStringLiteral("<%1%2 align=\"%3\">%4%5%6</%1>")
                            .arg(tag, width, memo.centre ? QStringLiteral("center") : QStringLiteral("left"),
                                 memo.bold ? QStringLiteral("<b>") : QString(), escaped(memo.text),
                                 memo.bold ? QStringLiteral("</b>") : QString());
            }
            html += QStringLiteral("</tr>");
        } else {
            for (const RenderedMemo& memo : row.memos) {
                // A caption or value left empty takes no line on the page.
                if (memo.text.isEmpty()) continue;
                html += QStringLiteral("<p align=\"%1\">%2%3%4</p>")
                            .arg(memo.centre ? QStringLiteral("center") : QStringLiteral("left"),
                                 memo.bold ? QStringLiteral("<b>") : QString(), escaped(memo.text),
                                 memo.bold ? QStringLiteral("</b>") : QString());
            }
        }
    }
    if (inTable) html += QStringLiteral("</table>");
    html += QStringLiteral("</body></html>");
    return html;
}

QByteArray defaultOneFormTemplate() {
    return QByteArrayLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<report title="Протокол контролю форми">
  <band type="title">
    <memo name="meHead" bold="1" align="center">ПРОТОКОЛ КОНТРОЛЮ ФОРМИ ЗВІТНОСТІ</memo>
    <memo name="meObj">Організація:</memo>
    <memo name="meKod">Код за ЄДРПОУ:</memo>
    <memo name="meDate">Звітний період:</memo>
    <memo name="meForm">Форма:</memo>
    <memo name="meZvitn">Вид звітності:</memo>
    <memo name="MemoKlasifik">Код класифікації видатків:</memo>
    <memo name="meKlasifik"></memo>
    <memo name="MemoFond">Вид фонду:</memo>
    <memo name="meFond"></memo>
    <memo name="MemoZamov">Вид замовлення:</memo>
    <memo name="meZamov"></memo>
    <memo name="MemoKosht">Вид коштів:</memo>
    <memo name="meKosht"></memo>
  </band>
  <band type="header">
    <memo name="hCell" width="22" bold="1" align="center">Клітинка</memo>
    <memo name="hStored" width="12" bold="1" align="center">Введене значення</memo>
    <memo name="hFormula" width="24" bold="1" align="center">Контрольне співвідношення</memo>
    <memo name="hExpression" width="30" bold="1" align="center">Розрахунок</memo>
    <memo name="hComputed" width="12" bold="1" align="center">Розраховане значення</memo>
  </band>
  <band type="data">
    <memo name="dCell" width="22">[ZNACHENIE]</memo>
    <memo name="dStored" width="12" align="center">[REZULT1]</memo>
    <memo name="dFormula" width="24">[FORM_INT]</memo>
    <memo name="dExpression" width="30">[ZNACHENIE2]</memo>
    <memo name="dComputed" width="12" align="center">[REZULT2]</memo>
  </band>
  <band type="summary">
    <memo name="meSummary">Виправте значення у вказаних клітинках, збережіть форму та повторіть контроль.</memo>
  </band>
</report>
)");
}

QByteArray defaultCrossFormTemplate() {
    return QByteArrayLiteral(R"(<?xml version="1.0" encoding="UTF-8"?>
<report title="Протокол міжформового контролю">
  <band type="title">
    <memo name="meHead" bold="1" align="center">ПРОТОКОЛ МІЖФОРМОВОГО КОНТРОЛЮ</memo>
    <memo name="meObj">Організація:</memo>
    <memo name="meKod">Код за ЄДРПОУ:</memo>
    <memo name="meDate">Звітний період:</memo>
    <memo name="meZvitn">Вид звітності:</memo>
  </band>
  <band type="header">
    <memo name="hForm" width="8" bold="1" align="center">Форма контролю</memo>
    <memo name="hLeft" width="20" bold="1" align="center">Ліва частина</memo>
    <memo name="hRight" width="20" bold="1" align="center">Права частина</memo>
    <memo name="hLeftValue" width="10" bold="1" align="center">Значення лівої частини</memo>
    <memo name="hRightValue" width="10" bold="1" align="center">Значення правої частини</memo>
    <memo name="hLeftExpression" width="16" bold="1" align="center">Розрахунок лівої частини</memo>
    <memo name="hRightExpression" width="16" bold="1" align="center">Розрахунок правої частини</memo>
  </band>
  <band type="data">
    <memo name="dForm" width="8" align="center">[NOMER]</memo>
    <memo name="dLeft" width="20">[FORMULA1]</memo>
    <memo name="dRight" width="20">[FORMULA2]</memo>
    <memo name="dLeftValue" width="10" align="center">[REZ1]</memo>
    <memo name="dRightValue" width="10" align="center">[REZ2]</memo>
    <memo name="dLeftExpression" width="16">[FORM1]</memo>
    <memo name="dRightExpression" width="16">[FORM2]</memo>
  </band>
  <band type="summary">
    <memo name="meSummary">Перевірте значення форм, що входять до відхилених співвідношень.</memo>
  </band>
</report>
)");
}

}  // namespace zelvan
