// SPDX-License-Identifier: MIT
#pragma once

#include "screenplayjob.h"

#include <QSize>
#include <QString>
#include <QStringList>

// What one run of the command-line tool is asked to do.
struct BatchOptions {
    ExportChoice exports;
    // SCREENPLAY-storyline.svg and SCREENPLAY-storyline.csv.
    bool storyline = false;
    bool image = false;
    // The totals over all screenplays go here (and the per-screenplay figures beside it).
    QString summary;
    int mode = 0;
    QSize size{1024, 768};
    int settle = 50;
    QString settingsDir;
    QString outputDir;
    int jobs = 1;
    QStringList screenplays;
    // Set in the worker processes that a parallel run starts: they report without the settings
    // note, and append a record of each screenplay they have done to recordFile, with its figures
    // when figures is set, so that the parent accounts for every screenplay even when a worker dies.
    bool child = false;
    QString recordFile;
    bool figures = false;

    // Whether the screenplays' figures are gathered for a summary, here or in a parent process.
    bool wantsFigures() const { return !summary.isEmpty() || figures; }
    static QString storylineSvgName(const QString &base)
    {
        return base + QStringLiteral("-storyline.svg");
    }
    static QString storylineCsvName(const QString &base)
    {
        return base + QStringLiteral("-storyline.csv");
    }
    // The arguments that give a worker process the same work for other screenplays.
    QStringList workerArguments() const;
};

// Exit statuses of the tool.
enum BatchStatus { BatchOk = 0, BatchFailed = 1, BatchUsage = 2 };

// Reads the command line into options; on a usage error returns false with the message, and on
// --help or --version returns false with the text to print and status BatchOk.
bool parseBatchArguments(const QStringList &arguments, BatchOptions *options, QString *message,
                         BatchStatus *status);
