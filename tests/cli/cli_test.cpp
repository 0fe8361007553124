#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "app/config_file.h"
#include "cli/cli.h"
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
