// SPDX-License-Identifier: MIT
// Times one simulation step, as every frame of the force-directed views runs it.
#include "screenplayanalysis.h"
#include "threadgraph.h"

#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>
#include <random>
#include <vector>

namespace {

constexpr float frameStep = 0.016f;
constexpr float sampleStep = 1.0f / 100;

void reportSize(benchmark::State &state, const ThreadGraph &graph)
{
    state.counters["nodes"] = double(graph.nodes.size());
    state.counters["springs"] = double(graph.springs.size());
}

void BM_SimulateScreenplay(benchmark::State &state)
{
    // The analysis reads its settings files from the working folder.
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    ScreenplayAnalysis analysis;
    analysis.breakStrings = QStringList{"int.", "ext.", "INTERIOR", "EXTERIOR", "INT", "EXT"};
    analysis.openScreenplay(QStringLiteral(PLOTLOOM_CORPUS "/his-girl-friday-1940.txt"));
    analysis.buildModel();
    QDir::setCurrent(previous);
    if (!analysis.characterList || analysis.characterList->timeIndices.isEmpty()) {
        state.SkipWithError("the screenplay could not be read");
        return;
    }

    std::srand(1);
    ThreadGraph graph;
    graph.init(analysis.characterList, sampleStep);
    for (auto _ : state)
        graph.simulate(frameStep);
    reportSize(state, graph);
}
BENCHMARK(BM_SimulateScreenplay)->Unit(benchmark::kMillisecond);

void BM_SimulateSynthetic(benchmark::State &state)
{
    constexpr int characterCount = 60;
    constexpr int sceneCount = 40;
    constexpr unsigned patternSeed = 42;
    constexpr double presence = 0.3;

    std::vector<std::unique_ptr<Character>> owned;
    CharacterList list;
    for (int j = 0; j < characterCount; ++j) {
        owned.push_back(std::make_unique<Character>(QStringList{QString::number(j)}));
        list.characters.append(owned.back().get());
    }
    std::mt19937 pattern(patternSeed);
    std::bernoulli_distribution present(presence);
    for (int s = 0; s < sceneCount; ++s) {
        TimeIndex *scene = list.openScene(float(s) / sceneCount, QStringLiteral("INT"));
        for (int j = 0; j < characterCount; ++j)
            scene->counts[j] = present(pattern) ? 1 : 0;
    }
    list.timeIndices.last()->stop = 1.0f;

    std::srand(1);
    ThreadGraph graph;
    graph.init(&list, sampleStep);
    for (auto _ : state)
        graph.simulate(frameStep);
    reportSize(state, graph);
}
BENCHMARK(BM_SimulateSynthetic)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
