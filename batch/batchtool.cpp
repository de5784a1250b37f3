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
#include <QSet>
#include <QJsonObject>
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

// Every file the run reads: the screenplays and the settings files.
QStringList runInputs(const BatchOptions &options)
{
    QStringList inputs = options.screenplays;
    const QDir settings(options.settingsDir.isEmpty() ? QDir::currentPath() : options.settingsDir);
    for (const char *name : {"config.txt", "breakStrings.txt", "characters.txt", "colors.txt"})
        inputs.append(settings.absoluteFilePath(QLatin1String(name)));
    return inputs;
}

// Every file the run may write, each once: a screenplay named twice writes the same files.
QStringList runOutputs(const BatchOptions &options)
{
    QStringList outputs;
    QSet<QString> seen;
    for (const QString &path : options.screenplays) {
        const QFileInfo info(path);
        const QString canonical = info.canonicalFilePath();
        if (!seen.contains(canonical.isEmpty() ? path : canonical)) {
            seen.insert(canonical.isEmpty() ? path : canonical);
            const QString base = options.outputDir.isEmpty()
                                     ? info.absoluteFilePath()
                                     : QDir(options.outputDir).filePath(info.fileName());
            outputs += ScreenplayJob::exportNames(base, options.exports);
            if (options.storyline)
                outputs << BatchOptions::storylineSvgName(base)
                        << BatchOptions::storylineCsvName(base);
            if (options.image)
                outputs.append(ScreenplayJob::imageName(base));
        }
    }
    if (!options.summary.isEmpty())
        outputs << options.summary << CorpusSummary::filesName(options.summary);
    return outputs;
}

// Why the run must not start: an output would write over an input or over another output, or
// the summary's folder is missing; empty when it may.
QString refusal(const BatchOptions &options)
{
    const QStringList inputs = runInputs(options);
    const QStringList clash = findPathClash(inputs, runOutputs(options));
    if (!clash.isEmpty())
        return (inputs.contains(clash.at(1))
                    ? QStringLiteral("the output '%1' would write over the input '%2'")
                    : QStringLiteral("the outputs '%1' and '%2' are the same file"))
                   .arg(clash.at(0), clash.at(1)) +
               QStringLiteral("; nothing was written");
    if (!options.summary.isEmpty()) {
        const QFileInfo folder(QFileInfo(options.summary).absolutePath());
        if (!folder.isDir())
            return QStringLiteral("cannot write the summary '%1': there is no folder '%2'")
                .arg(options.summary, folder.filePath());
        if (!folder.isWritable())
            return QStringLiteral("cannot write the summary '%1': the folder '%2' cannot be "
                                  "written")
                .arg(options.summary, folder.filePath());
    }
    return QString();
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
    // A worker keeps the record of each screenplay as soon as it is done (see runWorkers).
    QFile record(options.recordFile);
    if (!options.recordFile.isEmpty() && !record.open(QIODevice::WriteOnly | QIODevice::Append))
        return BatchFailed;
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
            if (!outcome.notice.isEmpty())
                report(prefix + QStringLiteral("note: ") + outcome.notice);
            report(prefix + outcome.summary);
            if (options.wantsFigures()) {
                read->append(outcome.figures);
                read->last().name = names.at(i);
            }
        }
        for (const QString &error : outcome.errors)
            report(prefix + QStringLiteral("error: ") + error);
        if (record.isOpen()) {
            QJsonObject done{{QStringLiteral("read"), outcome.read}};
            if (outcome.read && options.wantsFigures())
                done.insert(QStringLiteral("figures"), CorpusSummary::toJson(outcome.figures));
            record.write(QJsonDocument(done).toJson(QJsonDocument::Compact) + '\n');
            record.flush();
        }
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
    if (!options.outputDir.isEmpty())
        options.outputDir = QFileInfo(options.outputDir).absoluteFilePath();
    // Checked before anything is read or written, so that a refused run changes nothing.
    if (!options.child) {
        if (const QString reason = refusal(options); !reason.isEmpty()) {
            report(QStringLiteral("plotloom-batch: ") + reason);
            return BatchFailed;
        }
    }
    if (!options.outputDir.isEmpty()) {
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
    if (!options.summary.isEmpty())
        status = std::max(status, writeSummary(options.summary, read));
    return status;
}
