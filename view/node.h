// SPDX-License-Identifier: MIT
#pragma once

#include <QVector3D>

class QColor;

// One character at one sampled moment of the text. y is the node's place on the time axis; the
// simulation moves it in x and z only.
class Node {
public:
    QVector3D position;
    // Where the node was built; resetting the layout copies it back into position.
    QVector3D home;
    // The character's own colour, read live so that recolouring shows at once.
    QColor *color = nullptr;
    QVector3D velocity;
    // Accumulated during one simulation step.
    QVector3D force;
    float mass = 0.0f;
    // 1.0 present at this step, 0.25 absent inside the character's span, 0 outside it.
    float activity = 0.0f;
    // Size of the kinetic friction, as a multiple of the mass.
    float friction = 0.0f;
};
