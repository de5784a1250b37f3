// SPDX-License-Identifier: MIT
// Measures the processor time the main window takes while nobody touches it: first empty, then
// with a screenplay open. Prints both as a share of one core. Needs an X display with GL: run it
// under xvfb-run with Mesa's software renderer.
//
//   bench_idle [--wait SECONDS] [--measure SECONDS] [--size WxH] [SCREENPLAY]
//
// The empty window is measured after a short pause, the screenplay after it has been open and
// untouched for --wait seconds (default 30); each measurement lasts --measure seconds (default
// 10). --size sets the window's size (default: its own). The time counts every thread of the
// process, the GL driver's included.
#include "glutsupport.h"
#include "graphwidget.h"
#include "plotloom.h"

#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QSize>
#include <QTemporaryDir>
#include <QTimer>

#include <cstdio>
#include <ctime>

namespace {

constexpr int emptyWaitSeconds = 5;
constexpr int defaultWaitSeconds = 30;
constexpr int defaultMeasureSeconds = 10;

double processSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

double wallSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// Runs the event loop, untouched, for this long.
void idle(int seconds)
{
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
}

// The share of one core the process uses while idling for this long, and the frames the thread
// view draws meanwhile.
struct Idle {
    double share = 0.0;
    unsigned long long frames = 0;
};

Idle measureIdle(const GraphWidget &view, int seconds)
{
    const unsigned long long frames = view.framesDrawn;
    const double cpu = processSeconds();
    const double wall = wallSeconds();
    idle(seconds);
    return {(processSeconds() - cpu) / (wallSeconds() - wall), view.framesDrawn - frames};
}

// "1600x1000" as a size; an invalid size for anything else.
QSize windowSize(const QString &text)
{
    const QStringList sides = text.split(QLatin1Char('x'));
    return sides.size() == 2 ? QSize(sides[0].toInt(), sides[1].toInt()) : QSize();
}

void report(const char *what, const Idle &idle)
{
    std::printf("%s: %.1f%% of one core, %llu frames drawn\n", what, 100.0 * idle.share,
                idle.frames);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ensureGlutInitialized();
    int waitSeconds = defaultWaitSeconds;
    int measureSeconds = defaultMeasureSeconds;
    QSize size;
    QString screenplay = QStringLiteral(PLOTLOOM_CORPUS "/his-girl-friday-1940.txt");
    const QStringList arguments = QApplication::arguments();
    for (int i = 1; i < arguments.size(); ++i) {
        if (arguments[i] == QLatin1String("--wait") && i + 1 < arguments.size())
            waitSeconds = arguments[++i].toInt();
        else if (arguments[i] == QLatin1String("--measure") && i + 1 < arguments.size())
            measureSeconds = arguments[++i].toInt();
        else if (arguments[i] == QLatin1String("--size") && i + 1 < arguments.size())
            size = windowSize(arguments[++i]);
        else
            screenplay = QFileInfo(arguments[i]).absoluteFilePath();
    }
    if (!QFileInfo::exists(screenplay)) {
        std::fprintf(stderr, "no screenplay at %s\n", qPrintable(screenplay));
        return 1;
    }

    // The window reads its settings files from the working folder.
    QTemporaryDir folder;
    QDir::setCurrent(folder.path());
    QFile breaks(QStringLiteral("breakStrings.txt"));
    if (breaks.open(QIODevice::WriteOnly))
        breaks.write(ScreenplayAnalysis::sampleBreakStrings().join(QLatin1Char('\n')).toUtf8() +
                     '\n');
    breaks.close();
    // Start-up shows the About dialog modally; close it as soon as it is up.
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [] {
        if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget()))
            dialog->accept();
    });
    closer.start(20);
    Plotloom window;
    closer.stop();
    if (size.isValid())
        window.resize(size);
    window.show();

    const GraphWidget &view = *window.ui.ThreadView;
    idle(emptyWaitSeconds);
    report("empty window", measureIdle(view, measureSeconds));

    window.openAndParse(screenplay);
    // Notes when the view draws its last frame before the measurement.
    const double opened = wallSeconds();
    double lastFrame = opened;
    const unsigned long long before = view.framesDrawn;
    unsigned long long frames = before;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        if (view.framesDrawn != frames) {
            frames = view.framesDrawn;
            lastFrame = wallSeconds();
        }
    });
    watch.start(50);
    idle(waitSeconds);
    watch.stop();
    std::printf("view %d x %d; its last frame %.1f s after opening, the %llu-th\n", view.width(),
                view.height(), lastFrame - opened, frames - before);
    const QByteArray what = QFileInfo(screenplay).fileName().toUtf8() + " open, untouched for " +
                            QByteArray::number(waitSeconds) + " s";
    report(what.constData(), measureIdle(view, measureSeconds));
    return 0;
}
