// Uploading a 50 MB file to a local FTP server through the program's client, against the
// curl program sending the same file to the same server, in the same run.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "platform/ftp_client.h"

using namespace zelvan;

namespace {

struct Server {
    QTemporaryDir home;
    QTemporaryDir local;
    QProcess process;
    int port = 0;
    QString file;
    Server() {
        process.start(QStringLiteral("/usr/bin/python3"),
                      {QStringLiteral(ZELVAN_TEST_SUPPORT_DIR "/ftp_server.py"), home.path()});
        process.waitForReadyRead(20000);
        port = process.readLine().trimmed().toInt();
        process.setReadChannel(QProcess::StandardError);
        file = local.filePath(QStringLiteral("values.zip"));
        QFile out(file);
        if (out.open(QIODevice::WriteOnly)) {
            QByteArray block(1 << 20, '\0');
            for (int i = 0; i < block.size(); ++i) block[i] = char((i * 131) >> 3);
            for (int i = 0; i < 50; ++i) out.write(block);
        }
    }
    ~Server() {
        process.kill();
        process.waitForFinished();
    }
};

Server& server() {
    static Server s;
    return s;
}

void BM_UploadFile(benchmark::State& state) {
    Server& s = server();
    FtpClient client({QStringLiteral("127.0.0.1:%1").arg(s.port), QStringLiteral("zelvan"), QStringLiteral("secret"), false,
                      false, {}});
    client.connect();
    qint64 reported = 0;
    for (auto _ : state) client.uploadFile(s.file, QStringLiteral("values.zip"), [&](qint64 sent, qint64) { reported = sent; });
    state.SetBytesProcessed(state.iterations() * reported);
}

void BM_CurlProgram(benchmark::State& state) {
    Server& s = server();
    for (auto _ : state) {
        QProcess curl;
        curl.start(QStringLiteral("curl"), {QStringLiteral("-s"), QStringLiteral("-u"), QStringLiteral("zelvan:secret"),
                                            QStringLiteral("-T"), s.file,
                                            QStringLiteral("ftp://127.0.0.1:%1/curl.zip").arg(s.port)});
        if (!curl.waitForFinished(120000) || curl.exitCode() != 0) state.SkipWithError("curl failed");
    }
    state.SetBytesProcessed(state.iterations() * (qint64(50) << 20));
}

}  // namespace

BENCHMARK(BM_UploadFile)->Name("upload/zelvan")->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);
BENCHMARK(BM_CurlProgram)->Name("upload/curl")->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3);

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    server();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
