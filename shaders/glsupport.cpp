// SPDX-License-Identifier: MIT
#include "glsupport.h"

#include <GL/glu.h>

#include <cstdio>

namespace shadekit {

bool useGLSL = false;
bool extensions_init = false;
bool bGeometryShader = false;
bool bGPUShader4 = false;

namespace {

// A GL implementation keeps one flag per error code, so a context never has more pending errors
// than this; the bound stops the loop if a broken context reports an error on every call.
constexpr int maxPendingGLErrors = 32;

const char *glText(GLenum name)
{
    const GLubyte *text = glGetString(name);
    CheckGLError(__FILE__, __LINE__);
    return text ? reinterpret_cast<const char *>(text) : "";
}

void warnMissing(const char *extension)
{
    std::printf("[WARNING] %s extension is not available!\n", extension);
    useGLSL = false;
}

} // namespace

bool InitOpenGLExtensions()
{
    if (extensions_init)
        return true;
    extensions_init = true;

    const GLenum err = glewInit();
    if (err != GLEW_OK) {
        std::printf("Error:%s\n", reinterpret_cast<const char *>(glewGetErrorString(err)));
        extensions_init = false;
        return false;
    }

    std::printf("OpenGL Vendor: %s\n", glText(GL_VENDOR));
    std::printf("OpenGL Renderer: %s\n", glText(GL_RENDERER));
    std::printf("OpenGL Version: %s\n", glText(GL_VERSION));
    std::printf("\n");
    HasGLSLSupport();
    return true;
}

bool HasGLSLSupport()
{
    bGeometryShader = HasGeometryShaderSupport();
    bGPUShader4 = HasShaderModel4();

    if (useGLSL)
        return true;
    // Set before initialising: InitOpenGLExtensions calls back here and must return at once.
    useGLSL = true;
    if (!extensions_init)
        InitOpenGLExtensions();

    if (GLEW_VERSION_2_0)
        std::puts("OpenGL 2.0 (or higher) is available!");
    else if (GLEW_VERSION_1_5)
        std::puts("OpenGL 1.5 core functions are available");
    else if (GLEW_VERSION_1_4)
        std::puts("OpenGL 1.4 core functions are available");
    else if (GLEW_VERSION_1_3)
        std::puts("OpenGL 1.3 core functions are available");
    else if (GLEW_VERSION_1_2)
        std::puts("OpenGL 1.2 core functions are available");

    if (!GLEW_ARB_fragment_shader)
        warnMissing("GL_ARB_fragment_shader");
    if (!GLEW_ARB_vertex_shader)
        warnMissing("GL_ARB_vertex_shader");
    if (!GLEW_ARB_shader_objects)
        warnMissing("GL_ARB_shader_objects");

    if (useGLSL)
        std::puts("[OK] OpenGL Shading Language is available!\n");
    else
        std::puts("[FAILED] OpenGL Shading Language is not available...\n");
    return useGLSL;
}

bool HasOpenGL2Support()
{
    if (!extensions_init)
        InitOpenGLExtensions();
    return GLEW_VERSION_2_0;
}

bool HasGeometryShaderSupport()
{
    return GLEW_EXT_geometry_shader4;
}

bool HasShaderModel4()
{
    return GLEW_EXT_gpu_shader4;
}

bool CheckGLError(const char *file, int line)
{
    bool found = false;
    for (int n = 0; n < maxPendingGLErrors; ++n) {
        const GLenum err = glGetError();
        if (err == GL_NO_ERROR)
            break;
        found = true;
        std::printf("GL Error #%u", err);
        const GLubyte *text = gluErrorString(err);
        if (text)
            std::printf("(%s) ", reinterpret_cast<const char *>(text));
        else
            std::printf(" (no message available)");
        std::printf(" in File %s at line: %d\n", file, line);
    }
    return found;
}

} // namespace shadekit
