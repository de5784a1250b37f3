// SPDX-License-Identifier: MIT
#pragma once

class Node;

// A damped spring between two nodes; its force acts on a with one sign and on b with the other.
class Spring {
public:
    Node *a = nullptr;
    Node *b = nullptr;
    float restLength = 0.0f;
    float stiffness = 0.0f;
    float damping = 0.0f;
    // True between two characters present at the same step, false between consecutive nodes
    // of one character.
    bool coactive = false;
};
