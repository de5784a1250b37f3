// SPDX-License-Identifier: MIT
#pragma once

#include <QFunctionPointer>

// Parts of the programs that bring large libraries along (Poppler for PDFs; the widgets and GL
// for the command-line tool's images) live in modules loaded at their first use, so that a run
// that does not need them does not load them at start. A module is looked for beside the
// programs' libraries (lib/plotloom) and then in the build tree.

// The named function of the named module, or null when the module or the function is missing.
QFunctionPointer moduleFunction(const char *module, const char *function);
