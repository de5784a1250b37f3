// SPDX-License-Identifier: MIT
#include "batchtool.h"

#include "corpussummary.h"
#include "imagerenderer.h"
#include "modules.h"
#include "screenplayanalysis.h"
#include "storylinefiles.h"
#include "storylinelayout.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <numeric>

namespace {

// A frame takes about 0.1 s for a long screenplay in software GL, as long as the window's redraw
// interval, so the limit is some 17 minutes of the window's animation per screenplay; the layout
// barely moves after a few thousand frames.
constexpr int maxSettle = 10000;
// Drawing 4096 x 4096 pixels in software GL takes about 0.9 GB and seconds a frame; twice that
// side takes 3 GB and four times as long.
constexpr int maxImageSide = 4096;
constexpr char imageModule[] = "plotloom-images";

const QStringList modeNames{QStringLiteral("force-directed"), QStringLiteral("color-weaving"),
                            QStringLiteral("convergence"), QStringLiteral("increasing"),
                            QStringLiteral("storyline")};

void report(const QString &line)
{
    std::fprintf(stderr, "%s\n", qPrintable(line));
    std::fflush(stderr);
}

// Writes a whole file; on failure says why on standard error.
bool writeOutput(const QString &path, const QByteArray &data, QStringList *errors)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(data) == data.size() && file.commit())
        return true;
    errors->append(QStringLiteral("cannot write %1: %2").arg(path, file.errorString()));
    return false;
}

// The analysis of one screenplay; a file that is not of its format is reported among the
// screenplay's errors rather than on a line of its own.
class BatchAnalysis : public ScreenplayAnalysis {
public:
    QString readError;

protected:
    void readFailed(const QString &, const QString &reason) override { readError = reason; }
};

// Reads, discovers and parses one screenplay with the settings of the working folder and writes
// the chosen outputs; returns the summary of the model or the reasons of failure, and the
// screenplay's figures for the totals when asked.
bool processScreenplay(const QString &path, const BatchOptions &options, ImageRenderer *renderer,
                       const std::function<void(const QString &)> &progress, QString *summary,
                       QStringList *errors, CorpusSummary::Screenplay *figures = nullptr)
{
    const QFileInfo info(path);
    if (!info.exists()) {
        errors->append(QStringLiteral("no such file"));
        return false;
    }
    if (info.isDir() || !info.isReadable()) {
        errors->append(info.isDir() ? QStringLiteral("is a folder")
                                    : QStringLiteral("cannot be read"));
        return false;
    }

    // Every screenplay starts from the same random state, so a parallel run draws what a serial
    // one draws.
    std::srand(1);
    BatchAnalysis a;
    a.loadSettings();
    if (!a.loadBreakStrings(QStringLiteral("breakStrings.txt")))
        a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.openScreenplay(info.absoluteFilePath());
    if (!a.readError.isEmpty()) {
        errors->append(a.readError);
        return false;
    }
    a.loadSettings();
    a.buildModel();
    *summary = QStringLiteral("%1 characters, %2 scenes")
                   .arg(a.characterList->characters.size())
                   .arg(a.characterList->timeIndices.size());

    const QString base = options.outputDir.isEmpty()
                             ? info.absoluteFilePath()
                             : QDir(options.outputDir).filePath(info.fileName());
    bool ok = true;
    if (options.sceneStats)
        ok &= writeOutput(base + QStringLiteral("-scene.csv"), a.sceneStats(), errors);
    if (options.characterStats)
        ok &= writeOutput(base + QStringLiteral("-character.csv"), a.characterStats(), errors);
    if (options.markup)
        ok &= writeOutput(base + QStringLiteral(".html"), a.markupDocument(), errors);
    if (options.breakdown)
        ok &= writeOutput(base + QStringLiteral("-breakdown.csv"), a.sceneBreakdown(), errors);
    if (options.network) {
        const CharacterNetwork network = a.characterNetwork();
        ok &= writeOutput(base + QStringLiteral(".graphml"), network.graphml(), errors);
        ok &= writeOutput(base + QStringLiteral("-edges.csv"), network.edgeList(), errors);
    }
    if (options.storyline) {
        const StorylineLayout layout(*a.characterList);
        QStringList headings;
        for (const SceneText &scene : a.sceneTexts())
            headings.append(scene.heading);
        ok &= writeOutput(base + QStringLiteral("-storyline.svg"),
                          storylineSvg(layout, *a.characterList, headings), errors);
        ok &= writeOutput(base + QStringLiteral("-storyline.csv"),
                          storylineCsv(layout, *a.characterList), errors);
    }
    if (figures)
        *figures = CorpusSummary::figuresOf(path, a);
    if (renderer)
        ok &= renderer->render(a.characterList, a.viewStep(), options.settle,
                               base + QStringLiteral(".png"), progress, errors);
    return ok;
}

