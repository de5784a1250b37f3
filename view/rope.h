// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

class Character;
class Node;

// The thread of one character: its nodes in time order. Owns neither the nodes nor the
// character.
class Rope {
public:
    // Writes the character's name down its thread, a word every other node from the middle of
    // its span of presence, in its colour over a soft shadow. xOffset shifts the label sideways;
    // angle (degrees about the time axis) turns each word to face the viewer. perLetter places
    // every letter on a node of its own instead of every word. Defined with the drawing code of
    // the view library, into the current GL context.
    void drawName(float xOffset, float angle, bool perLetter);

    std::vector<Node *> nodes;
    Character *character = nullptr;
};
