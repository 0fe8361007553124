#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include "app/config_file.h"
#include "cli/cli.h"
#include "docs/word_document.h"
#include "platform/zip_archive.h"
#include "model/tdm.h"
#include "support/printers.h"

using namespace zelvan;

namespace {

struct CliRun {
    int code;
    QString out;
    QString err;
};

// Runs the real zelvan-cli program.
CliRun runProgram(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(ZELVAN_CLI_PATH), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

CliRun runHere(const QStringList& args, const QString& configPath) {
    QString out, err;
    QTextStream o(&out), e(&err);
    const int code = runCli(args, o, e, {configPath});
    return {code, out, err};
}

}  // namespace

TEST(Cli, VersionAndUsage) {
    const CliRun version = runProgram({QStringLiteral("--version")});
    EXPECT_EQ(version.code, 0);
    EXPECT_TRUE(version.out.startsWith(QStringLiteral("zelvan-cli 6.5"))) << version.out.toStdString();

    for (const QStringList& wrong : {QStringList{}, QStringList{QStringLiteral("demo")},
                                     QStringList{QStringLiteral("frobnicate"), QStringLiteral("x")},
                                     QStringList{QStringLiteral("init"), QStringLiteral("a"), QStringLiteral("b")}}) {
        const CliRun r = runProgram(wrong);
        EXPECT_EQ(r.code, 2) << wrong.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(QStringLiteral("Використання:"))) << r.err.toStdString();
    }
}

TEST(Cli, DemoCreatesADatabaseAndRefusesToOverwriteIt) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("x"));
    const CliRun first = runProgram({QStringLiteral("demo"), folder});
    EXPECT_EQ(first.code, 0) << first.err.toStdString();
    TDM dm;
    dm.pointAt(folder);
    EXPECT_NO_THROW(dm.probe());

    const CliRun again = runProgram({QStringLiteral("init"), folder});
    EXPECT_EQ(again.code, 2);
    EXPECT_TRUE(again.err.contains(QStringLiteral("уже є база даних"))) << again.err.toStdString();
    EXPECT_EQ(runProgram({QStringLiteral("demo"), folder}).code, 2);
    EXPECT_FALSE(dm.quViewKontr(41, 1).empty());  // still the demo set
}

TEST(Cli, InitCreatesAnEmptyDatabase) {
    QTemporaryDir dir;
    const CliRun r = runHere({QStringLiteral("init"), dir.filePath(QStringLiteral("new"))}, dir.filePath(QStringLiteral("cfg.ini")));
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    TDM dm;
    dm.pointAt(dir.filePath(QStringLiteral("new")));
    dm.probe();
    EXPECT_TRUE(dm.quViewKontr(41, 1).empty());
}

TEST(Cli, AFolderThatCannotBeMadeIsAFailure) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("plain-file")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const CliRun r = runHere({QStringLiteral("init"), dir.filePath(QStringLiteral("plain-file/db"))}, dir.filePath(QStringLiteral("c.ini")));
    EXPECT_EQ(r.code, 1);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Не вдалося створити папку"))) << r.err.toStdString();
}

TEST(Cli, ConfigureWritesTheCodesOnceAndLeavesAnExistingFile) {
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("demo"));
    ASSERT_EQ(runHere({QStringLiteral("demo"), folder}, {}).code, 0);
    const QString config = dir.filePath(QStringLiteral("cfg/Local_Zelvan.ini"));
    const CliRun r = runHere({QStringLiteral("configure"), folder}, config);
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    const ConfigFile written = ConfigFile::load(config);
    EXPECT_EQ(written.value(QStringLiteral("DB_Dir")), folder);
    EXPECT_EQ(written.value(QStringLiteral("FTP_KOD_OBJ")), QStringLiteral("31245"));
    EXPECT_EQ(written.value(QStringLiteral("FTP_KOD_STAN")), QStringLiteral("1"));
    EXPECT_EQ(written.value(QStringLiteral("FTP_KOD_DANPER")), QStringLiteral("41"));
    EXPECT_TRUE(QDir(written.value(QStringLiteral("WinRar_Dir"))).exists());

    ConfigFile changed = written;
    changed.setValue(QStringLiteral("DB_Dir"), QStringLiteral("/mine"));
    changed.save(config);
    EXPECT_EQ(runHere({QStringLiteral("configure"), folder}, config).code, 0);
    EXPECT_EQ(ConfigFile::load(config).value(QStringLiteral("DB_Dir")), QStringLiteral("/mine"));

    EXPECT_EQ(runHere({QStringLiteral("configure"), dir.filePath(QStringLiteral("nothing"))},
                      dir.filePath(QStringLiteral("other.ini")))
                  .code,
              2);
}