QString progressPrefix(int index, int count)
{
    return QStringLiteral("[%1/%2] ").arg(index + 1).arg(count);
}

// Same file: the same file system entry when both exist, else the same absolute path.
bool sameFile(const QFileInfo &a, const QFileInfo &b)
{
    const QString canonical = a.canonicalFilePath();
    return canonical.isEmpty() ? a.absoluteFilePath() == b.absoluteFilePath()
                               : canonical == b.canonicalFilePath();
}

// Two different screenplays of the same file name, whose outputs in one folder would overwrite
// each other's; empty when there are none.
QStringList sameNamedFiles(const QStringList &paths)
{
    QHash<QString, QFileInfo> byName;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        const auto seen = byName.constFind(info.fileName());
        if (seen == byName.constEnd())
            byName.insert(info.fileName(), info);
        else if (!sameFile(*seen, info))
            return {seen->filePath(), info.filePath()};
    }
    return {};
}

// Creates a folder with its parents; on failure says why, from the part of the path that exists.
bool makeFolder(const QString &path, QString *reason)
{
    if (QFileInfo(path).isDir() || QDir().mkpath(path))
        return true;
    QFileInfo existing(path);
    while (!existing.exists() && !existing.isRoot())
        existing = QFileInfo(existing.absolutePath());
    if (!existing.isDir())
        *reason = QStringLiteral("%1 is not a folder").arg(existing.filePath());
    else if (!existing.isWritable())
        *reason = QStringLiteral("%1 cannot be written").arg(existing.filePath());
    else
        *reason = QStringLiteral("the file system refused");
    return false;
}

// Writes the totals and the per-screenplay figures of the screenplays that were read.
int writeSummary(const QString &path, const QVector<CorpusSummary::Screenplay> &screenplays)
{
    CorpusSummary summary;
    summary.screenplays = screenplays;
    QStringList errors;
    writeOutput(path, summary.totals(), &errors);
    writeOutput(CorpusSummary::filesName(path), summary.files(), &errors);
    for (const QString &error : qAsConst(errors))
        report(QStringLiteral("plotloom-batch: ") + error);
    return errors.isEmpty() ? BatchOk : BatchFailed;
}

// Progress lines and the summary name each screenplay as it was given on the command line.
int runSerial(const BatchOptions &options, const QStringList &names)
{
    std::unique_ptr<ImageRenderer> renderer;
    if (options.image) {
        if (const auto create = reinterpret_cast<ImageRendererFunction>(
                moduleFunction(imageModule, "plotloomImageRenderer")))
            renderer.reset(create(options.mode, options.size));
    }
    const bool figuresWanted = !options.summary.isEmpty() || !options.summaryPart.isEmpty();
    QVector<CorpusSummary::Screenplay> read;
    int status = BatchOk;
    for (int i = 0; i < options.screenplays.size(); ++i) {
        const QString &path = options.screenplays.at(i);
        QString summary;
        QStringList errors;
        const QString prefix =
            progressPrefix(i, options.screenplays.size()) + names.at(i) + QStringLiteral(": ");
        CorpusSummary::Screenplay figures;
        const bool ok = processScreenplay(
            path, options, renderer.get(),
            [&prefix](const QString &line) { report(prefix + line); }, &summary, &errors,
            figuresWanted ? &figures : nullptr);
        if (!summary.isEmpty() && figuresWanted) {
            figures.name = names.at(i);
            read.append(figures);
        }
        if (!summary.isEmpty())
            report(prefix + summary);
        for (const QString &error : errors)
            report(prefix + QStringLiteral("error: ") + error);
        if (!ok)
            status = BatchFailed;
    }
    if (!options.summaryPart.isEmpty()) {
        QStringList errors;
        writeOutput(options.summaryPart,
                    QJsonDocument(CorpusSummary::toJson(read)).toJson(QJsonDocument::Compact),
                    &errors);
        if (!errors.isEmpty())
            status = BatchFailed;
    }
    if (!options.summary.isEmpty())
        status = std::max(status, writeSummary(options.summary, read));
    return status;
}

