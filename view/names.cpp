// SPDX-License-Identifier: MIT
// Name labels along the threads of the 3-D modes, in GLUT stroke text.
#include "labelstrokes.h"

#include "rope.h"

void Rope::drawName(float xOffset, float angle, bool perLetter)
{
    LabelStrokes label;
    label.add(*this, xOffset, angle, perLetter);
    label.draw();
}
