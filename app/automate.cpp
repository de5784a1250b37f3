// SPDX-License-Identifier: MIT
#include "plotloom.h"

#include "fileio.h"
#include "option.h"
#include "screenplayjob.h"
#include "ui_optionsdialog.h"

#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStatusBar>
#include <QTimer>

void Plotloom::Automate()
{
    // A new run replaces a running one. The older run's pending step must find itself stale even
    // when it falls due while this run's dialogs are open, so the run count moves first.
    ++m_automateRun;
    automateFiles = QFileDialog::getOpenFileNames(nullptr, tr("Select screenplays"));
    autoDelay = 5000;
    autoWriteImages = true;
    autoWriteSceneStats = false;
    autoWriteCharacterStats = false;

    std::vector<std::unique_ptr<Option>> batchOptions;
    batchOptions.push_back(
        std::make_unique<Option>(QStringLiteral("Delay Until Write (ms)"), &autoDelay, nullptr));
    batchOptions.push_back(
        std::make_unique<Option>(QStringLiteral("Write Images"), nullptr, &autoWriteImages));
    batchOptions.push_back(std::make_unique<Option>(QStringLiteral("Write Scene Stats"), nullptr,
                                                    &autoWriteSceneStats));
    batchOptions.push_back(std::make_unique<Option>(QStringLiteral("Write Character Stats"),
                                                    nullptr, &autoWriteCharacterStats));
    batchOptions[0]->toolTip = tr("How long each screenplay is shown, in milliseconds, before its "
                                  "files are written; longer lets its threads settle further.");
    batchOptions[1]->toolTip = tr("Writes each screenplay's thread view beside it as a picture, "
                                  "its name followed by .png.");
    batchOptions[2]->toolTip = tr("Writes each screenplay's scene statistics beside it, its name "
                                  "followed by -scene.csv.");
    batchOptions[3]->toolTip = tr("Writes each screenplay's character statistics beside it, its "
                                  "name followed by -character.csv.");
    QDialog dialog;
    Ui_OptionsDialog form;
    form.setupUi(&dialog);
    for (const auto &option : batchOptions)
        option->makeWindowItem(form.verticalLayoutWidget, form.verticalLayout);
    for (const auto &option : batchOptions)
        option->showName(QStringLiteral("OptionsDialog"));
    if (dialog.exec() == QDialog::Accepted)
        for (const auto &option : batchOptions)
            option->takeWidgetValue();

    if (automateFiles.isEmpty())
        return;
    // A run never writes over one of the screenplays or settings files it reads.
    QStringList inputs = automateFiles;
    for (const char *name : {"config.txt", "breakStrings.txt", "characters.txt", "colors.txt"})
        inputs.append(QDir::current().absoluteFilePath(QLatin1String(name)));
    ExportChoice exports;
    exports.sceneStats = autoWriteSceneStats;
    exports.characterStats = autoWriteCharacterStats;
    QStringList outputs;
    for (const QString &file : qAsConst(automateFiles)) {
        outputs += ScreenplayJob::exportNames(file, exports);
        if (autoWriteImages)
            outputs.append(ScreenplayJob::imageName(file));
    }
    outputs.removeDuplicates(); // a screenplay chosen twice writes the same files
    const QStringList clash = findPathClash(inputs, outputs);
    if (!clash.isEmpty()) {
        showError(FileError::notWritten(
            clash.at(0), tr("the batch run would write it over %1, so it did not start")
                             .arg(QDir::toNativeSeparators(clash.at(1)))));
        automateFiles.clear();
        return;
    }
    autoStarting = true;
    m_batch = BatchTally();
    scheduleAutomateStep(0);
}

void Plotloom::scheduleAutomateStep(int delay)
{
    const int run = m_automateRun;
    // A step that falls due while an open or parse runs waits for its end (see whenIdle).
    QTimer::singleShot(std::max(delay, 0), this, [this, run] {
        whenIdle([this, run] {
            if (run == m_automateRun)
                automateTrigger();
        });
    });
}

void Plotloom::automateTrigger()
{
    if (autoStarting) {
        autoStarting = false;
    } else {
        if (automateFiles.isEmpty())
            return;
        ++m_batch.processed;
        if (autoWriteImages) {
            const int imagesBefore = m_imagesSaved;
            const QString image = ScreenplayJob::imageName(analysis.fileName);
            ui.ThreadView->saveImageToFile(image);
            ui.ThreadView->makeCurrent();
            for (int i = 0; i < 10; ++i)
                ui.ThreadView->paintGL();
            // A screenplay without scenes draws no graph, so its frame is never taken; the request
            // must not pass to the next screenplay's picture.
            if (!ui.ThreadView->imageFileName.isEmpty()) {
                ui.ThreadView->saveImageToFile(QString());
                printLine(QStringLiteral("could not write ") + image);
                showError(FileError::notWritten(image, tr("the screenplay has no scenes to draw")));
            }
            m_batch.written += m_imagesSaved - imagesBefore;
        }
        ExportChoice exports;
        exports.sceneStats = autoWriteSceneStats;
        exports.characterStats = autoWriteCharacterStats;
        // Each of these exports is one file, so every failure is one file fewer.
        const QVector<FileError> errors =
            ScreenplayJob(analysis).writeExports(analysis.fileName, exports);
        m_batch.written +=
            ScreenplayJob::exportNames(analysis.fileName, exports).size() - errors.size();
        for (const FileError &error : errors)
            showError(error);
        automateFiles.removeFirst();
    }
    // A screenplay that cannot be read is named in the message area and has no outputs.
    while (!automateFiles.isEmpty() && !openAndParse(automateFiles.first()))
        m_batch.notRead.append(QFileInfo(automateFiles.takeFirst()).fileName());
    if (automateFiles.isEmpty())
        batchEnded();
    else
        scheduleAutomateStep(autoDelay);
}

void Plotloom::batchEnded()
{
    QString line = tr("Batch run ended: %1 processed, %2 written.")
                       .arg(counted(m_batch.processed, tr("screenplay"), tr("screenplays")),
                            counted(m_batch.written, tr("file"), tr("files")));
    if (!m_batch.notRead.isEmpty())
        line += tr(" Not read: %1.").arg(m_batch.notRead.join(QStringLiteral(", ")));
    printLine(line);
    // Stays until the next message: the user may have left the run alone for a while.
    statusBar()->showMessage(line);
}