// Deals the screenplays to at most options.jobs child processes, the largest files first, each to
// the child with the fewest bytes so far, so that the children finish together; each child
// starts Qt once for all of its screenplays. Their progress lines are passed on as they come,
// under the parent's numbering and names. A child that cannot start fails its screenplays.
int runParallel(const BatchOptions &options, const QStringList &names, const QString &program,
                const QStringList &childArgs)
{
    const int count = options.screenplays.size();
    QVector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&options](int a, int b) {
        return QFileInfo(options.screenplays.at(a)).size() >
               QFileInfo(options.screenplays.at(b)).size();
    });
    const int childCount = std::min(options.jobs, count);
    QVector<QVector<int>> shares(childCount);
    QVector<qint64> bytes(childCount, 0);
    for (const int index : order) {
        const int child = int(std::min_element(bytes.begin(), bytes.end()) - bytes.begin());
        shares[child].append(index);
        bytes[child] += std::max<qint64>(QFileInfo(options.screenplays.at(index)).size(), 1);
    }

    // A child reports "[k/m] PATH: ..." about the k-th screenplay of its share, by the absolute
    // path it was given; the share tells which screenplay that is, even when one is given twice.
    const auto passOn = [&](const QString &line, const QVector<int> &share) {
        static const QRegularExpression head(QStringLiteral("^\\[([0-9]+)/[0-9]+\\] "));
        const QRegularExpressionMatch match = head.match(line);
        const int k = match.hasMatch() ? match.captured(1).toInt() - 1 : -1;
        if (k >= 0 && k < share.size()) {
            const int i = share.at(k);
            const QString &path = options.screenplays.at(i);
            const QString rest = line.mid(match.capturedLength());
            if (rest.startsWith(path + QLatin1Char(':'))) {
                report(progressPrefix(i, count) + names.at(i) + rest.mid(path.size()));
                return;
            }
        }
        report(line);
    };

    // Each child hands the figures of its screenplays back in a file of its own.
    QTemporaryDir parts;
    int running = 0;
    int status = BatchOk;
    QEventLoop loop;
    for (int k = 0; k < childCount; ++k) {
        const QVector<int> &share = shares.at(k);
        auto *process = new QProcess(&loop);
        auto *pending = new QByteArray;
        QObject::connect(process, &QProcess::destroyed, [pending] { delete pending; });
        QObject::connect(process, &QProcess::readyReadStandardOutput, process, [process] {
            const QByteArray out = process->readAllStandardOutput();
            std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        });
        QObject::connect(process, &QProcess::readyReadStandardError, process, [=] {
            pending->append(process->readAllStandardError());
            int end;
            while ((end = pending->indexOf('\n')) >= 0) {
                passOn(QString::fromLocal8Bit(pending->left(end)), share);
                pending->remove(0, end + 1);
            }
        });
        QObject::connect(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), &loop,
                         [&, process](int code, QProcess::ExitStatus exit) {
                             if (exit != QProcess::NormalExit || code != BatchOk)
                                 status = BatchFailed;
                             if (exit != QProcess::NormalExit)
                                 report(QStringLiteral("plotloom-batch: a worker process ended "
                                                       "abnormally"));
                             if (--running == 0)
                                 loop.quit();
                         });
        // A child that cannot start (no program, or the process limit reached) never finishes.
        QObject::connect(process, &QProcess::errorOccurred, &loop,
                         [&, process, share](QProcess::ProcessError error) {
                             if (error != QProcess::FailedToStart)
                                 return;
                             report(QStringLiteral("plotloom-batch: a worker process could not "
                                                   "start: ") +
                                    process->errorString());
                             for (const int i : share)
                                 report(progressPrefix(i, count) + names.at(i) +
                                        QStringLiteral(": error: not processed"));
                             status = BatchFailed;
                             if (--running == 0)
                                 loop.quit();
                         });
        QStringList arguments = childArgs;
        for (const int i : share)
            arguments.append(options.screenplays.at(i));
        ++running;
        if (!options.summary.isEmpty())
            arguments << QStringLiteral("--summary-part") << parts.filePath(QString::number(k));
        process->start(program, arguments);
    }
    // Every child may have failed to start already, and then nothing would end the loop.
    if (running > 0)
        loop.exec();

    if (!options.summary.isEmpty()) {
        // Children name their screenplays by absolute path; the summary uses the given names in
        // the given order.
        QHash<QString, CorpusSummary::Screenplay> byPath;
        for (int k = 0; k < childCount; ++k) {
            QFile part(parts.filePath(QString::number(k)));
            if (!part.open(QIODevice::ReadOnly))
                continue;
            for (const CorpusSummary::Screenplay &s :
                 CorpusSummary::fromJson(QJsonDocument::fromJson(part.readAll()).array()))
                byPath.insert(s.name, s);
        }
        QVector<CorpusSummary::Screenplay> read;
        for (int i = 0; i < count; ++i) {
            const auto found = byPath.constFind(options.screenplays.at(i));
            if (found == byPath.cend())
                continue;
            read.append(found.value());
            read.last().name = names.at(i);
        }
        status = std::max(status, writeSummary(options.summary, read));
    }
    return status;
}

} // namespace

