// SPDX-License-Identifier: MIT
#pragma once

// freeglut ends the process when one of its functions runs before glutInit, and glutInit needs
// the X display. These helpers initialise it once per process, with no GLUT window of its own:
// spheres and stroke text then draw into whatever GL context is current.

// Calls glutInit once, after the QApplication exists. Without an X display (DISPLAY unset) it
// leaves GLUT uninitialised instead of letting freeglut end the process.
void ensureGlutInitialized();

// True once glutInit has run; GLUT drawing is skipped until then.
bool glutInitialized();
