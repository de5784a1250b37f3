// SPDX-License-Identifier: MIT
#include "batchjob.h"

#include "batchoptions.h"
#include "fileio.h"
#include "imagerenderer.h"
#include "screenplayanalysis.h"
#include "screenplayjob.h"
#include "storylinefiles.h"
#include "storylinelayout.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>

ScreenplayOutcome processScreenplay(const QString &path, const BatchOptions &options,
                                    ImageRenderer *renderer,
                                    const std::function<void(const QString &)> &progress)
{
    ScreenplayOutcome outcome;
    // Every screenplay starts from the same random state, so a parallel run draws what a serial
    // one draws.
    std::srand(1);
    ScreenplayAnalysis analysis;
    analysis.loadSettings();
    if (!analysis.loadBreakStrings(QStringLiteral("breakStrings.txt")))
        analysis.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    ScreenplayJob job(analysis);
    if (const FileError error = job.open(path); !error.isNull()) {
        outcome.errors.append(error.path == path ? error.withoutPath() : error.message());
        return outcome;
    }
    job.parse();
    outcome.read = true;
    if (!analysis.notice.isNull())
        outcome.notice = analysis.notice.withoutPath();
    outcome.summary = QStringLiteral("%1 characters, %2 scenes")
                          .arg(analysis.characterList->characters.size())
                          .arg(analysis.characterList->timeIndices.size());

    const QFileInfo info(path);
    const QString base = options.outputDir.isEmpty()
                             ? info.absoluteFilePath()
                             : QDir(options.outputDir).filePath(info.fileName());
    for (const FileError &error : job.writeExports(base, options.exports))
        outcome.errors.append(error.message());
    if (options.storyline) {
        const StorylineLayout layout(*analysis.characterList);
        QStringList headings;
        for (const SceneText &scene : analysis.sceneTexts())
            headings.append(scene.heading);
        for (const FileError &error :
             {saveWholeFile(BatchOptions::storylineSvgName(base),
                            storylineSvg(layout, *analysis.characterList, headings)),
              saveWholeFile(BatchOptions::storylineCsvName(base),
                            storylineCsv(layout, *analysis.characterList))})
            if (!error.isNull())
                outcome.errors.append(error.message());
    }
    if (options.wantsFigures())
        outcome.figures = CorpusSummary::figuresOf(path, analysis);
    if (renderer)
        renderer->render(analysis.characterList, analysis.viewStep(), options.settle,
                         ScreenplayJob::imageName(base), progress, &outcome.errors);
    return outcome;
}
