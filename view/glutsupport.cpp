// SPDX-License-Identifier: MIT
#include "glutsupport.h"

#include <GL/glew.h>

#include <GL/freeglut.h>

#include <cstdlib>

namespace {

bool initialized = false;

} // namespace

void ensureGlutInitialized()
{
    if (initialized)
        return;
    // freeglut exits when it cannot open the display, so look before asking it to.
    const char *display = std::getenv("DISPLAY");
    if (!display || !*display)
        return;
    static char programName[] = "plotloom";
    static char *argv[] = {programName, nullptr};
    int argc = 1;
    glutInit(&argc, argv);
    initialized = true;
}

bool glutInitialized()
{
    return initialized;
}
