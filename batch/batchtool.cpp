// SPDX-License-Identifier: MIT
#include "batchtool.h"

#include "batchjob.h"
#include "corpussummary.h"
#include "fileio.h"
#include "imagerenderer.h"
#include "modules.h"
#include "workerpool.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>
#include <cstdio>
#include <memory>

namespace {

constexpr char imageModule[] = "plotloom-images";

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
    int status = BatchOk;
    for (const FileError &error : summary.write(path)) {
        report(QStringLiteral("plotloom-batch: ") + error.message());
        status = BatchFailed;
    }
    return status;
}

// Progress lines and the summary name each screenplay as it was given on the command line.
int runSerial(const BatchOptions &options, const QStringList &names,
              QVector<CorpusSummary::Screenplay> *read)
{
    std::unique_ptr<ImageRenderer> renderer;
    if (options.image) {
        if (const auto create = reinterpret_cast<ImageRendererFunction>(
                moduleFunction(imageModule, "plotloomImageRenderer")))
            renderer.reset(create(options.mode, options.size));
    }
    int status = BatchOk;
    for (int i = 0; i < options.screenplays.size(); ++i) {
        const QString prefix =
            progressPrefix(i, options.screenplays.size()) + names.at(i) + QStringLiteral(": ");
        const ScreenplayOutcome outcome =
            processScreenplay(options.screenplays.at(i), options, renderer.get(),
                              [&prefix](const QString &line) { report(prefix + line); });
        if (outcome.read) {
            report(prefix + outcome.summary);
            if (options.wantsFigures()) {
                read->append(outcome.figures);
                read->last().name = names.at(i);
            }
        }
        for (const QString &error : outcome.errors)
            report(prefix + QStringLiteral("error: ") + error);
        if (!outcome.ok())
            status = BatchFailed;
    }
    return status;
}

} // namespace

void report(const QString &line)
{
    std::fprintf(stderr, "%s\n", qPrintable(line));
    std::fflush(stderr);
}

QString progressPrefix(int index, int count)
{
    return QStringLiteral("[%1/%2] ").arg(index + 1).arg(count);
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

    QVector<CorpusSummary::Screenplay> read;
    const int result = options.jobs > 1 && options.screenplays.size() > 1
                           ? runWorkers(options, given.screenplays, program, &read)
                           : runSerial(options, given.screenplays, &read);
    status = std::max(status, result);
    // A worker hands its figures to the parent in a file of its own.
    if (!options.summaryPart.isEmpty()) {
        const FileError error = saveWholeFile(
            options.summaryPart,
            QJsonDocument(CorpusSummary::toJson(read)).toJson(QJsonDocument::Compact));
        if (!error.isNull())
            status = BatchFailed;
    }
    if (!options.summary.isEmpty())
        status = std::max(status, writeSummary(options.summary, read));
    return status;
}
