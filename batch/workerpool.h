// SPDX-License-Identifier: MIT
#pragma once

#include "corpussummary.h"

#include <QString>
#include <QStringList>
#include <QVector>

struct BatchOptions;

// Deals the screenplays to at most options.jobs worker processes of program, the largest files
// first, each to the worker with the fewest bytes so far, so that they finish together; each
// worker starts Qt once for all of its screenplays. Their progress lines are passed on as they
// come, under this process' numbering and the given names. When the options gather figures, those
// of the screenplays read are appended to read in the given order. Returns the exit status.
int runWorkers(const BatchOptions &options, const QStringList &names, const QString &program,
               QVector<CorpusSummary::Screenplay> *read);