TEST(CliEval, OneTextPrintsValuePositionAndMessage) {
    const CliRun ok = runProgram({QStringLiteral("eval"), QStringLiteral("2+3*4")});
    EXPECT_EQ(ok.code, 0);
    EXPECT_EQ(ok.out, QStringLiteral("14\t0\t\n"));
    const CliRun failed = runProgram({QStringLiteral("eval"), QStringLiteral("7/0")});
    EXPECT_EQ(failed.code, 0);
    EXPECT_EQ(failed.out, QStringLiteral("0\t4\tError:  division by zero attempted.\n"));
    EXPECT_EQ(runProgram({QStringLiteral("eval"), QStringLiteral("-0")}).out, QStringLiteral("-0\t0\t\n"));
    EXPECT_EQ(runProgram({QStringLiteral("eval"), QStringLiteral("0.1")}).out, QStringLiteral("0.10000000000000001\t0\t\n"));
}

TEST(CliEval, StandardInputLineByLine) {
    QProcess p;
    p.start(QStringLiteral(ZELVAN_CLI_PATH), {QStringLiteral("eval"), QStringLiteral("-")});
    ASSERT_TRUE(p.waitForStarted());
    // Tabs and blanks belong to the text; only LF ends it, so a CR stays in the text;
    // an empty line is a text too; the last text needs no line feed.
    p.write("1 + 2\n4+\t1\n\n(1)\r\n abs(-2.5) ");
    p.closeWriteChannel();
    ASSERT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0);
    const QStringList lines = QString::fromUtf8(p.readAllStandardOutput()).split(u'\n');
    ASSERT_EQ(lines.size(), 6);
    EXPECT_EQ(lines[0], QStringLiteral("3\t0\t"));
    EXPECT_EQ(lines[1], QStringLiteral("4\t3\tError:  function, unsigned number, or \"(\" expected."));
    EXPECT_EQ(lines[2], QStringLiteral("0\t1\tError:  end of expression encountered where simple expression expected."));
    EXPECT_EQ(lines[3], QStringLiteral("1\t4\tError:  expression followed by garbage."));
    EXPECT_EQ(lines[4], QStringLiteral("2.5\t0\t"));
    EXPECT_EQ(lines[5], QString());
}

TEST(CliEval, LongInputsAcrossReadBuffers) {
    std::FILE* in = std::tmpfile();
    std::FILE* out = std::tmpfile();
    ASSERT_TRUE(in && out);
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        const std::string text = "(" + std::to_string(i) + ")*2+" + std::string(size_t(i % 7), ' ') + "1";
        std::fputs((text + "\n").c_str(), in);
        expected += std::to_string(i * 2 + 1) + "\t0\t\n";
    }
    std::rewind(in);
    evaluateLines(in, out);
    std::rewind(out);
    std::string got;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, out)) > 0) got.append(buffer, n);
    std::fclose(in);
    std::fclose(out);
    EXPECT_EQ(got, expected);
}

namespace {

// The demo database in a temporary folder, made once for the control commands.
class CliControl : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        dir_ = new QTemporaryDir;
        QString out, err;
        QTextStream o(&out), e(&err);
        ASSERT_EQ(runCli({QStringLiteral("demo"), dir_->filePath(QStringLiteral("db"))}, o, e, {}), 0);
    }
    static void TearDownTestSuite() {
        delete dir_;
        dir_ = nullptr;
    }
    static QString db() { return dir_->filePath(QStringLiteral("db")); }
    static QString file(const QString& name) { return dir_->filePath(name); }

    // The general fund's form 2d, whose cash total is typed 100 too high.
    static QStringList formWithDeviation(const QStringList& more = {}) {
        return QStringList{QStringLiteral("control"), QStringLiteral("--db"), db(), QStringLiteral("--form"),
                           QStringLiteral("101"), QStringLiteral("--fund"), QStringLiteral("1"),
                           QStringLiteral("--funds-kind"), QStringLiteral("2")} +
               more;
    }

    static QList<QJsonObject> jsonLines(const QString& out) {
        QList<QJsonObject> lines;
        for (const QString& line : out.split(u'\n', Qt::SkipEmptyParts)) {
            QJsonParseError error{};
            const QJsonDocument document = QJsonDocument::fromJson(line.toUtf8(), &error);
            EXPECT_EQ(error.error, QJsonParseError::NoError) << line.toStdString();
            lines << document.object();
        }
        return lines;
    }

