// SPDX-License-Identifier: MIT
#pragma once

#include <QFunctionPointer>

// Parts of the programs that bring large libraries along (Poppler for PDFs; the widgets and GL
// for the command-line tool's images) live in modules loaded at their first use, so that a run
// that does not need them does not load them at start. A module is looked for only in
// LIBDIR/plotloom beside the program's folder (bin/../lib/plotloom), in the installed tree and
// the build tree alike.

// The named function of the named module, or null when the module or the function is missing.
QFunctionPointer moduleFunction(const char *module, const char *function);
