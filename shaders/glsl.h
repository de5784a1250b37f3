// SPDX-License-Identifier: MIT
// The shader library in one include: capability checks, shader stages, programs and the
// manager that builds them. Include it before any other GL or Qt OpenGL header, since it brings
// in GLEW.
#pragma once

#include "glsupport.h"

#include "glshader.h"
#include "glshadermanager.h"
#include "glshaderobject.h"