private:
    static inline QTemporaryDir* dir_ = nullptr;
};

}  // namespace

TEST_F(CliControl, OneFormDeviationAsJsonAndAsTable) {
    const CliRun json = runProgram(formWithDeviation({QStringLiteral("--json")}));
    ASSERT_EQ(json.code, 0) << json.err.toStdString();
    const QList<QJsonObject> lines = jsonLines(json.out);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].keys(), (QStringList{QStringLiteral("0"), QStringLiteral("1"), QStringLiteral("2"),
                                            QStringLiteral("3"), QStringLiteral("4")}));
    EXPECT_EQ(lines[0].value(QStringLiteral("0")).toString(),
              QStringLiteral("рядок Видатки - усього, графа Касові видатки за звітний період"));
    EXPECT_EQ(lines[0].value(QStringLiteral("1")).toString(), QStringLiteral("1777620.54"));
    EXPECT_TRUE(lines[0].value(QStringLiteral("3")).toString().endsWith(QStringLiteral("+(1870)+(0)=")));
    EXPECT_EQ(lines[0].value(QStringLiteral("4")).toString(), QStringLiteral("1777520.54"));

    const CliRun comma = runProgram(formWithDeviation({QStringLiteral("--decimal-sep"), QStringLiteral(",")}));
    EXPECT_EQ(comma.code, 0);
    EXPECT_TRUE(comma.out.contains(QStringLiteral(" | 1777620,54 | "))) << comma.out.toStdString();
    EXPECT_TRUE(comma.out.trimmed().endsWith(QStringLiteral(" | 1777520,54"))) << comma.out.toStdString();

    // The same form with the default codes holds no values that disagree.
    const CliRun clean =
        runProgram({QStringLiteral("control"), QStringLiteral("--db"), db(), QStringLiteral("--form"), QStringLiteral("101")});
    EXPECT_EQ(clean.code, 0);
    EXPECT_EQ(clean.out, QStringLiteral("Обробка даних закінчена. Помилок не виявлено.\n"));
    const CliRun cleanJson = runProgram({QStringLiteral("control"), QStringLiteral("--db"), db(), QStringLiteral("--form"),
                                         QStringLiteral("101"), QStringLiteral("--json")});
    EXPECT_EQ(cleanJson.code, 0);
    EXPECT_EQ(cleanJson.out, QString());
}

TEST_F(CliControl, CrossFormDeviationOfTypeOneOnly) {
    const CliRun one = runProgram({QStringLiteral("cross-control"), QStringLiteral("--db"), db(), QStringLiteral("--type"),
                                   QStringLiteral("1"), QStringLiteral("--json")});
    ASSERT_EQ(one.code, 0) << one.err.toStdString();
    const QList<QJsonObject> lines = jsonLines(one.out);
    ASSERT_EQ(lines.size(), 1);
    EXPECT_EQ(lines[0].size(), 7);
    EXPECT_EQ(lines[0].value(QStringLiteral("0")).toString(), QStringLiteral("90"));
    EXPECT_EQ(lines[0].value(QStringLiteral("3")).toString(), QStringLiteral("1777620.54"));
    EXPECT_EQ(lines[0].value(QStringLiteral("4")).toString(), QStringLiteral("1777520.54"));
    EXPECT_EQ(lines[0].value(QStringLiteral("5")).toString(), QStringLiteral("(1777620.54)="));

    const CliRun two = runProgram({QStringLiteral("cross-control"), QStringLiteral("--db"), db(), QStringLiteral("--type"),
                                   QStringLiteral("2")});
    EXPECT_EQ(two.code, 0);
    EXPECT_EQ(two.out, QStringLiteral("Немає відхилень!\n"));
}

