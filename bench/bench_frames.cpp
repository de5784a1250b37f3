// SPDX-License-Identifier: MIT
// Times one whole frame of each drawing mode (paintGL, then glFinish so the GL work is counted)
// for the graph of a real screenplay at 1024 x 768. The CPU column is the processor time of the
// whole process, the software renderer's threads included. Needs an X display with GL: run it
// under xvfb-run with Mesa's software renderer.
#include "graphwidget.h"

#include "glutsupport.h"
#include "screenplayanalysis.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <memory>

namespace {

constexpr int viewWidth = 1024;
constexpr int viewHeight = 768;
constexpr float sampleStep = 0.01f;
// Frames drawn before timing, so the force-directed layout is past its first violent steps.
constexpr int warmUpFrames = 20;

// The screenplay's model and a view showing it, built once for all benchmarks.
struct Scene {
    ScreenplayAnalysis analysis;
    std::unique_ptr<GraphWidget> widget;
    QCheckBox moveToPlane;
    QCheckBox drawNames;
    QCheckBox drawSpheres;
    bool ready = false;
};

// Lives from the first benchmark until main ends it, while the application still exists.
std::unique_ptr<Scene> shared;

Scene &scene()
{
    if (shared)
        return *shared;
    shared = std::make_unique<Scene>();

    // The analysis reads its settings files from the working folder.
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    shared->analysis.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    shared->analysis.openScreenplay(QStringLiteral(PLOTLOOM_CORPUS "/his-girl-friday-1940.txt"));
    shared->analysis.buildModel();
    QDir::setCurrent(previous);

    ensureGlutInitialized();
    shared->widget = std::make_unique<GraphWidget>();
    GraphWidget &widget = *shared->widget;
    widget.redrawTimer.stop();
    widget.resize(viewWidth, viewHeight);
    widget.show();
    if (!QTest::qWaitForWindowExposed(&widget) || !shared->analysis.characterList ||
        shared->analysis.characterList->timeIndices.isEmpty())
        return *shared;

    std::srand(1);
    widget.init(shared->analysis.characterList, sampleStep);
    shared->moveToPlane.setChecked(true);
    widget.moveToPlaneBox = &shared->moveToPlane;
    widget.drawNamesBox = &shared->drawNames;
    widget.spheresBox = &shared->drawSpheres;
    // The software renderer compiles code for every new combination of state on first use;
    // one frame of each mode keeps that out of the timings.
    for (const int mode : {GraphWidget::ForceDirected, GraphWidget::ColorWeaving,
                           GraphWidget::ConvergenceGraph, GraphWidget::IncreasingGraph}) {
        widget.drawMode = mode;
        widget.paintGL();
    }
    glFinish();
    shared->ready = true;
    return *shared;
}

void BM_Frame(benchmark::State &state)
{
    Scene &current = scene();
    if (!current.ready) {
        state.SkipWithError("no GL view of the screenplay");
        return;
    }
    GraphWidget &widget = *current.widget;
    widget.drawMode = int(state.range(0));
    current.drawNames.setChecked(state.range(1) != 0);
    current.drawSpheres.setChecked(state.range(2) != 0);
    widget.resetLayout();
    for (int i = 0; i < warmUpFrames; ++i)
        widget.paintGL();
    glFinish();

    for (auto _ : state) {
        widget.paintGL();
        glFinish();
    }
    state.counters["nodes"] = double(widget.nodes.size());
}
// Arguments: the mode, whether the names are drawn, whether the spheres are. Every mode is timed
// with both on (only the 3-D modes draw names, only Force Directed spheres), Force Directed also
// with each alone and neither, Convergence Graph with neither.
BENCHMARK(BM_Frame)
    ->ArgNames({"mode", "names", "spheres"})
    ->Args({GraphWidget::ForceDirected, 0, 0})
    ->Args({GraphWidget::ForceDirected, 0, 1})
    ->Args({GraphWidget::ForceDirected, 1, 0})
    ->Args({GraphWidget::ForceDirected, 1, 1})
    ->Args({GraphWidget::ColorWeaving, 1, 1})
    ->Args({GraphWidget::ConvergenceGraph, 0, 0})
    ->Args({GraphWidget::ConvergenceGraph, 1, 1})
    ->Args({GraphWidget::IncreasingGraph, 1, 1})
    ->MeasureProcessCPUTime()
    ->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    shared.reset();
    return 0;
}
