// SPDX-License-Identifier: MIT
// Reading, discovery, markup and both statistics exports of one real screenplay; the scene
// breakdown and the character network of a parsed one.
#include "finaldraftwriter.h"
#include "fountain.h"
#include "screenplayanalysis.h"

#include <QCoreApplication>
#include <QDir>
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

void analyse(benchmark::State &state, const char *name, bool asFinalDraft = false)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString path = prepare(name, asFinalDraft);
    if (!QFileInfo::exists(path)) {
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
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