bool parseBatchArguments(const QStringList &arguments, BatchOptions *options, QString *message,
                         BatchStatus *status)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Writes the statistics, marked-up text and thread images of screenplays.\n"
        "With no output option both statistics files are written.\n"
        "Exit status: 0 when all went well, 1 when a screenplay could not be read or\n"
        "an output not written, 2 on a usage error."));
    const QCommandLineOption sceneStats(QStringLiteral("scene-stats"),
                                        QStringLiteral("Write SCREENPLAY-scene.csv."));
    const QCommandLineOption characterStats(QStringLiteral("character-stats"),
                                            QStringLiteral("Write SCREENPLAY-character.csv."));
    const QCommandLineOption markup(
        QStringLiteral("markup"),
        QStringLiteral("Write SCREENPLAY.html (what \"Save Markup\" writes)."));
    const QCommandLineOption image(
        QStringLiteral("image"),
        QStringLiteral("Write SCREENPLAY.png (the thread view); needs the X "
                       "display named by DISPLAY."));
    const QCommandLineOption breakdown(
        QStringLiteral("breakdown"),
        QStringLiteral("Write SCREENPLAY-breakdown.csv (one row per scene)."));
    const QCommandLineOption network(
        QStringLiteral("network"),
        QStringLiteral("Write SCREENPLAY.graphml and SCREENPLAY-edges.csv (who shares scenes "
                       "with whom)."));
    const QCommandLineOption storyline(
        QStringLiteral("storyline"),
        QStringLiteral("Write SCREENPLAY-storyline.svg and SCREENPLAY-storyline.csv (who is in "
                       "which scene, as a chart of lines)."));
    const QCommandLineOption summary(
        QStringLiteral("summary"),
        QStringLiteral("Write the totals per character over all screenplays to FILE.csv, and "
                       "per screenplay to FILE-files.csv."),
        QStringLiteral("FILE.csv"));
    const QCommandLineOption mode(QStringLiteral("mode"),
                                  QStringLiteral("force-directed | color-weaving | convergence | "
                                                 "increasing | storyline (default "
                                                 "force-directed)."),
                                  QStringLiteral("MODE"), modeNames.first());
    const QCommandLineOption size(
        QStringLiteral("size"),
        QStringLiteral("Image size (default 1024x768, at most %1x%1).").arg(maxImageSide),
        QStringLiteral("WxH"), QStringLiteral("1024x768"));
    const QCommandLineOption settle(
        QStringLiteral("settle"),
        QStringLiteral("Simulation frames drawn before the image (default 50, at most %1; "
                       "beyond %2, progress every %2 frames).")
            .arg(maxSettle)
            .arg(settleProgressEvery),
        QStringLiteral("N"), QStringLiteral("50"));
    const QCommandLineOption settings(
        QStringLiteral("settings"),
        QStringLiteral("Folder of config.txt, breakStrings.txt, characters.txt, colors.txt "
                       "(default: the working folder)."),
        QStringLiteral("DIR"));
    const QCommandLineOption outputDir(
        QStringLiteral("output-dir"),
        QStringLiteral("Write the outputs there instead of next to each screenplay; the folder "
                       "is created when missing."),
        QStringLiteral("DIR"));
    const QCommandLineOption jobs(QStringLiteral("jobs"),
                                  QStringLiteral("Process N screenplays at once."),
                                  QStringLiteral("N"), QStringLiteral("1"));
    QCommandLineOption child(QStringLiteral("child"));
    child.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption summaryPart(QStringLiteral("summary-part"), QString(),
                                   QStringLiteral("FILE"));
    summaryPart.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version."));
    parser.addOptions({sceneStats, characterStats, markup, image, breakdown, network, storyline,
                       summary, mode, size, settle, settings, outputDir, jobs, child, summaryPart,
                       help, version});
    parser.addPositionalArgument(QStringLiteral("SCREENPLAY"),
                                 QStringLiteral("Screenplays to process."),
                                 QStringLiteral("SCREENPLAY..."));

    *status = BatchUsage;
    if (!parser.parse(arguments)) {
        *message = parser.errorText();
        return false;
    }
    if (parser.isSet(help)) {
        *message = parser.helpText();
        *status = BatchOk;
        return false;
    }
    if (parser.isSet(version)) {
        *message = QStringLiteral("plotloom-batch 0.1");
        *status = BatchOk;
        return false;
    }

    BatchOptions o;
    o.sceneStats = parser.isSet(sceneStats);
    o.characterStats = parser.isSet(characterStats);
    o.markup = parser.isSet(markup);
    o.image = parser.isSet(image);
    o.breakdown = parser.isSet(breakdown);
    o.network = parser.isSet(network);
    o.storyline = parser.isSet(storyline);
    o.summary = parser.value(summary);
    if (parser.isSet(summary) && o.summary.isEmpty()) {
        *message = QStringLiteral("no summary file name given");
        return false;
    }
    o.summaryPart = parser.value(summaryPart);
    // A worker of a summary run may have nothing else to write.
    if (!o.sceneStats && !o.characterStats && !o.markup && !o.image && !o.breakdown && !o.network &&
        !o.storyline && o.summary.isEmpty() && o.summaryPart.isEmpty())
        o.sceneStats = o.characterStats = true;
    o.mode = modeNames.indexOf(parser.value(mode));
    if (o.mode < 0) {
        *message = QStringLiteral("unknown mode '%1'; use one of: %2")
                       .arg(parser.value(mode), modeNames.join(QStringLiteral(", ")));
        return false;
    }
    const QStringList wh = parser.value(size).split('x');
    bool wOk = false;
    bool hOk = false;
    if (wh.size() == 2)
        o.size = QSize(wh.at(0).toInt(&wOk), wh.at(1).toInt(&hOk));
    if (!wOk || !hOk || o.size.width() < 1 || o.size.height() < 1 ||
        o.size.width() > maxImageSide || o.size.height() > maxImageSide) {
        *message = QStringLiteral("bad size '%1'; write it as WIDTHxHEIGHT, e.g. 1024x768, "
                                  "at most %2x%2")
                       .arg(parser.value(size))
                       .arg(maxImageSide);
        return false;
    }
    bool numberOk = false;
    o.settle = parser.value(settle).toInt(&numberOk);
    if (!numberOk || o.settle < 0 || o.settle > maxSettle) {
        *message = QStringLiteral("bad frame count '%1'; give 0 to %2 frames")
                       .arg(parser.value(settle))
                       .arg(maxSettle);
        return false;
    }
    o.jobs = parser.value(jobs).toInt(&numberOk);
    if (!numberOk || o.jobs < 1) {
        *message = QStringLiteral("bad job count '%1'").arg(parser.value(jobs));
        return false;
    }
    o.settingsDir = parser.value(settings);
    if (!o.settingsDir.isEmpty() && !QFileInfo(o.settingsDir).isDir()) {
        *message = QStringLiteral("no settings folder '%1'").arg(o.settingsDir);
        return false;
    }
    o.outputDir = parser.value(outputDir);
    o.child = parser.isSet(child);
    o.screenplays = parser.positionalArguments();
    if (o.screenplays.isEmpty()) {
        *message = QStringLiteral("no screenplay given");
        return false;
    }
    const QStringList clash = o.outputDir.isEmpty() ? QStringList() : sameNamedFiles(o.screenplays);
    if (!clash.isEmpty()) {
        *message = QStringLiteral("'%1' and '%2' would write the same outputs in '%3'; give them "
                                  "different output folders")
                       .arg(clash.at(0), clash.at(1), o.outputDir);
        return false;
    }
    *options = o;
    *status = BatchOk;
    return true;
}

