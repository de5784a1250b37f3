// SPDX-License-Identifier: MIT
#pragma once

#include "stdoutcapture.h"

#include <QStringList>

// Runs work with standard output captured and returns the lines it printed. Checks belong
// outside work: QtTest reports on standard output too, and a failure inside would vanish into
// the capture.
template <typename Work> QStringList printed(Work work)
{
    StdoutCapture out;
    work();
    return out.lines();
}
