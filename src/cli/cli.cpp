#include "cli/cli.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSet>
#include <QSqlQuery>
#include <QStandardPaths>
#include <optional>

#include "app/app_settings.h"
#include "app/config_file.h"
#include "app/error.h"
#include "app/environment.h"
#include "dict/classifier.h"
#include "exchange/data_exchange.h"
#include "docs/template_fill.h"
#include "entry/form_entry.h"
#include "formula/controls.h"
#include "formula/infix.h"
#include "formula/report_data.h"
#include "model/main_queries.h"
#include "model/tdm.h"
#include "model/database_folder.h"
#include "model/schema.h"
#include "platform/database.h"
#include "platform/files.h"
#include "platform/report_pdf.h"

namespace zelvan {

namespace {

const QString kUsage = QStringLiteral(
    "Використання:\n"
    "  zelvan-cli --version          версія програми\n"
    "  zelvan-cli init ПАПКА         створити нову порожню папку бази даних\n"
    "  zelvan-cli demo ПАПКА         створити папку бази даних з демонстраційним набором звітності\n"
    "  zelvan-cli configure ПАПКА    створити файл налаштувань, що вказує на папку бази даних\n"
    "                                (наявний файл налаштувань не змінюється)\n"
    "  zelvan-cli eval ВИРАЗ         обчислити вираз: ЗНАЧЕННЯ<TAB>ПОЗИЦІЯ<TAB>ПОВІДОМЛЕННЯ\n"
    "  zelvan-cli eval -             обчислити кожен рядок стандартного входу\n"
    "  zelvan-cli control --db ПАПКА --form КОД [--org КОД] [--stan КОД] [--expense КОД] [--fund КОД]\n"
    "                     [--order КОД] [--funds-kind КОД] [--decimal-sep C] [--json] [--pdf ФАЙЛ]\n"
    "                                контроль однієї форми за збереженими значеннями\n"
    "  zelvan-cli cross-control --db ПАПКА --type N [--org КОД] [--decimal-sep C] [--json] [--pdf ФАЙЛ]\n"
    "                                міжформовий контроль\n"
    "  --pdf ФАЙЛ записує протокол контролю у PDF, коли є відхилення.\n"
    "  zelvan-cli fill-template --db ПАПКА --form КОД [--org КОД] [--stan КОД] [--expense КОД] [--fund КОД]\n"
    "                     [--order КОД] [--funds-kind КОД] [--date ДД.ММ.РРРР] --out ФАЙЛ.docx\n"
    "                                заповнити шаблон Word форми збереженими значеннями\n"
    "  zelvan-cli export --db ПАПКА --medium НОСІЙ --yes [--config ФАЙЛ]\n"
    "                                записати набір даних для Департаменту на носій\n"
    "  zelvan-cli return --db ПАПКА --medium НОСІЙ --yes [--config ФАЙЛ]\n"
    "                                повернути набір даних з носія (спершу резервна копія)\n"
    "  zelvan-cli update --db ПАПКА --medium НОСІЙ --yes [--config ФАЙЛ]\n"
    "                                оновити структури з архіву Департаменту на носії\n"
    "  НОСІЙ - корінь носія (папка з LZelvan_Data).\n");

int usage(QTextStream& err, const QString& problem = {}) {
    if (!problem.isEmpty()) err << problem << '\n';
    err << kUsage;
    err.flush();
    return cli_exit::Usage;
}

int createFolder(const QString& folder, bool withDemo, QTextStream& out, QTextStream& err) {
    const QString absolute = QFileInfo(folder).absoluteFilePath();
    if (fileExistsIgnoringCase(absolute, kDatabaseFileName)) {
        err << QStringLiteral("У папці \"%1\" уже є база даних; її не перезаписано.\n").arg(absolute);
        return cli_exit::Usage;
    }
    const QString path = createDatabaseFolder(absolute, withDemo);
    out << (withDemo ? QStringLiteral("Створено базу даних з демонстраційним набором: %1\n")
                     : QStringLiteral("Створено порожню базу даних: %1\n"))
               .arg(path);
    return cli_exit::Ok;
}

// Writes a configuration that points the program at the database folder, with the
// exchange codes of the organisation card and the structure period when the database
// holds them.
int configure(const QString& folder, const CliContext& context, QTextStream& out, QTextStream& err) {
    if (QFileInfo::exists(context.configPath)) {
        out << QStringLiteral("Файл налаштувань уже є: %1; його не змінено.\n").arg(context.configPath);
        return cli_exit::Ok;
    }
    const QString dbDir = QFileInfo(folder).absoluteFilePath();
    if (!fileExistsIgnoringCase(dbDir, kDatabaseFileName)) {
        err << QStringLiteral("У папці \"%1\" немає бази даних.\n").arg(dbDir);
        return cli_exit::Usage;
    }
    ConfigFile config;
    config.setValue(key::Dir, dbDir);
    config.setValue(key::DB_Dir, dbDir);
    const QString copies = QDir(dbDir).filePath(QStringLiteral("copies"));
    const QString ftp = QDir(dbDir).filePath(QStringLiteral("ftp"));
    QDir().mkpath(copies);
    QDir().mkpath(ftp);
    config.setValue(key::WinRar_Dir, copies);
    {
        Database db(findFileIgnoringCase(dbDir, kDatabaseFileName), Database::Mode::OpenExisting);
        QSqlQuery card = db.exec(QStringLiteral("select SYS_NAME, SOFT_NAME from SORG"));
        while (card.next()) {
            if (card.value(0).toString() == QStringLiteral("Kod_Obj"))
                config.setValue(key::FTP_KOD_OBJ, card.value(1).toString());
            if (card.value(0).toString() == QStringLiteral("Kod_Stan"))
                config.setValue(key::FTP_KOD_STAN, card.value(1).toString());
        }
        QSqlQuery period = db.exec(QStringLiteral("select KOD_DANPER from DANPER"));
        if (period.next()) config.setValue(key::FTP_KOD_DANPER, period.value(0).toString());
    }
    config.setValue(key::FTP_Directory, ftp);
    QDir().mkpath(QFileInfo(context.configPath).absolutePath());
    config.save(context.configPath);
    out << QStringLiteral("Створено файл налаштувань: %1\n").arg(context.configPath);
    return cli_exit::Ok;
}

// Options of the form --name VALUE, and flags.
struct Options {
    QHash<QString, QString> values;
    QSet<QString> flags;
    QString problem;
};

Options parseOptions(const QStringList& args, const QSet<QString>& valued, const QSet<QString>& flagNames) {
    Options options;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString& arg = args.at(i);
        if (flagNames.contains(arg)) {
            options.flags.insert(arg);
        } else if (valued.contains(arg) && i + 1 < args.size()) {
            options.values.insert(arg, args.at(++i));
        } else {
            options.problem = QStringLiteral("Невідомий або неповний параметр: %1").arg(arg);
            break;
        }
    }
    return options;
}

std::optional<int> intOption(const Options& options, const QString& name, QString& problem) {
    if (!options.values.contains(name)) return std::nullopt;
    bool ok = false;
    const int value = options.values.value(name).toInt(&ok);
    if (!ok) problem = QStringLiteral("Значення параметра %1 має бути цілим числом.").arg(name);
    return ok ? std::optional<int>(value) : std::nullopt;
}

QString jsonLine(const QStringList& columns) {
    QJsonObject object;
    for (qsizetype i = 0; i < columns.size(); ++i) object.insert(QString::number(i), columns.at(i));
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

void printLines(QTextStream& out, const std::vector<QStringList>& lines, bool json) {
    for (const QStringList& line : lines) out << (json ? jsonLine(line) : line.join(QStringLiteral(" | "))) << '\n';
}

// The decimal separator of --decimal-sep ("." when not given): one character.
QString decimalSeparatorOption(const Options& options, QString& problem) {
    const QString separator = options.values.value(QStringLiteral("--decimal-sep"), QStringLiteral("."));
    if (separator.size() != 1 && problem.isEmpty()) problem = QStringLiteral("--decimal-sep: один символ.");
    return separator.isEmpty() ? QStringLiteral(".") : separator;
}

// Opens the database folder of --db and checks that it is one of the program's.
void openDatabase(TDM& dm, const QString& folder) {
    dm.pointAt(folder);
    dm.probe();
}

// The selection the main window would use: the card's codes, the first period, code 0.
struct CliSelection {
    int kodDanper = 0;
    QDate start;
    QString periodText;  // as the main window shows the period: its first day
    int kodObj = 0;
    int kodStan = 0;
};

CliSelection defaultSelection(TDM& dm) {
    CliSelection s;
    const StructurePeriod period = readStructurePeriod(dm);
    s.kodDanper = period.kodDanper;
    s.start = period.start;
    s.periodText = UserLocale().formatDate(period.start);
    const CardReading card = readCard(dm);
    s.kodObj = card.kodObj.value_or(0);
    s.kodStan = card.kodStan;
    return s;
}

// Writes the control report of a run with deviations into the PDF file the user named.
void writeControlPdf(TDM& dm, const QString& templateName, const ControlReportData& data, const QString& path) {
    const ReportTemplate layout = ReportTemplate::load(findFileIgnoringCase(dm.dbDir(), templateName));
    writeReportPdf(renderReport(layout, data.records(), data.callbacks()), path);
}

void noReportNote(QTextStream& err, const QString& path) {
    err << QStringLiteral("Відхилень немає; файл \"%1\" не створено.").arg(QDir::toNativeSeparators(path)) << '\n';
}

// The four classifier codes of the options ("0" when not given), looked up as the main
// window's panel looks them up: their keys into `keys`, the codes and names as the
// reports and templates print them.
void lookupClassifiers(TDM& dm, const Options& options, const QDate& periodStart, ValueKeys& keys, QString codes[4],
                       QString names[4]) {
    const std::pair<QString, ClassifierGroup> groups[] = {{QStringLiteral("--expense"), ClassifierGroup::Expense},
                                                          {QStringLiteral("--fund"), ClassifierGroup::Fund},
                                                          {QStringLiteral("--order"), ClassifierGroup::Order},
                                                          {QStringLiteral("--funds-kind"), ClassifierGroup::Funds}};
    int* keySlots[] = {&keys.kodK, &keys.kodF, &keys.kodZ, &keys.kodG};
    for (int i = 0; i < 4; ++i) {
        const QString code = options.values.value(groups[i].first, QStringLiteral("0"));
        const auto entry = lookupCode(dm, groups[i].second, code, periodStart);
        *keySlots[i] = entry ? entry->kod : 0;
        codes[i] = code;
        names[i] = entry ? entry->name : QString();
    }
}

int runControl(const QStringList& args, QTextStream& out, QTextStream& err) {
    const Options options = parseOptions(
        args, {QStringLiteral("--db"), QStringLiteral("--form"), QStringLiteral("--org"), QStringLiteral("--stan"),
               QStringLiteral("--expense"), QStringLiteral("--fund"), QStringLiteral("--order"),
               QStringLiteral("--funds-kind"), QStringLiteral("--decimal-sep"), QStringLiteral("--pdf")},
        {QStringLiteral("--json")});
    QString problem = options.problem;
    const auto form = intOption(options, QStringLiteral("--form"), problem);
    const auto org = intOption(options, QStringLiteral("--org"), problem);
    const auto stan = intOption(options, QStringLiteral("--stan"), problem);
    const QString separator = decimalSeparatorOption(options, problem);
    if (problem.isEmpty() && (!options.values.contains(QStringLiteral("--db")) || !form))
        problem = QStringLiteral("Потрібні параметри --db і --form.");
    if (!problem.isEmpty()) return usage(err, problem);

    TDM dm;
    openDatabase(dm, options.values.value(QStringLiteral("--db")));
    const CliSelection selection = defaultSelection(dm);
    ValueKeys keys{*form, selection.kodDanper, org.value_or(selection.kodObj), stan.value_or(selection.kodStan), 0, 0, 0, 0};
    ReportContext report;
    lookupClassifiers(dm, options, selection.start, keys, report.codes, report.names);
    const FormControlResult result = runFormControl(dm, keys, separator.front());
    const bool json = options.flags.contains(QStringLiteral("--json"));
    const QString pdf = options.values.value(QStringLiteral("--pdf"));
    if (result.outcome == ControlOutcome::NoFormulas) {
        if (!json) out << QStringLiteral("Для даної форми немає контрольних формул") << '\n';
    } else if (result.outcome == ControlOutcome::NoDeviations) {
        if (!json) out << QStringLiteral("Обробка даних закінчена. Помилок не виявлено.") << '\n';
    } else {
        std::vector<QStringList> lines;
        for (const FormDeviation& line : result.lines) lines.push_back(QStringList(line.columns.begin(), line.columns.end()));
        printLines(out, lines, json);
    }
    if (pdf.isEmpty()) return cli_exit::Ok;
    if (result.outcome != ControlOutcome::Deviations) {
        noReportNote(err, pdf);
        return cli_exit::Ok;
    }
    QSqlQuery title = dm.db().exec(
        QStringLiteral("select NOMER_FORM, NAME_FORM, KOD_TYPE_ZVITNOST from S_FORM where KOD_FORM = :form"),
        {{QStringLiteral(":form"), *form}});
    if (title.next())
        report.formTitle =
            formCaptionText(formNumberText(title.value(0)), title.value(1).toString(), title.value(2).toInt());
    report.organisation = result.organisation;
    report.periodText = selection.periodText;
    report.selectionReportType = result.reportType;
    report.typeBoxCode = 1;
    report.decimalSeparator = separator.front();
    writeControlPdf(dm, QStringLiteral("SaveInt.frf"), ControlReportData::oneForm(result, report), pdf);
    return cli_exit::Ok;
}

int runFillTemplate(const QStringList& args, QTextStream& out, QTextStream& err) {
    const Options options = parseOptions(
        args, {QStringLiteral("--db"), QStringLiteral("--form"), QStringLiteral("--org"), QStringLiteral("--stan"),
               QStringLiteral("--expense"), QStringLiteral("--fund"), QStringLiteral("--order"),
               QStringLiteral("--funds-kind"), QStringLiteral("--date"), QStringLiteral("--out")},
        {});
    QString problem = options.problem;
    const auto form = intOption(options, QStringLiteral("--form"), problem);
    const auto org = intOption(options, QStringLiteral("--org"), problem);
    const auto stan = intOption(options, QStringLiteral("--stan"), problem);
    const QString outPath = options.values.value(QStringLiteral("--out"));
    if (problem.isEmpty() && (!options.values.contains(QStringLiteral("--db")) || !form || outPath.isEmpty()))
        problem = QStringLiteral("Потрібні параметри --db, --form і --out.");
    if (!problem.isEmpty()) return usage(err, problem);

    TDM dm;
    openDatabase(dm, options.values.value(QStringLiteral("--db")));
    const CliSelection selection = defaultSelection(dm);
    ValueKeys keys{*form, selection.kodDanper, org.value_or(selection.kodObj), stan.value_or(selection.kodStan), 0, 0, 0, 0};
    TemplateContext context;
    context.kodForm = *form;
    context.periodText = options.values.value(QStringLiteral("--date"), selection.periodText);
    lookupClassifiers(dm, options, selection.start, keys, context.codes, context.names);
    QSqlQuery title = dm.db().exec(QStringLiteral("select NOMER_FORM, NAME_FORM from S_FORM where KOD_FORM = :form"),
                                   {{QStringLiteral(":form"), *form}});
    if (!title.next()) {
        err << QStringLiteral("Форми з кодом %1 немає в базі даних.").arg(*form) << '\n';
        return cli_exit::Failure;
    }
    const UserLocale locale;
    FormEntry entry(dm, locale, [](const QString& text) { return int(text.size()) * 7; });
    entry.build({*form, formNumberText(title.value(0)), title.value(1).toString()}, keys);
    TemplateFiller filler(dm, locale);
    const QString cache =
        QDir(QStandardPaths::writableLocation(QStandardPaths::CacheLocation)).filePath(QStringLiteral("converted"));
    const TemplateFiller::Filled filled = filler.produce(entry, keys, context, cache);
    writeFileAtomically(outPath, filled.bytes);
    out << QStringLiteral("Заповнений шаблон записано: %1").arg(QDir::toNativeSeparators(outPath)) << '\n';
    return cli_exit::Ok;
}

int runExchange(const QString& command, const QStringList& args, const CliContext& context, QTextStream& out,
                QTextStream& err) {
    const Options options = parseOptions(
        args, {QStringLiteral("--db"), QStringLiteral("--medium"), QStringLiteral("--config")}, {QStringLiteral("--yes")});
    QString problem = options.problem;
    if (problem.isEmpty() && (!options.values.contains(QStringLiteral("--db")) || !options.values.contains(QStringLiteral("--medium"))))
        problem = QStringLiteral("Потрібні параметри --db і --medium.");
    if (problem.isEmpty() && !options.flags.contains(QStringLiteral("--yes")))
        problem = QStringLiteral("Команда змінює дані без запитань: підтвердіть її параметром --yes.");
    if (!problem.isEmpty()) return usage(err, problem);

    ExchangePlaces places;
    places.dbDir = QFileInfo(options.values.value(QStringLiteral("--db"))).absoluteFilePath();
    places.configPath = options.values.value(QStringLiteral("--config"), context.configPath);
    if (QFileInfo::exists(places.configPath)) {
        const AppSettings settings = AppSettings::fromConfig(ConfigFile::load(places.configPath));
        places.ftpDirectory = settings.ftpDirectory;
        places.programDir = settings.dir;
    }
    TDM dm;
    openDatabase(dm, places.dbDir);
    const QString root = options.values.value(QStringLiteral("--medium"));
    ExchangeOutcome outcome;
    QString done;
    if (command == QStringLiteral("export")) {
        outcome = exportDataSet(dm, places, mediumFolder(root, MediumUse::ExportOrReturn));
        done = QStringLiteral("Формування вихідних даних закінчилося.");
    } else if (command == QStringLiteral("return")) {
        outcome = returnDataSet(dm, places, mediumFolder(root, MediumUse::ExportOrReturn), QDateTime::currentDateTime());
        done = QStringLiteral("Копіювання даних завершилося.");
    } else {
        outcome = applyStructureUpdate(dm, places, mediumFolder(root, MediumUse::Update), QDateTime::currentDateTime(),
                                       UserLocale());
        done = QStringLiteral("Копіювання даних завершилося.");
    }
    if (!outcome.backupPath.isEmpty())
        out << QStringLiteral("Резервна копія бази даних: %1").arg(QDir::toNativeSeparators(outcome.backupPath)) << '\n';
    if (!outcome.failedFiles.isEmpty()) {
        err << failedFilesMessage(done, outcome.failedFiles) << '\n';
        return cli_exit::Failure;
    }
    out << done << '\n';
    return cli_exit::Ok;
}

int runCrossControlCommand(const QStringList& args, QTextStream& out, QTextStream& err) {
    const Options options = parseOptions(
        args,
        {QStringLiteral("--db"), QStringLiteral("--type"), QStringLiteral("--org"), QStringLiteral("--decimal-sep"),
         QStringLiteral("--pdf")},
        {QStringLiteral("--json")});
    QString problem = options.problem;
    const auto type = intOption(options, QStringLiteral("--type"), problem);
    const auto org = intOption(options, QStringLiteral("--org"), problem);
    const QString separator = decimalSeparatorOption(options, problem);
    if (problem.isEmpty() && (!options.values.contains(QStringLiteral("--db")) || !type))
        problem = QStringLiteral("Потрібні параметри --db і --type.");
    if (!problem.isEmpty()) return usage(err, problem);

    TDM dm;
    openDatabase(dm, options.values.value(QStringLiteral("--db")));
    const CliSelection selection = defaultSelection(dm);
    const CrossControlResult result =
        runCrossControl(dm, selection.kodDanper, org.value_or(selection.kodObj), *type, separator.front());
    const bool json = options.flags.contains(QStringLiteral("--json"));
    if (!result.stopMessage.isEmpty()) {
        err << result.stopMessage << '\n';
        return cli_exit::Failure;
    }
    if (result.outcome == ControlOutcome::NoFormulas) {
        if (!json) out << QStringLiteral("Немає формул в контрольних формах на данний період") << '\n';
    } else if (result.outcome == ControlOutcome::NoDeviations) {
        if (!json) out << QStringLiteral("Немає відхилень!") << '\n';
    } else {
        std::vector<QStringList> lines;
        for (const auto& line : result.lines) lines.push_back(QStringList(line.begin(), line.end()));
        printLines(out, lines, json);
    }
    const QString pdf = options.values.value(QStringLiteral("--pdf"));
    if (pdf.isEmpty()) return cli_exit::Ok;
    if (result.outcome != ControlOutcome::Deviations) {
        noReportNote(err, pdf);
        return cli_exit::Ok;
    }
    ReportContext report;
    report.organisation = result.organisation;
    report.periodText = selection.periodText;
    report.selectionReportType = *type;
    report.typeBoxCode = *type;
    report.decimalSeparator = separator.front();
    writeControlPdf(dm, QStringLiteral("SaveExtAll.frf"), ControlReportData::crossForm(result, report), pdf);
    return cli_exit::Ok;
}

}  // namespace

std::string evaluationLine(std::string_view text) {
    const Evaluation e = EvaluateExpression(text);
    char number[40];
    const int length = std::snprintf(number, sizeof number, "%.17g\t%d\t", e.value, e.failurePosition);
    std::string line(number, size_t(length));
    if (e.failurePosition != 0) line += e.message();
    return line;
}

void evaluateLines(std::FILE* in, std::FILE* out) {
    std::string pending;
    std::string output;
    output.reserve(1 << 16);
    char buffer[1 << 16];
    const auto flushOutput = [&] {
        std::fwrite(output.data(), 1, output.size(), out);
        output.clear();
    };
    const auto evaluateOne = [&](std::string_view line) {
        output += evaluationLine(line);
        output += '\n';
        if (output.size() > (1 << 15)) flushOutput();
    };
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, in)) > 0) {
        std::string_view chunk(buffer, got);
        size_t start = 0;
        for (size_t lf = chunk.find('\n'); lf != std::string_view::npos; lf = chunk.find('\n', start)) {
            if (pending.empty()) {
                evaluateOne(chunk.substr(start, lf - start));
            } else {
                pending.append(chunk.substr(start, lf - start));
                evaluateOne(pending);
                pending.clear();
            }
            start = lf + 1;
        }
        pending.append(chunk.substr(start));
    }
    // A last text without a line feed is a text too.
    if (!pending.empty()) evaluateOne(pending);
    flushOutput();
    std::fflush(out);
}

