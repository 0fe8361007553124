#include "docs/template_fill.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QProcess>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>
#include <charconv>
#include <cmath>

#include "entry/form_grid.h"
#include "model/tdm.h"
#include "platform/database.h"
#include "platform/files.h"
#include "platform/text_trim.h"

namespace zelvan {

QString fixedDecimals(double value, int decimals, QChar separator) {
    char buffer[400];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
    std::string text(buffer, result.ptr);
    const bool negative = !text.empty() && text.front() == '-';
    if (negative) text.erase(0, 1);
    const size_t point = text.find('.');
    std::string whole = point == std::string::npos ? text : text.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : text.substr(point + 1);
    const bool roundUp = fraction.size() > size_t(decimals) && fraction[size_t(decimals)] >= '5';
    fraction.resize(size_t(decimals), '0');
    std::string digits = whole + fraction;
    if (roundUp) {
        size_t i = digits.size();
        while (i > 0 && digits[i - 1] == '9') digits[--i] = '0';
        if (i == 0) digits.insert(digits.begin(), '1');
        else ++digits[i - 1];
    }
    whole = digits.substr(0, digits.size() - size_t(decimals));
    fraction = digits.substr(digits.size() - size_t(decimals));
    QString out = QString::fromLatin1(whole.data(), qsizetype(whole.size()));
    if (decimals > 0) out += separator + QString::fromLatin1(fraction.data(), qsizetype(fraction.size()));
    const bool zero = digits.find_first_not_of('0') == std::string::npos;
    return negative && !zero ? u'-' + out : out;
}

int fixedTableRow(int kodForm, int table, int r) {
    if (r == 3) return table == 2 ? 5 : 6;
    if (r == 62) return 75;
    // The first and last grid row of each block, and the shift of its table rows.
    struct Block {
        int from, to, shift;
    };
    static const Block form249Table2[] = {{5, 10, 1}, {11, 37, 3}, {38, 61, 5}};
    static const Block form249Table4[] = {{5, 9, 2}, {10, 36, 4}, {37, 61, 6}};
    static const Block form234Table2[] = {{5, 14, 1}, {15, 41, 3}, {42, 61, 5}};
    static const Block form234Table4[] = {{5, 12, 2}, {13, 39, 4}, {40, 61, 6}};
    const Block* blocks = kodForm == 249 ? (table == 2 ? form249Table2 : form249Table4)
                                         : (table == 2 ? form234Table2 : form234Table4);
    for (int i = 0; i < 3; ++i)
        if (r >= blocks[i].from && r <= blocks[i].to) return r + blocks[i].shift;
    return 0;
}

QString convertLegacyTemplate(const QString& docPath, const QString& cacheFolder) {
    const QString shown = QDir::toNativeSeparators(docPath);
    const QFileInfo source(docPath);
    if (!source.exists()) throw DocumentError(QStringLiteral("Файл шаблону \"%1\" не знайдено.").arg(shown));
    // One conversion per content of the .doc: the cached .docx is named by its digest.
    QFile file(docPath);
    if (!file.open(QIODevice::ReadOnly))
        throw DocumentError(QStringLiteral("Файл шаблону \"%1\" не вдалося прочитати: %2").arg(shown, file.errorString()));
    const QByteArray digest = QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1).toHex().left(16);
    const QString converted =
        QDir(cacheFolder).filePath(source.completeBaseName() + u'-' + QString::fromLatin1(digest) + QStringLiteral(".docx"));
    if (QFileInfo::exists(converted)) return converted;

