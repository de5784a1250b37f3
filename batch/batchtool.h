// SPDX-License-Identifier: MIT
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

class QCoreApplication;

// What one run of the command-line tool is asked to do.
struct BatchOptions {
    bool sceneStats = false;
    bool characterStats = false;
    bool markup = false;
    bool image = false;
    bool breakdown = false;
    bool network = false;
    bool storyline = false;
    // The totals over all screenplays go here (and the per-screenplay figures beside it).
    QString summary;
    int mode = 0;
    QSize size{1024, 768};
    int settle = 50;
    QString settingsDir;
    QString outputDir;
    int jobs = 1;
    QStringList screenplays;
    // Set in the processes that a parallel run starts: they report without the settings note,
    // and hand the figures of their screenplays for the summary to the parent in this file.
    bool child = false;
    QString summaryPart;
};

// Exit statuses of the tool.
enum BatchStatus { BatchOk = 0, BatchFailed = 1, BatchUsage = 2 };

// Reads the command line into options; on a usage error returns false with the message, and on
// --help or --version returns false with the text to print and status BatchOk.
bool parseBatchArguments(const QStringList &arguments, BatchOptions *options, QString *message,
                         BatchStatus *status);

// The application of a run: one that can draw when images are asked for and DISPLAY names a
// display (made by the image module), else one without a GUI.
std::unique_ptr<QCoreApplication> batchApplication(int &argc, char **argv, bool draw);

// True when the application can draw images: a QApplication connected to an X display.
bool batchCanDraw();

// Processes every screenplay of the options, one after another or in parallel processes, and
// returns the exit status. Needs a QCoreApplication, or a QApplication when images are asked for.
int runBatch(const BatchOptions &options, const QString &program);