std::unique_ptr<QCoreApplication> batchApplication(int &argc, char **argv, bool draw)
{
    if (draw && !qEnvironmentVariableIsEmpty("DISPLAY")) {
        if (const auto create = reinterpret_cast<DrawingApplicationFunction>(
                moduleFunction(imageModule, "plotloomDrawingApplication")))
            return std::unique_ptr<QCoreApplication>(create(argc, argv));
    }
    return std::make_unique<QCoreApplication>(argc, argv);
}

bool batchCanDraw()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && app->inherits("QApplication") &&
           QGuiApplication::platformName() == QLatin1String("xcb");
}

int runBatch(const BatchOptions &given, const QString &program)
{
    BatchOptions options = given;
    // Paths are taken from the folder the tool was started in, settings from their own.
    for (QString &path : options.screenplays)
        path = QFileInfo(path).absoluteFilePath();
    if (!options.summary.isEmpty())
        options.summary = QFileInfo(options.summary).absoluteFilePath();
    if (!options.outputDir.isEmpty()) {
        options.outputDir = QFileInfo(options.outputDir).absoluteFilePath();
        QString reason;
        if (!makeFolder(options.outputDir, &reason)) {
            report(QStringLiteral("plotloom-batch: cannot create the output folder '%1': %2")
                       .arg(given.outputDir, reason));
            return BatchFailed;
        }
    }

    int status = BatchOk;
    if (options.image && !batchCanDraw()) {
        const QString display = qEnvironmentVariable("DISPLAY");
        const QString unreachable =
            display.isEmpty()
                ? QString()
                : QStringLiteral(", and the display '%1' cannot be reached").arg(display);
        if (moduleFunction(imageModule, "plotloomImageRenderer"))
            report(QStringLiteral("plotloom-batch: --image needs a display%1; run under "
                                  "xvfb-run -a to draw without one. No images are written.")
                       .arg(unreachable));
        else
            report(QStringLiteral("plotloom-batch: --image needs the module %1, which is not "
                                  "installed. No images are written.")
                       .arg(QLatin1String(imageModule)));
        options.image = false;
        status = BatchFailed;
    }

    if (!options.settingsDir.isEmpty())
        QDir::setCurrent(options.settingsDir);
    if (!options.child && !QFileInfo::exists(QStringLiteral("breakStrings.txt")))
        report(QStringLiteral("plotloom-batch: no breakStrings.txt in %1; using the six sample "
                              "break strings (int. ext. INTERIOR EXTERIOR INT EXT)")
                   .arg(QDir::currentPath()));

    int result = BatchOk;
    if (options.jobs > 1 && options.screenplays.size() > 1) {
        QStringList childArgs{
            QStringLiteral("--child"),
            QStringLiteral("--mode"),
            modeNames.at(options.mode),
            QStringLiteral("--size"),
            QStringLiteral("%1x%2").arg(options.size.width()).arg(options.size.height()),
            QStringLiteral("--settle"),
            QString::number(options.settle)};
        if (options.sceneStats)
            childArgs << QStringLiteral("--scene-stats");
        if (options.characterStats)
            childArgs << QStringLiteral("--character-stats");
        if (options.markup)
            childArgs << QStringLiteral("--markup");
        if (options.image)
            childArgs << QStringLiteral("--image");
        if (options.breakdown)
            childArgs << QStringLiteral("--breakdown");
        if (options.network)
            childArgs << QStringLiteral("--network");
        if (options.storyline)
            childArgs << QStringLiteral("--storyline");
        if (!options.outputDir.isEmpty())
            childArgs << QStringLiteral("--output-dir") << options.outputDir;
        result = runParallel(options, given.screenplays, program, childArgs);
    } else {
        result = runSerial(options, given.screenplays);
    }
    return std::max(status, result);
}
