// SPDX-License-Identifier: MIT
#pragma once

#include "batchoptions.h"

#include <QString>

#include <memory>

class QCoreApplication;

// One line on standard error, where the tool's progress and errors go.
void report(const QString &line);
// "[3/7] ", the numbering of a screenplay's progress lines.
QString progressPrefix(int index, int count);

// The application of a run: one that can draw when images are asked for and DISPLAY names a
// display (made by the image module), else one without a GUI.
std::unique_ptr<QCoreApplication> batchApplication(int &argc, char **argv, bool draw);

// True when the application can draw images: a QApplication connected to an X display.
bool batchCanDraw();

// Processes every screenplay of the options, one after another or in parallel processes, and
// returns the exit status. Needs a QCoreApplication, or a QApplication when images are asked for.
int runBatch(const BatchOptions &options, const QString &program);
