// SPDX-License-Identifier: MIT
// Reading, discovery, markup and both statistics exports of one real screenplay, also as a Final
// Draft document and as a PDF; a PDF's text layer alone; the scene breakdown and the character
// network of a parsed screenplay.
#include "finaldraftwriter.h"
#include "fountain.h"
#include "pdftext.h"
#include "screenplayanalysis.h"
#include "typewriterpdf.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString screenplay(const char *name)
{
    return QStringLiteral(PLOTLOOM_CORPUS "/") + QLatin1String(name);
}

// A corpus screenplay, or a Final Draft document made in the working folder from a Fountain one.
QString prepare(const char *name, bool asFinalDraft)
{
    const QString path = screenplay(name);
    QFile source(path);
    if (!asFinalDraft || !source.open(QIODevice::ReadOnly))
        return path;
    QFile fdx(QStringLiteral("screenplay.fdx"));
    if (!fdx.open(QIODevice::WriteOnly))
        return QString();
    fdx.write(finalDraftOf(fountainLayout(QString::fromUtf8(source.readAll()).split('\n'))));
    return fdx.fileName();
}

// The analysis of the screenplay at path, as the exports run it, in the working folder.
void analysePath(benchmark::State &state, const QString &path)
{
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        state.SkipWithError("the screenplay corpus is not available");
        return;
    }
    for (auto _ : state) {
        ScreenplayAnalysis a;
        a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
        a.openScreenplay(path);
        a.buildModel();
        a.writeSceneStats(QStringLiteral("scene.csv"));
        a.writeCharacterStats(QStringLiteral("character.csv"));
        benchmark::DoNotOptimize(a.markup.size());
    }
}

void analyse(benchmark::State &state, const char *name, bool asFinalDraft = false)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    analysePath(state, prepare(name, asFinalDraft));
}

QTemporaryDir *pdfFolder = nullptr;
int pdfPages = 0;

// His Girl Friday printed as a screenplay program prints it, made once; empty when the corpus is
// not there.
QString printedScreenplay()
{
    if (!pdfFolder) {
        pdfFolder = new QTemporaryDir;
        pdfPages = printAsPdf(screenplay("his-girl-friday-1940.txt"),
                              pdfFolder->filePath(QStringLiteral("his-girl-friday.pdf")));
    }
    return pdfPages > 0 ? pdfFolder->filePath(QStringLiteral("his-girl-friday.pdf")) : QString();
}

void BM_ReadDiscoverMarkupExport(benchmark::State &state)
{
    analyse(state, "his-girl-friday-1940.txt");
}
BENCHMARK(BM_ReadDiscoverMarkupExport)->Unit(benchmark::kMillisecond);

void BM_ReadDiscoverMarkupExportFlat(benchmark::State &state)
{
    analyse(state, "meet-john-doe-1941.txt");
}
BENCHMARK(BM_ReadDiscoverMarkupExportFlat)->Unit(benchmark::kMillisecond);

// barrier15 written as a Final Draft document (3,849 Fountain lines, 27 speakers).
void BM_ReadDiscoverMarkupExportFinalDraft(benchmark::State &state)
{
    analyse(state, "barrier15-the-phoenix-child-2021.fountain", true);
}
BENCHMARK(BM_ReadDiscoverMarkupExportFinalDraft)->Unit(benchmark::kMillisecond);

void BM_ReadDiscoverMarkupExportFountain(benchmark::State &state)
{
    analyse(state, "barrier15-the-phoenix-child-2021.fountain");
}
BENCHMARK(BM_ReadDiscoverMarkupExportFountain)->Unit(benchmark::kMillisecond);

void BM_ReadPdfText(benchmark::State &state)
{
    const QString path = printedScreenplay();
    if (path.isEmpty()) {
        state.SkipWithError("the screenplay corpus is not available");
        return;
    }
    for (auto _ : state)
        benchmark::DoNotOptimize(readPdfText(path).pages.size());
    state.counters["pages"] = pdfPages;
}
BENCHMARK(BM_ReadPdfText)->Unit(benchmark::kMillisecond);

void BM_ReadDiscoverMarkupExportPdf(benchmark::State &state)
{
    const QString path = printedScreenplay();
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    analysePath(state, path);
    state.counters["pages"] = pdfPages;
}
BENCHMARK(BM_ReadDiscoverMarkupExportPdf)->Unit(benchmark::kMillisecond);

// The two exports built on a parsed model: the breakdown and the network with its centrality.
void breakdownAndNetwork(benchmark::State &state, const char *name)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString path = screenplay(name);
    if (!QFileInfo::exists(path)) {
        state.SkipWithError("the screenplay corpus is not available");
        return;
    }
    ScreenplayAnalysis a;
    a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.openScreenplay(path);
    a.buildModel();
    for (auto _ : state) {
        const CharacterNetwork network = a.characterNetwork();
        benchmark::DoNotOptimize(a.sceneBreakdown().size() + network.graphml().size() +
                                 network.edgeList().size());
    }
}

void BM_BreakdownAndNetwork(benchmark::State &state)
{
    breakdownAndNetwork(state, "his-girl-friday-1940.txt");
}
BENCHMARK(BM_BreakdownAndNetwork)->Unit(benchmark::kMillisecond);

void BM_BreakdownAndNetworkFlat(benchmark::State &state)
{
    breakdownAndNetwork(state, "meet-john-doe-1941.txt");
}
BENCHMARK(BM_BreakdownAndNetworkFlat)->Unit(benchmark::kMillisecond);

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
    delete pdfFolder;
    return 0;
}
