// SPDX-License-Identifier: MIT
#pragma once

// GLEW must come before every other GL header.
#include <GL/glew.h>

#include <cstdlib>
#include <memory>

namespace shadekit {

// GLSL is usable; set by HasGLSLSupport. Every operation that touches GL checks it first.
extern bool useGLSL;
// GLEW has been initialised successfully.
extern bool extensions_init;
// GL_EXT_geometry_shader4 is present; refreshed by HasGLSLSupport.
extern bool bGeometryShader;
// GL_EXT_gpu_shader4 is present; refreshed by HasGLSLSupport.
extern bool bGPUShader4;

// Fixed texts returned in place of a compiler or linker log, indexed by GLSLStringCode.
inline constexpr const char *aGLSLStrings[] = {
    "[e00] GLSL is not available!",
    "[e01] Not a valid program object!",
    "[e02] Not a valid object!",
    "[e03] Out of memory!",
    "[e04] Unknown compiler error!",
    "[e05] Linker log is not available!",
    "[e06] Compiler log is not available!",
};

// Indices into aGLSLStrings.
enum GLSLStringCode : int {
    GLSLNotAvailable = 0,
    GLSLInvalidProgramObject = 1,
    GLSLInvalidObject = 2,
    GLSLOutOfMemory = 3,
    GLSLUnknownCompilerError = 4,
    GLSLNoLinkerLog = 5,
    GLSLNoCompilerLog = 6,
};

// Initialises GLEW once (a failed attempt is retried on the next call), prints the GL vendor,
// renderer and version and runs HasGLSLSupport. Needs a current GL context.
bool InitOpenGLExtensions();

// Checks the GL level and the ARB shader extensions, prints what it found and sets useGLSL.
bool HasGLSLSupport();

// GL 2.0 is available; initialises the extensions first if needed.
bool HasOpenGL2Support();

// GL_EXT_geometry_shader4 is present.
bool HasGeometryShaderSupport();

// GL_EXT_gpu_shader4 is present.
bool HasShaderModel4();

// Prints every pending GL error with the given source position; true if there was one.
bool CheckGLError(const char *file, int line);

// Releases a buffer obtained with malloc; the logs and loaded sources are such buffers, so that
// an allocation failure is reported instead of thrown.
struct MallocDeleter {
    void operator()(char *buffer) const { std::free(buffer); }
};
using MallocBuffer = std::unique_ptr<char, MallocDeleter>;

} // namespace shadekit