    const QString office = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (office.isEmpty())
        throw DocumentError(QStringLiteral("Шаблон \"%1\" має застарілий формат .doc. Потрібен шаблон у форматі .docx "
                                           "(або встановіть LibreOffice, щоб програма перетворила його сама).")
                                .arg(source.fileName()));
    QTemporaryDir work;
    if (!QDir().mkpath(cacheFolder) || !work.isValid())
        throw DocumentError(QStringLiteral("Не вдалося створити папку \"%1\".").arg(QDir::toNativeSeparators(cacheFolder)));
    QProcess process;
    process.setProgram(office);
    // A profile of its own, so that a running office suite of the user is not disturbed.
    process.setArguments({QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(work.filePath(QStringLiteral("profile"))).toString(),
                          QStringLiteral("--headless"), QStringLiteral("--convert-to"), QStringLiteral("docx"),
                          QStringLiteral("--outdir"), work.path(), source.absoluteFilePath()});
    process.start();
    const bool finished = process.waitForFinished(120000);
    const QString result = QDir(work.path()).filePath(source.completeBaseName() + QStringLiteral(".docx"));
    if (!finished || process.exitCode() != 0 || !QFileInfo::exists(result)) {
        process.kill();
        throw DocumentError(QStringLiteral("LibreOffice не зміг перетворити шаблон \"%1\" у формат .docx.").arg(source.fileName()));
    }
    QFile produced(result);
    if (!produced.open(QIODevice::ReadOnly))
        throw DocumentError(QStringLiteral("LibreOffice не зміг перетворити шаблон \"%1\" у формат .docx.").arg(source.fileName()));
    writeFileAtomically(converted, produced.readAll());
    return converted;
}

TemplateFiller::TemplateFiller(TDM& dm, const UserLocale& locale) : dm_(dm), locale_(locale) {}

void TemplateFiller::ReplacePlaceholder(WordDocument& document, const QString& placeholder, const QString& value) {
    document.replaceAll(placeholder, value);
}

