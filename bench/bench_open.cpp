// SPDX-License-Identifier: MIT
// Times the way from the file dialog's answer to the styled text and the first frame of the
// thread view, for a 10,000-line screenplay in the main window at 1400 x 900, as text and as a
// PDF, and for a PDF named by PLOTLOOM_BENCH_PDF. Needs an X display with GL: run it under xvfb-run with Mesa's software renderer.
#include "glutsupport.h"
#include "graphwidget.h"
#include "plotloom.h"
#include "typewriterpdf.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebView>

#include <benchmark/benchmark.h>

#include <memory>

namespace {

std::unique_ptr<Plotloom> window;
QTemporaryDir *folder = nullptr;

Plotloom &mainWindow()
{
    if (window)
        return *window;
    folder = new QTemporaryDir;
    QDir::setCurrent(folder->path());
    QFile breaks(QStringLiteral("breakStrings.txt"));
    if (breaks.open(QIODevice::WriteOnly))
        breaks.write(ScreenplayAnalysis::sampleBreakStrings().join('\n').toLatin1() + '\n');
    breaks.close();
    // Start-up shows the About dialog modally; close it as soon as it is up.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    closer.start(20);
    window = std::make_unique<Plotloom>();
    window->resize(1400, 900);
    window->show();
    QApplication::processEvents();
    return *window;
}

void openToFirstFrame(benchmark::State &state, const QString &path)
{
    Plotloom &w = mainWindow();
    if (!QFileInfo::exists(path)) {
        state.SkipWithError("the screenplay corpus is not available");
        return;
    }
    for (auto _ : state) {
        w.openAndParse(path);
        w.ui.webView->repaint(); // lays out and paints the styled text
        w.ui.ThreadView->paintGL();
        w.ui.ThreadView->makeCurrent();
        glFinish();
    }
    state.counters["lines"] = w.analysis.lines.size();
}

void BM_OpenToFirstFrame(benchmark::State &state)
{
    openToFirstFrame(state, QStringLiteral(PLOTLOOM_CORPUS "/his-girl-friday-1940.txt"));
}
BENCHMARK(BM_OpenToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

// The same screenplay printed as a PDF, as a screenplay program prints it.
void BM_OpenPdfToFirstFrame(benchmark::State &state)
{
    mainWindow();
    const QString pdf = folder->filePath(QStringLiteral("his-girl-friday.pdf"));
    if (!QFileInfo::exists(pdf))
        printAsPdf(QStringLiteral(PLOTLOOM_CORPUS "/his-girl-friday-1940.txt"), pdf);
    openToFirstFrame(state, pdf);
}
BENCHMARK(BM_OpenPdfToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

// A PDF that another program printed, named by PLOTLOOM_BENCH_PDF (bench/pdfspeed prints one).
void BM_OpenPrintedPdfToFirstFrame(benchmark::State &state)
{
    mainWindow();
    const QString pdf = qEnvironmentVariable("PLOTLOOM_BENCH_PDF");
    if (pdf.isEmpty()) {
        state.SkipWithError("PLOTLOOM_BENCH_PDF names no PDF");
        return;
    }
    openToFirstFrame(state, QFileInfo(pdf).absoluteFilePath());
}
BENCHMARK(BM_OpenPrintedPdfToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ensureGlutInitialized();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    window.reset();
    delete folder;
    return 0;
}
