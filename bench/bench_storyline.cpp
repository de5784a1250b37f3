// SPDX-License-Identifier: MIT
// The storyline layout of a real screenplay and of a large generated one.
#include "generatedmodel.h"
#include "screenplayanalysis.h"
#include "storylinelayout.h"

#include <QDir>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void layOut(benchmark::State &state, const CharacterList &list)
{
    long long crossings = 0;
    for (auto _ : state)
        crossings = StorylineLayout(list).crossings();
    state.counters["crossings"] = double(crossings);
    state.counters["greedy"] = double(StorylineLayout::greedy(list).crossings());
}

void BM_StorylineHisGirlFriday(benchmark::State &state)
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString path = QStringLiteral(PLOTLOOM_CORPUS "/his-girl-friday-1940.txt");
    if (!QFileInfo::exists(path)) {
        state.SkipWithError("the screenplay corpus is not available");
        return;
    }
    ScreenplayAnalysis a;
    a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.openScreenplay(path);
    a.buildModel();
    layOut(state, *a.characterList);
}
BENCHMARK(BM_StorylineHisGirlFriday)->Unit(benchmark::kMillisecond);

void BM_StorylineGenerated(benchmark::State &state)
{
    const GeneratedModel model(int(state.range(0)), int(state.range(1)), 1);
    layOut(state, model.list);
}
BENCHMARK(BM_StorylineGenerated)->Args({500, 100})->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // Reading a screenplay needs a GUI application, not a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