void TemplateFiller::replaceCardAndDate(WordDocument& document, const TemplateContext& context, const QDate& date) {
    // The card rows by their exact system name; the first row of a name counts.
    struct CardRow {
        QString name;
        QString code;
    };
    QHash<QString, CardRow> card;
    {
        QSqlQuery q = dm_.db().exec(QStringLiteral("Select * From SORG "));
        while (q.next()) {
            const QString sysName = q.value(QStringLiteral("SYS_NAME")).toString();
            if (!card.contains(sysName))
                card.insert(sysName, {q.value(QStringLiteral("SOFT_NAME")).toString(), q.value(QStringLiteral("SOFT_KOD")).toString()});
        }
    }
    // The replacements in their order, made together: the same as one replace-all each.
    std::vector<std::pair<QString, QString>> replacements;
    const auto fromCard = [&](const QString& placeholder, const QString& sysName, bool code) {
        const auto row = card.constFind(sysName);
        if (row != card.constEnd()) replacements.emplace_back(placeholder, code ? row->code : row->name);
    };
    const auto fixed = [&](const QString& placeholder, const QString& value) { replacements.emplace_back(placeholder, value); };

    const QString organisation = QStringLiteral("Назва організації");
    const QString activity = QStringLiteral("Вид економічної діяльності");
    const QString legalForm = QStringLiteral("Орг.-правова форма госп.");
    const QString territory = QStringLiteral("Територія");
    fromCard(QStringLiteral("@name@"), organisation, false);
    fromCard(QStringLiteral("@SHORT_NAME_OBJ@"), organisation, false);
    fromCard(QStringLiteral("@edrpou@"), organisation, true);
    fromCard(QStringLiteral("@KOD_ZKPO@"), organisation, true);
    fixed(QStringLiteral("@galuz@"), {});
    fixed(QStringLiteral("@NAME_GALUZ@"), {});
    fixed(QStringLiteral("@zkng@"), {});
    fixed(QStringLiteral("@organ@"), {});
    fixed(QStringLiteral("@spodu@"), {});
    fixed(QStringLiteral("@dzm@"), QStringLiteral("  "));
    fixed(QStringLiteral("@mzm@"), QStringLiteral("  "));
    fixed(QStringLiteral("@yzm@"), QStringLiteral("   "));
    fixed(QStringLiteral("@nakaz_no@"), {});
    fromCard(QStringLiteral("@dial@"), activity, false);
    fromCard(QStringLiteral("@KOD_KVED@"), activity, false);
    fromCard(QStringLiteral("@kved@"), activity, true);
    fromCard(QStringLiteral("@kopfg@"), legalForm, true);
    fromCard(QStringLiteral("@n_kopfg@"), legalForm, false);
    fixed(QStringLiteral("@project@"), {});
    fromCard(QStringLiteral("@ter@"), territory, false);
    fromCard(QStringLiteral("@koatuu@"), territory, true);
    fixed(QStringLiteral("@n_kfv@"), {});
    fixed(QStringLiteral("@kfv@"), {});
    fromCard(QStringLiteral("@cnt_worker@"), QStringLiteral("Середня кількість працівників"), false);
    fixed(QStringLiteral("@stan@"), context.periodText);
    QString quarter;
    {
        QSqlQuery q = dm_.db().exec(QStringLiteral("select * from LocDANPER where NACHALO = :date"),
                                    {{QStringLiteral(":date"), isoDate(date)}});
        if (q.next()) quarter = q.value(QStringLiteral("PERIOD")).toString();
    }
    fixed(QStringLiteral("@kvartal@"), quarter);
    const QString year = QStringLiteral("%1").arg(date.year(), 4, 10, QLatin1Char('0'));
    const QString previousYear = QStringLiteral("%1").arg(date.year() - 1, 4, 10, QLatin1Char('0'));
    fixed(QStringLiteral("@year2@"), year);
    fromCard(QStringLiteral("@boss@"), QStringLiteral("ПІБ керівника (для виводу в шаблон)"), false);
    fromCard(QStringLiteral("@buh@"), QStringLiteral("ПІБ бухгалтера (для виводу в шаблон)"), false);
    fixed(QStringLiteral("@day@"), QStringLiteral("%1").arg(date.day(), 2, 10, QLatin1Char('0')));
    fixed(QStringLiteral("@DAY_DANPER@"), QString::number(date.day()));
    fixed(QStringLiteral("@fin_date@"), year + QStringLiteral(" рік"));
    fixed(QStringLiteral("@month@"), QStringLiteral("%1").arg(date.month(), 2, 10, QLatin1Char('0')));
    fixed(QStringLiteral("@MONTH_DANPER@"), QString::number(date.month()));
    fixed(QStringLiteral("@YEAR_DANPER@"), QStringLiteral("20") + previousYear.mid(2, 2));
    fixed(QStringLiteral("@year1@"), QStringLiteral("20") + previousYear.mid(2, 2));
    fixed(QStringLiteral("@year@"), year.mid(2, 2));
    fromCard(QStringLiteral("@citi@"), QStringLiteral("Адреса, телефон"), false);
    const auto unlessZero = [&](int i, const QString& value) { return context.codes[i] == QStringLiteral("0") ? QString() : value; };
    fixed(QStringLiteral("@klas@"), unlessZero(0, context.codes[0]));
    fixed(QStringLiteral("@fond@"), unlessZero(1, context.names[1]));
    fixed(QStringLiteral("@kosh@"), unlessZero(3, context.names[3]));
    fixed(QStringLiteral("@zam@"), unlessZero(2, context.names[2]));
    document.replaceAll(replacements);
}

int TemplateFiller::codeColumn(int kodForm) {
    QSqlQuery q = dm_.db().exec(QStringLiteral("Select * From Disable_Cell Where Kod_Form = :form and Kod_Koord = 3"),
                                {{QStringLiteral(":form"), kodForm}});
    return q.next() ? q.value(QStringLiteral("NOMER_COL")).toInt() : 0;
}

