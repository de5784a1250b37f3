// SPDX-License-Identifier: MIT
#include "batchoptions.h"

#include "imagerenderer.h"

#include <QCommandLineParser>
#include <QFileInfo>
#include <QHash>

namespace {

// A frame takes about 0.1 s for a long screenplay in software GL, as long as the window's redraw
// interval, so the limit is some 17 minutes of the window's animation per screenplay; the layout
// barely moves after a few thousand frames.
constexpr int maxSettle = 10000;
// Drawing 4096 x 4096 pixels in software GL takes about 0.9 GB and seconds a frame; twice that
// side takes 3 GB and four times as long.
constexpr int maxImageSide = 4096;

const QStringList modeNames{QStringLiteral("force-directed"), QStringLiteral("color-weaving"),
                            QStringLiteral("convergence"), QStringLiteral("increasing"),
                            QStringLiteral("storyline")};

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

} // namespace

QStringList BatchOptions::workerArguments() const
{
    QStringList arguments{QStringLiteral("--child"),
                          QStringLiteral("--mode"),
                          modeNames.at(mode),
                          QStringLiteral("--size"),
                          QStringLiteral("%1x%2").arg(size.width()).arg(size.height()),
                          QStringLiteral("--settle"),
                          QString::number(settle)};
    if (exports.sceneStats)
        arguments << QStringLiteral("--scene-stats");
    if (exports.characterStats)
        arguments << QStringLiteral("--character-stats");
    if (exports.markup)
        arguments << QStringLiteral("--markup");
    if (image)
        arguments << QStringLiteral("--image");
    if (exports.breakdown)
        arguments << QStringLiteral("--breakdown");
    if (exports.network)
        arguments << QStringLiteral("--network");
    if (storyline)
        arguments << QStringLiteral("--storyline");
    if (!outputDir.isEmpty())
        arguments << QStringLiteral("--output-dir") << outputDir;
    if (wantsFigures())
        arguments << QStringLiteral("--figures");
    return arguments;
}

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
    QCommandLineOption record(QStringLiteral("record"), QString(), QStringLiteral("FILE"));
    record.setFlags(QCommandLineOption::HiddenFromHelp);
    QCommandLineOption figures(QStringLiteral("figures"));
    figures.setFlags(QCommandLineOption::HiddenFromHelp);
    const QCommandLineOption help(QStringList{QStringLiteral("help"), QStringLiteral("h")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version(QStringLiteral("version"),
                                     QStringLiteral("Show the version."));
    parser.addOptions({sceneStats, characterStats, markup, image, breakdown, network, storyline,
                       summary, mode,
                       size, settle, settings, outputDir, jobs, child, record, figures, help,
                       version});
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
    o.exports.sceneStats = parser.isSet(sceneStats);
    o.exports.characterStats = parser.isSet(characterStats);
    o.exports.markup = parser.isSet(markup);
    o.image = parser.isSet(image);
    o.exports.breakdown = parser.isSet(breakdown);
    o.exports.network = parser.isSet(network);
    o.storyline = parser.isSet(storyline);
    o.summary = parser.value(summary);
    if (parser.isSet(summary) && o.summary.isEmpty()) {
        *message = QStringLiteral("no summary file name given");
        return false;
    }
    o.recordFile = parser.value(record);
    o.figures = parser.isSet(figures);
    // A worker of a summary run may have nothing else to write.
    if (!o.exports.sceneStats && !o.exports.characterStats && !o.exports.markup && !o.image &&
        !o.exports.breakdown && !o.exports.network && !o.storyline && o.summary.isEmpty() &&
        !o.figures)
        o.exports.sceneStats = o.exports.characterStats = true;
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
