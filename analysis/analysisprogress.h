// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Where the long loops over the text report how far they are and learn whether to stop: the
// window shows a progress dialog with a cancel button; without one nothing is shown.
class AnalysisProgress {
public:
    virtual ~AnalysisProgress() = default;
    // A stage of maximum steps begins under label.
    virtual void started(const QString &label, int maximum) = 0;
    virtual void setValue(int value) = 0;
    virtual void setTitle(const QString &title) = 0;
    // Polled once per line: true ends the loop early, and the pipeline goes on with what was done.
    virtual bool canceled() const = 0;
    // The stage has ended; its display must not show again.
    virtual void finished() = 0;
};