QString TemplateFiller::formattedValue(const QString& text, int roundToWhole, bool integerCell, int col, int row) const {
    const auto number = [&] {
        // The text in the user's decimal format; blanks around it and a leading "+" allowed.
        QByteArray bytes = text.trimmed().toLatin1();
        if (locale_.decimalSeparator != u'.') bytes.replace(char(locale_.decimalSeparator.toLatin1()), '.');
        const char* begin = bytes.constData();
        const char* end = begin + bytes.size();
        if (begin != end && *begin == '+') ++begin;
        double value = 0;
        const auto [rest, error] = std::from_chars(begin, end, value);
        const bool ok = begin != end && error == std::errc() && rest == end && std::isfinite(value) &&
                        text.trimmed().size() == bytes.size() && !bytes.contains('?');
        if (!ok)
            throw DocumentError(QStringLiteral("Значення \"%1\" у графі %2 рядка %3 не є числом; шаблон не заповнено.")
                                    .arg(text)
                                    .arg(col)
                                    .arg(row));
        return value;
    };
    QString value = text;
    if (roundToWhole == 0) value = fixedDecimals(number(), 2, locale_.decimalSeparator);
    else if (roundToWhole == 1) value = fixedDecimals(number(), 0, locale_.decimalSeparator);
    else if (roundToWhole == 2) value = fixedDecimals(number(), 1, locale_.decimalSeparator);
    if (integerCell) value = fixedDecimals(number(), 0, locale_.decimalSeparator);
    return value;
}


void TemplateFiller::FillTemplateTables(WordDocument& document, const FormGrid& grid, int codeColumn, int roundToWhole,
                                        int kodForm, const SaveProgress& progress) {
    QSet<qint64> integerCells;
    {
        QSqlQuery q = dm_.db().exec(QStringLiteral("select d.nomer_col, d.nomer_row from disable_cell d "
                                                   "where d.name_cell = :name and d.kod_form = :form"),
                                    {{QStringLiteral(":name"), QStringLiteral("IntegerCell")}, {QStringLiteral(":form"), kodForm}});
        while (q.next()) integerCells.insert((qint64(q.value(0).toInt()) << 32) | quint32(q.value(1).toInt()));
    }
    if (progress.start) progress.start(grid.rowCount() - 1);
    QString pattern;
    for (int r = 1; r < grid.rowCount(); ++r) {
        bool typed = false;
        for (int c = codeColumn + 1; c < grid.colCount() && !typed; ++c)
            typed = !grid.rowMarked(r) && !grid.columnMarked(c) && grid.text(c, r) != kProtected;
        // A row whose placeholder the template lacks writes nothing: typing from wherever
        // the last row ended would put its values into another row's cells.
        if (typed && document.findWholeWord(u'@' + grid.text(codeColumn, r) + u'@')) {
            for (int k = codeColumn + 1; k < grid.colCount(); ++k) {
                // Past the table's last cell there is nowhere to type the rest of the row.
                if (!document.moveToNextCell()) break;
                // The cell's pattern text: its text without blanks and control characters at either end.
                pattern = trimmedBlanksAndControls(document.selectionText());
                const QString& text = grid.text(k, r);
                if (text.isEmpty()) {
                    document.typeText(QStringLiteral("—"));
                } else if (text != kProtected) {
                    QString value = formattedValue(text, roundToWhole, integerCells.contains((qint64(k) << 32) | quint32(r)), k, r);
                    if (pattern.contains(QStringLiteral("P#"))) value = QString(pattern).replace(pattern.indexOf(QStringLiteral("P#")), 2, value);
                    document.typeText(value);
                }
            }
        }
        if (progress.step) progress.step();
    }
    if (progress.reset) progress.reset();
}

void TemplateFiller::fillFixedTables(WordDocument& document, const FormGrid& grid, int kodForm, const QString& templateName) {
    struct Assignment {
        int table, row, column;
        QString text;
    };
    std::vector<Assignment> assignments;
    const int lastCol = std::min(14, grid.colCount() - 1);
    for (int c = 4; c <= lastCol; ++c) {
        const int table = c <= 8 ? 2 : 4;
        for (int r = 3; r < grid.rowCount(); ++r) {
            const int row = fixedTableRow(kodForm, table, r);
            if (row > 0) assignments.push_back({table, row, table == 2 ? c : c - 5, grid.text(c, r)});
        }
    }
    // Every cell is there before anything is written.
    for (const Assignment& a : assignments) {
        if (!document.hasCell(a.table, a.row, a.column))
            throw DocumentError(QStringLiteral("У шаблоні \"%1\" немає клітинки таблиці %2 (рядок %3, графа %4), потрібної "
                                               "для форми %5; шаблон не заповнено.")
                                    .arg(templateName)
                                    .arg(a.table)
                                    .arg(a.row)
                                    .arg(a.column)
                                    .arg(kodForm));
    }
    for (const Assignment& a : assignments) document.setCellText(a.table, a.row, a.column, a.text);
}

