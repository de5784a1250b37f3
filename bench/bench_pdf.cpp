// SPDX-License-Identifier: MIT
// Reading a screenplay PDF: the text layer alone, and reading with discovery, markup and both
// statistics exports. The PDF is His Girl Friday printed as a screenplay program prints it.
#include "pdftext.h"
#include "screenplayanalysis.h"
#include "typewriterpdf.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QTemporaryDir *folder = nullptr;
int pageCount = 0;

// The printed screenplay, made once; empty when the corpus is not there.
QString printedScreenplay()
{
    if (!folder) {
        folder = new QTemporaryDir;
        pageCount = printAsPdf(QStringLiteral(PLOTLOOM_CORPUS "/his-girl-friday-1940.txt"),
                               folder->filePath(QStringLiteral("his-girl-friday.pdf")));
    }
    return pageCount > 0 ? folder->filePath(QStringLiteral("his-girl-friday.pdf")) : QString();
}

void BM_ReadPdfText(benchmark::State &state)
{
    const QString path = printedScreenplay();
    if (path.isEmpty()) {
        state.SkipWithError("the screenplay corpus is not available");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(readPdfText(path).pages.size());
    state.counters["pages"] = pageCount;
}
BENCHMARK(BM_ReadPdfText)->Unit(benchmark::kMillisecond);

void BM_ReadDiscoverMarkupExportPdf(benchmark::State &state)
{
    const QString path = printedScreenplay();
    if (path.isEmpty()) {
        state.SkipWithError("the screenplay corpus is not available");
        return;
    }
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    for (auto _ : state) {
        ScreenplayAnalysis a;
        a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
        a.openScreenplay(path);
        a.buildModel();
        a.writeSceneStats(QStringLiteral("scene.csv"));
        a.writeCharacterStats(QStringLiteral("character.csv"));
        benchmark::DoNotOptimize(a.markup.size());
    }
    state.counters["pages"] = pageCount;
}
BENCHMARK(BM_ReadDiscoverMarkupExportPdf)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Drawing the PDF needs a GUI application, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete folder;
    return 0;
}
