// SPDX-License-Identifier: MIT
// Qt's GL classes, not GLEW: this file must not include both.
#include "multisampling.h"

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QOpenGLFunctions_1_1>
#include <QSurfaceFormat>

namespace {

constexpr int probeSamples = 4;
// The left part of the pixel the probe covers: between two sample positions of any common
// pattern, so an antialiasing buffer shows a partly covered pixel.
constexpr float coveredPart = 0.45f;

bool probe()
{
    QSurfaceFormat format;
    format.setSamples(probeSamples);
    QOffscreenSurface surface;
    surface.setFormat(format);
    surface.create();
    QOpenGLContext context;
    context.setFormat(format);
    if (!surface.isValid() || !context.create() || !context.makeCurrent(&surface))
        return true;
    auto *gl = context.versionFunctions<QOpenGLFunctions_1_1>();
    if (!gl || context.format().samples() < 2) {
        context.doneCurrent();
        return true;
    }
    gl->initializeOpenGLFunctions();
    gl->glViewport(0, 0, 1, 1);
    gl->glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    gl->glClear(GL_COLOR_BUFFER_BIT);
    gl->glMatrixMode(GL_PROJECTION);
    gl->glLoadIdentity();
    gl->glOrtho(0.0, 1.0, 0.0, 1.0, -1.0, 1.0);
    gl->glMatrixMode(GL_MODELVIEW);
    gl->glLoadIdentity();
    gl->glColor3f(1.0f, 1.0f, 1.0f);
    gl->glBegin(GL_QUADS);
    gl->glVertex2f(0.0f, 0.0f);
    gl->glVertex2f(coveredPart, 0.0f);
    gl->glVertex2f(coveredPart, 1.0f);
    gl->glVertex2f(0.0f, 1.0f);
    gl->glEnd();
    GLubyte pixel[4] = {};
    gl->glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    context.doneCurrent();
    // All or nothing: the pixel shows one sample.
    return pixel[0] != 0 && pixel[0] != 255;
}

} // namespace

bool multisamplingAntialiases()
{
    static const bool antialiases = probe();
    return antialiases;
}
