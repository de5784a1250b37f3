// SPDX-License-Identifier: MIT
#pragma once

#include <QStringList>

#include <vector>

class CharacterList;
class Node;
class Rope;
class Spring;

// The graph behind the thread view: one node per character per sampled moment of the text, one
// rope per character, springs between consecutive nodes of a rope and between characters present
// at the same moment, and the force simulation that lays them out. It knows nothing of GL, so the
// view that draws it inherits it.
class ThreadGraph {
public:
    ThreadGraph() = default;
    virtual ~ThreadGraph();
    ThreadGraph(const ThreadGraph &) = delete;
    ThreadGraph &operator=(const ThreadGraph &) = delete;

    // Samples list every step (a fraction of the text) and appends the nodes, springs and ropes;
    // the caller clears first. A list without scenes is only stored. Draws from std::rand().
    void init(CharacterList *list, float step);
    // Deletes the graph and forgets the list; graphBuilt and the selection stay.
    void clear();
    // Selects the last character whose name words equal names, or none.
    void setCharacter(const QStringList &names);
    // Selects the character named by a text whose words are separated by single spaces.
    void setCharacterFromSelection(const QString &text);

    // Advances the layout by one explicit step of length dt. Nodes move in x and z only.
    void simulate(float dt);
    // Adds the pairwise repulsion of one group of nodes to their forces.
    void applyRepelForces(std::vector<Node *> group);
    // Adds the cubic pull toward the time axis, along x only.
    void moveTowardsCenter(Node *node);
    // Adds the pull toward the plane z = 0.
    void moveTowardsPlane(Node *node);
    // Puts every node back at its home with zero velocity, restarting the layout.
    void resetLayout();

    CharacterList *characterList = nullptr; // not owned
    // Time step by time step, then by character: node j of step s is at s * N + j.
    std::vector<Node *> nodes;
    // Co-activity springs step by step, then rope springs rope by rope.
    std::vector<Spring *> springs;
    // One per character, in the order of the list's characters.
    std::vector<Rope *> ropes;
    // Set by init, cleared by clear.
    bool graphReady = false;
    // Set by init; only the main window clears it, when the graph no longer matches the text.
    bool graphBuilt = false;
    // Counts the changes to the graph that no simulation step makes: init, clear and
    // resetLayout. A view compares it to know when its picture is out of date.
    unsigned generation = 0;
    float timeAxisLength = 20.0f;
    float startRadius = 1.0f;
    float coactiveRestLength = 0.0001f;
    // Index into the list's characters; -1 for none. The selected thread is pinned to the axis.
    int selectedCharacter = -1;

    float repelStrength = 50.0f;
    // Zero switches centring off.
    float centerStrength = 10.0f;
    float planeStrength = 1000.0f;
    float dragCoefficient = 99.9f;
    // Whether the step pulls the nodes toward the plane z = 0 ("Move To Plane").
    bool moveToPlane = false;

private:
    // Whether node k of every rope is node k * N + j of the graph, in rope order, as init builds
    // it: the groups across the ropes are then the blocks of one time step.
    bool ropesFollowBlocks() const;
    // Adds the repulsion of count nodes to their forces, passes times over.
    void repel(Node *const *group, size_t count, int passes);
};
