// SPDX-License-Identifier: MIT
#pragma once

#include "corpussummary.h"

#include <QString>
#include <QStringList>

#include <functional>

struct BatchOptions;
class ImageRenderer;

// What became of one screenplay of a run.
struct ScreenplayOutcome {
    // Whether the screenplay was read and parsed; its figures are valid only then.
    bool read = false;
    // "27 characters, 116 scenes", for the progress line.
    QString summary;
    // How the screenplay was read, when the reader has something to say of it.
    QString notice;
    // Each failure as a line for standard error, without the screenplay's name when it is the
    // screenplay that failed.
    QStringList errors;
    // The figures for a summary, when the run gathers them.
    CorpusSummary::Screenplay figures;

    bool ok() const { return read && errors.isEmpty(); }
};

// Reads, discovers and parses one screenplay with the settings of the working folder, writes the
// chosen outputs beside it or into the output folder, and draws its image when a renderer is
// given; long drawings report through progress.
ScreenplayOutcome processScreenplay(const QString &path, const BatchOptions &options,
                                    ImageRenderer *renderer,
                                    const std::function<void(const QString &)> &progress);