TEST_F(CliControl, PdfIsWrittenOnlyForDeviations) {
    const QString pdf = file(QStringLiteral("protocol.pdf"));
    const CliRun r = runProgram(formWithDeviation({QStringLiteral("--pdf"), pdf}));
    EXPECT_EQ(r.code, 0) << r.err.toStdString();
    QFile written(pdf);
    ASSERT_TRUE(written.open(QIODevice::ReadOnly));
    EXPECT_TRUE(written.read(5) == "%PDF-");
    EXPECT_GT(written.size(), 1000);

    const QString crossPdf = file(QStringLiteral("cross.pdf"));
    EXPECT_EQ(runProgram({QStringLiteral("cross-control"), QStringLiteral("--db"), db(), QStringLiteral("--type"),
                          QStringLiteral("1"), QStringLiteral("--pdf"), crossPdf})
                  .code,
              0);
    EXPECT_TRUE(QFileInfo(crossPdf).size() > 1000);

    const QString none = file(QStringLiteral("none.pdf"));
    const CliRun clean = runProgram(
        {QStringLiteral("control"), QStringLiteral("--db"), db(), QStringLiteral("--form"), QStringLiteral("101"), QStringLiteral("--pdf"), none});
    EXPECT_EQ(clean.code, 0);
    EXPECT_FALSE(QFileInfo::exists(none));
    EXPECT_TRUE(clean.err.contains(QStringLiteral("Відхилень немає"))) << clean.err.toStdString();

    const CliRun unwritable = runProgram(formWithDeviation({QStringLiteral("--pdf"), file(QStringLiteral("no/such/x.pdf"))}));
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_TRUE(unwritable.err.contains(QStringLiteral("Не вдалося записати файл"))) << unwritable.err.toStdString();
}

TEST_F(CliControl, BadArgumentsAndMissingDatabases) {
    struct Case {
        QStringList args;
        int code;
        QString message;
    };
    const QString missing = file(QStringLiteral("absent"));
    const Case cases[] = {
        {{QStringLiteral("control"), QStringLiteral("--db"), db()}, 2, QStringLiteral("Потрібні параметри --db і --form.")},
        {{QStringLiteral("control"), QStringLiteral("--db"), db(), QStringLiteral("--form"), QStringLiteral("x")}, 2,
         QStringLiteral("має бути цілим числом")},
        {{QStringLiteral("control"), QStringLiteral("--db"), db(), QStringLiteral("--form"), QStringLiteral("101"),
          QStringLiteral("--decimal-sep"), QStringLiteral(",,")},
         2, QStringLiteral("--decimal-sep")},
        {{QStringLiteral("control"), QStringLiteral("--db"), db(), QStringLiteral("--form"), QStringLiteral("101"),
          QStringLiteral("--colour")},
         2, QStringLiteral("Невідомий або неповний параметр: --colour")},
        {{QStringLiteral("cross-control"), QStringLiteral("--db"), db()}, 2, QStringLiteral("Потрібні параметри --db і --type.")},
        {{QStringLiteral("control"), QStringLiteral("--db"), missing, QStringLiteral("--form"), QStringLiteral("101")}, 1,
         missing},
        {{QStringLiteral("cross-control"), QStringLiteral("--db"), missing, QStringLiteral("--type"), QStringLiteral("1")}, 1,
         missing},
    };
    for (const Case& c : cases) {
        const CliRun r = runProgram(c.args);
        EXPECT_EQ(r.code, c.code) << c.args.join(u' ').toStdString();
        EXPECT_TRUE(r.err.contains(c.message)) << r.err.toStdString();
        EXPECT_EQ(r.out, QString()) << c.args.join(u' ').toStdString();
    }
}

TEST_F(CliControl, FillTemplateWritesTheFilledDocument) {
    const QString out = file(QStringLiteral("out/Звіт 2д.docx"));
    QDir().mkpath(file(QStringLiteral("out")));
    const CliRun r = runProgram(formWithDeviation({QStringLiteral("--out"), out}).replaceInStrings(QStringLiteral("control"),
                                                                                                   QStringLiteral("fill-template")));
    ASSERT_EQ(r.code, 0) << r.err.toStdString();
    EXPECT_EQ(r.out, QStringLiteral("Заповнений шаблон записано: %1\n").arg(out));
    const WordDocument filled = WordDocument::load(out);
    EXPECT_EQ(filled.cellText(1, 4, 5), QStringLiteral("1032456.78"));
    EXPECT_TRUE(filled.plainText().contains(QStringLiteral("Вид фонду: Загальний фонд")));
    EXPECT_TRUE(filled.plainText().contains(QStringLiteral("станом на 01.07.2026")));

    const CliRun dated = runProgram({QStringLiteral("fill-template"), QStringLiteral("--db"), db(), QStringLiteral("--form"),
                                     QStringLiteral("202"), QStringLiteral("--date"), QStringLiteral("01.10.2026"),
                                     QStringLiteral("--out"), file(QStringLiteral("f2.docx"))});
    ASSERT_EQ(dated.code, 0) << dated.err.toStdString();
    EXPECT_TRUE(WordDocument::load(file(QStringLiteral("f2.docx"))).plainText().contains(QStringLiteral("IV квартал 2026 року")));

    const CliRun badDate = runProgram({QStringLiteral("fill-template"), QStringLiteral("--db"), db(), QStringLiteral("--form"),
                                       QStringLiteral("202"), QStringLiteral("--date"), QStringLiteral("вчора"),
                                       QStringLiteral("--out"), file(QStringLiteral("f3.docx"))});
    EXPECT_EQ(badDate.code, 1);
    EXPECT_TRUE(badDate.err.contains(QStringLiteral("Звітну дату \"вчора\""))) << badDate.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(file(QStringLiteral("f3.docx"))));

    const CliRun noOut = runProgram({QStringLiteral("fill-template"), QStringLiteral("--db"), db(), QStringLiteral("--form"),
                                     QStringLiteral("202")});
    EXPECT_EQ(noOut.code, 2);
    EXPECT_TRUE(noOut.err.contains(QStringLiteral("Потрібні параметри --db, --form і --out.")));
    const CliRun noForm = runProgram({QStringLiteral("fill-template"), QStringLiteral("--db"), db(), QStringLiteral("--form"),
                                      QStringLiteral("4040"), QStringLiteral("--out"), file(QStringLiteral("f4.docx"))});
    EXPECT_EQ(noForm.code, 1);
    EXPECT_EQ(noForm.err, QStringLiteral("Форми з кодом 4040 немає в базі даних.\n"));
}