int runCli(const QStringList& args, QTextStream& out, QTextStream& err, const CliContext& context) {
    int code = cli_exit::Ok;
    try {
        if (args.isEmpty()) return usage(err);
        const QString& command = args.first();
        if (command == QStringLiteral("--version") && args.size() == 1) {
            out << QStringLiteral("zelvan-cli %1\n").arg(QStringLiteral(ZELVAN_VERSION));
        } else if ((command == QStringLiteral("init") || command == QStringLiteral("demo")) && args.size() == 2) {
            code = createFolder(args.at(1), command == QStringLiteral("demo"), out, err);
        } else if (command == QStringLiteral("eval") && args.size() == 2) {
            if (args.at(1) == QStringLiteral("-")) {
                out.flush();
                evaluateLines(context.in, context.out);
            } else {
                const QByteArray text = args.at(1).toUtf8();
                out << QString::fromStdString(evaluationLine(std::string_view(text.constData(), size_t(text.size()))))
                    << '\n';
            }
        } else if (command == QStringLiteral("control")) {
            code = runControl(args, out, err);
        } else if (command == QStringLiteral("export") || command == QStringLiteral("return") ||
                   command == QStringLiteral("update")) {
            code = runExchange(command, args, context, out, err);
        } else if (command == QStringLiteral("fill-template")) {
            code = runFillTemplate(args, out, err);
        } else if (command == QStringLiteral("cross-control")) {
            code = runCrossControlCommand(args, out, err);
        } else if (command == QStringLiteral("configure") && args.size() == 2) {
            code = configure(args.at(1), context, out, err);
        } else {
            code = usage(err, QStringLiteral("Невідома команда або неправильні аргументи: %1").arg(args.join(u' ')));
        }
    } catch (const ZelvanError& error) {
        err << error.message() << '\n';
        code = cli_exit::Failure;
    }
    out.flush();
    err.flush();
    return code;
}

}  // namespace zelvan