QString TemplateFiller::fill(FormEntry& entry, const ValueKeys& keys, const TemplateContext& context,
                             const QString& outputFolder, const SaveProgress& progress,
                             const std::function<void(int)>& showSheet) {
    const Filled filled =
        produce(entry, keys, context, QDir(outputFolder).filePath(QStringLiteral(".converted")), progress, showSheet);
    if (!QDir().mkpath(outputFolder))
        throw DocumentError(QStringLiteral("Не вдалося створити папку \"%1\".").arg(QDir::toNativeSeparators(outputFolder)));
    const QString copy = QDir(outputFolder).filePath(filled.fileName);
    writeFileAtomically(copy, filled.bytes);
    return copy;
}

TemplateFiller::Filled TemplateFiller::produce(FormEntry& entry, const ValueKeys& keys, const TemplateContext& context,
                                               const QString& cacheFolder, const SaveProgress& progress,
                                               const std::function<void(int)>& showSheet) {
    if (progress.reset) progress.reset();
    QString fileName;
    int roundToWhole = 0;
    {
        QSqlQuery q = dm_.db().exec(QStringLiteral("Select * From S_Form Where Kod_Form = :form"),
                                    {{QStringLiteral(":form"), context.kodForm}});
        if (q.next()) {
            fileName = q.value(QStringLiteral("FILE_NAME2")).toString().trimmed();
            roundToWhole = q.value(QStringLiteral("ROUNDTOWHOLE")).toInt();
        }
    }
    if (fileName.isEmpty()) throw DocumentError(QStringLiteral("Для цієї форми не вказано файл шаблону."));
    // Only a file of the database folder, whatever the stored name says.
    if (fileName.contains(u'/') || fileName.contains(u'\\') || fileName == QStringLiteral("..") ||
        fileName == QStringLiteral("."))
        throw DocumentError(QStringLiteral("Ім'я файлу шаблону \"%1\" неправильне: потрібне ім'я файлу без папки.").arg(fileName));
    const QDate date = locale_.parseDate(context.periodText);
    if (!date.isValid())
        throw DocumentError(QStringLiteral("Звітну дату \"%1\" не вдалося прочитати як дату (формат %2).")
                                .arg(context.periodText, locale_.shortDateFormat));

    QString templatePath = findFileIgnoringCase(dm_.dbDir(), fileName);
    QString copyName = QFileInfo(templatePath).fileName();
    if (copyName.endsWith(QStringLiteral(".doc"), Qt::CaseInsensitive)) {
        templatePath = convertLegacyTemplate(templatePath, cacheFolder);
        copyName = QFileInfo(copyName).completeBaseName() + QStringLiteral(".docx");
    }
    WordDocument document = WordDocument::load(templatePath);
    replaceCardAndDate(document, context, date);

    int code = codeColumn(entry.kodForm());
    if (context.kodForm != 234 && context.kodForm != 249) {
        const std::vector<FormSheet> group = entry.group();
        if (group.size() < 2) {
            FillTemplateTables(document, entry.grid(), code, roundToWhole, context.kodForm, progress);
        } else {
            for (size_t i = 0; i < group.size(); ++i) {
                if (showSheet) showSheet(int(i));
                else entry.switchSheet(int(i), keys);
                code = codeColumn(group[i].kodForm);
                FillTemplateTables(document, entry.grid(), code, roundToWhole, group[i].kodForm, progress);
            }
        }
    } else {
        fillFixedTables(document, entry.grid(), context.kodForm, copyName);
    }

    return {copyName, document.toBytes()};
}

}  // namespace zelvan
