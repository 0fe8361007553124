// Filling a Word template of a 300-row form (ten value columns), against the work's own
// floor measured in the same run: unpacking, parsing and re-packing the same .docx
// unchanged.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "docs/template_fill.h"
#include "docs/word_document.h"
#include "entry/form_grid.h"
#include "model/database_folder.h"
#include "model/tdm.h"
#include "platform/zip_archive.h"

using namespace zelvan;

namespace {

constexpr int kRows = 300;
constexpr int kValueColumns = 10;
constexpr int kCodeColumn = 2;

QString cell(const QString& text, bool hiddenPlaceholder = false, const QString& code = {}) {
    QString runs = QStringLiteral("<w:r><w:t xml:space=\"preserve\">%1</w:t></w:r>").arg(text.toHtmlEscaped());
    if (hiddenPlaceholder)
        runs += QStringLiteral("<w:r><w:rPr><w:vanish/></w:rPr><w:t>@%1@</w:t></w:r>").arg(code);
    return QStringLiteral("<w:tc><w:tcPr><w:tcW w:w=\"1000\" w:type=\"dxa\"/></w:tcPr><w:p><w:pPr><w:jc w:val=\"right\"/>"
                          "</w:pPr>%1</w:p></w:tc>")
        .arg(runs);
}

QByteArray makeTemplate() {
    const QString w = QStringLiteral("http://schemas.openxmlformats.org/wordprocessingml/2006/main");
    QString body;
    for (const char* line : {"@name@ · ЄДРПОУ @edrpou@", "@dial@ (@kved@), @n_kopfg@ (@kopfg@)", "@ter@ (@koatuu@)",
                             "Період: @kvartal@, станом на @day@.@month@.@year2@", "Керівник @boss@, бухгалтер @buh@"})
        body += QStringLiteral("<w:p><w:r><w:t xml:space=\"preserve\">%1</w:t></w:r></w:p>").arg(QString::fromUtf8(line));
    body += QStringLiteral("<w:tbl><w:tblPr/>");
    for (int r = 1; r <= kRows; ++r) {
        const QString code = QString::number(1000 + r);
        body += QStringLiteral("<w:tr>") + cell(QStringLiteral("Показник %1").arg(r)) + cell(code + u' ', true, code);
        for (int c = 0; c < kValueColumns; ++c) body += cell(r % 10 == 0 ? QStringLiteral("P#") : QString());
        body += QStringLiteral("</w:tr>");
    }
    body += QStringLiteral("</w:tbl>");
    const QByteArray document =
        (QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<w:document xmlns:w=\"%1\"><w:body>")
             .arg(w) +
         body + QStringLiteral("</w:body></w:document>"))
            .toUtf8();
    return writeZip({{QStringLiteral("[Content_Types].xml"), QByteArrayLiteral("<Types/>")},
                     {QStringLiteral("word/document.xml"), document}});
}

FormGrid makeGrid() {
    FormGrid grid;
    grid.reset(kCodeColumn + 1 + kValueColumns, kRows + 1);
    for (int r = 1; r <= kRows; ++r) {
        grid.setText(1, r, QStringLiteral("Показник %1").arg(r));
        grid.setText(kCodeColumn, r, QString::number(1000 + r));
        for (int c = kCodeColumn + 1; c < grid.colCount(); ++c)
            grid.setText(c, r, (r + c) % 7 == 0 ? QString() : QStringLiteral("%1,%2").arg(r * 1000 + c).arg(c % 100));
    }
    return grid;
}

struct Fixture {
    QTemporaryDir dir;
    TDM dm;
    UserLocale locale{u',', QStringLiteral("dd.MM.yyyy")};
    QByteArray docx = makeTemplate();
    FormGrid grid = makeGrid();
    Fixture() {
        createDatabaseFolder(dir.path(), true);
        dm.pointAt(dir.path());
        dm.probe();
    }
};

Fixture& fixture() {
    static Fixture f;
    return f;
}

void BM_Fill(benchmark::State& state) {
    Fixture& f = fixture();
    TemplateFiller filler(f.dm, f.locale);
    TemplateContext context;
    context.kodForm = 101;
    context.periodText = QStringLiteral("01.07.2026");
    for (QString& code : context.codes) code = QStringLiteral("0");
    size_t bytes = 0;
    for (auto _ : state) {
        WordDocument document = WordDocument::fromBytes(f.docx, QStringLiteral("t.docx"));
        filler.replaceCardAndDate(document, context, QDate(2026, 7, 1));
        filler.FillTemplateTables(document, f.grid, kCodeColumn, 0, 101);
        bytes = size_t(document.toBytes().size());
    }
    state.counters["bytes"] = double(bytes);
}

void BM_Unchanged(benchmark::State& state) {
    Fixture& f = fixture();
    for (auto _ : state) {
        const WordDocument document = WordDocument::fromBytes(f.docx, QStringLiteral("t.docx"));
        benchmark::DoNotOptimize(document.toBytes());
    }
}

}  // namespace

BENCHMARK(BM_Fill)->Name("template/fill")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Unchanged)->Name("template/unchanged")->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    fixture();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
