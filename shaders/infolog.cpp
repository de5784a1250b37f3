// SPDX-License-Identifier: MIT
#include "infolog.h"

#include <cstdio>

namespace shadekit::detail {

const char *fetchInfoLog(GLhandleARB handle, MallocBuffer &log, const char *noneText)
{
    GLint length = 0;
    glGetObjectParameterivARB(handle, GL_OBJECT_INFO_LOG_LENGTH_ARB, &length);
    CheckGLError(__FILE__, __LINE__);
    // A length of 1 is the terminating zero alone. A log from an earlier compile or link is
    // dropped too, so that it is never reported as the current one.
    if (length <= 1) {
        log.reset();
        return noneText;
    }

    log.reset(static_cast<char *>(std::malloc(static_cast<std::size_t>(length))));
    if (!log) {
        std::puts("ERROR: Could not allocate compiler_log buffer");
        return aGLSLStrings[GLSLOutOfMemory];
    }
    GLsizei written = 0;
    glGetInfoLogARB(handle, length, &written, log.get());
    CheckGLError(__FILE__, __LINE__);
    return log.get();
}

} // namespace shadekit::detail