TEST(CliExchange, ExportReturnAndUpdateWithoutQuestions) {
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("db"));
    ASSERT_EQ(runProgram({QStringLiteral("demo"), db}).code, 0);
    const QString config = dir.filePath(QStringLiteral("cfg.ini"));
    {
        ConfigFile c;
        c.setValue(QStringLiteral("FTP_Directory"), dir.filePath(QStringLiteral("ftp")));
        c.save(config);
    }
    QDir().mkpath(dir.filePath(QStringLiteral("ftp")));
    QFile ini(dir.filePath(QStringLiteral("ftp/Local_Zelvan.ini")));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("DB_Dir=x\r\n");
    ini.close();
    const QString usb = dir.filePath(QStringLiteral("usb"));
    const auto run = [&](const QString& command, bool yes = true) {
        QStringList args{command, QStringLiteral("--db"), db, QStringLiteral("--medium"), usb, QStringLiteral("--config"), config};
        if (yes) args << QStringLiteral("--yes");
        return runProgram(args);
    };

    const CliRun noYes = run(QStringLiteral("export"), false);
    EXPECT_EQ(noYes.code, 2);
    EXPECT_FALSE(QDir(usb).exists());

    const CliRun exported = run(QStringLiteral("export"));
    EXPECT_EQ(exported.code, 0) << exported.err.toStdString();
    EXPECT_EQ(exported.out, QStringLiteral("Формування вихідних даних закінчилося.\n"));
    EXPECT_TRUE(QFileInfo::exists(usb + QStringLiteral("/LZelvan_Data/In_Zelvan_Files/Znachenie.DB")));

    const CliRun returned = run(QStringLiteral("return"));
    EXPECT_EQ(returned.code, 0) << returned.err.toStdString();
    EXPECT_TRUE(returned.out.startsWith(QStringLiteral("Резервна копія бази даних: ") + db + QStringLiteral("/backup/")))
        << returned.out.toStdString();
    EXPECT_TRUE(returned.out.endsWith(QStringLiteral("Копіювання даних завершилося.\n")));

    const CliRun noArchive = run(QStringLiteral("update"));
    EXPECT_EQ(noArchive.code, 1);
    EXPECT_EQ(noArchive.err, QStringLiteral("На електронному носії немає потрібного файла!\n"));

    // An update archive made from the exported snapshot.
    QFile snapshot(usb + QStringLiteral("/LZelvan_Data/In_Zelvan_Files/AllDataFiles/zelvan.sqlite"));
    ASSERT_TRUE(snapshot.open(QIODevice::ReadOnly));
    QDir().mkpath(usb + QStringLiteral("/LZelvan_Data/Out_Zelvan_Files"));
    QFile archive(usb + QStringLiteral("/LZelvan_Data/Out_Zelvan_Files/update.zip"));
    ASSERT_TRUE(archive.open(QIODevice::WriteOnly));
    archive.write(writeZip({{QStringLiteral("zelvan.sqlite"), snapshot.readAll()}}));
    archive.close();
    const CliRun updated = run(QStringLiteral("update"));
    EXPECT_EQ(updated.code, 0) << updated.err.toStdString();
    EXPECT_EQ(ConfigFile::load(config).value(QStringLiteral("FTP_KOD_DANPER")), QStringLiteral("41"));
}
