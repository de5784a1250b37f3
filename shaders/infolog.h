// SPDX-License-Identifier: MIT
#pragma once

#include "glsupport.h"

namespace shadekit::detail {

// Replaces log with the info log GL holds for handle and returns it; returns noneText when GL
// holds no log, and the out-of-memory text when the buffer cannot be allocated.
const char *fetchInfoLog(GLhandleARB handle, MallocBuffer &log, const char *noneText);

} // namespace shadekit::detail
