// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

class Character;
class Node;

// The thread of one character: its nodes in time order. Owns neither the nodes nor the
// character.
class Rope {
public:
    std::vector<Node *> nodes;
    Character *character = nullptr;
};
