// SPDX-License-Identifier: MIT
#include "threadgraph.h"

#include "characterlist.h"
#include "node.h"
#include "rope.h"
#include "spring.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <utility>

namespace {

// The start circle is laid out with this rounded pi, not the exact value; layouts depend on it.
constexpr float startAnglePi = 3.1415f;

constexpr float springStiffness = 5000.0f;
constexpr float springDamping = 100.0f;
constexpr float activeMass = 100.0f;
constexpr float inactiveMass = 15.0f;
constexpr float nodeFriction = 5.0f;
constexpr float activePresent = 1.0f;
constexpr float activeAbsent = 0.25f;
constexpr float activeOutside = 0.0f;
// Nodes below this activity at either end of a rope lie outside the character's span.
constexpr float spanThreshold = 0.7f;

bool occursIn(const TimeIndex *scene, int character)
{
    return character < scene->counts.size() && scene->counts.at(character) != 0;
}

} // namespace

ThreadGraph::~ThreadGraph()
{
    clear();
}

void ThreadGraph::init(CharacterList *list, float step)
{
    ++generation;
    characterList = list;
    if (!list || list->timeIndices.isEmpty())
        return;

    const QVector<Character *> &characters = list->characters;
    const QVector<TimeIndex *> &scenes = list->timeIndices;
    const int n = characters.size();
    timeAxisLength = 20.0f;

    for (Character *character : characters) {
        auto *rope = new Rope;
        rope->character = character;
        ropes.push_back(rope);
    }

    std::vector<float> angles(n);
    for (int j = 0; j < n; ++j)
        angles[j] = (2.0f * float(j) / float(n)) * startAnglePi;
    for (int k = 1; k < n; ++k)
        std::swap(angles[k], angles[std::rand() % (k + 1)]);

    const size_t ropeBase = ropes.size() - size_t(n);
    std::vector<Node *> active;
    int prevScene = 0;
    // t accumulates in single precision, so the last sample may land just below or above 1.
    float t = 0.0f;
    do {
        int s = 0;
        while (s < scenes.size() && !(scenes.at(s)->start <= t && t <= scenes.at(s)->stop))
            ++s;
        if (s < scenes.size()) {
            active.clear();
            for (int j = 0; j < n; ++j) {
                auto *node = new Node;
                node->position =
                    QVector3D(std::sin(angles[j]) * startRadius, timeAxisLength * (0.5f - t),
                              std::cos(angles[j]) * startRadius);
                node->home = node->position;
                node->color = &characters.at(j)->color;
                node->mass = activeMass;
                node->activity = activePresent;
                node->friction = nodeFriction;

                // The previous step's scene counts again, so that a character who speaks only
                // in a scene the sampling steps over still shows as present. Should the sweep go
                // back to an earlier scene, the range is empty and nobody is present.
                bool present = false;
                for (int k = prevScene; k <= s && !present; ++k)
                    present = occursIn(scenes.at(k), j);
                if (present) {
                    active.push_back(node);
                } else {
                    node->activity = activeAbsent;
                    node->mass = inactiveMass;
                }
                nodes.push_back(node);
                ropes[ropeBase + size_t(j)]->nodes.push_back(node);
            }
            for (size_t p = 0; p < active.size(); ++p) {
                for (size_t q = p + 1; q < active.size(); ++q) {
                    auto *spring = new Spring;
                    spring->a = active[p];
                    spring->b = active[q];
                    spring->restLength = coactiveRestLength;
                    spring->stiffness = springStiffness;
                    spring->damping = springDamping;
                    spring->coactive = true;
                    springs.push_back(spring);
                }
            }
            prevScene = s;
        }
        // A step too small to move t (or not positive) would never reach the end.
        const float next = t + step;
        if (!(next > t))
            break;
        t = next;
    } while (t <= 1.0f);

    for (size_t r = ropeBase; r < ropes.size(); ++r) {
        std::vector<Node *> &thread = ropes[r]->nodes;
        for (size_t k = 0; k + 1 < thread.size(); ++k) {
            auto *spring = new Spring;
            spring->a = thread[k];
            spring->b = thread[k + 1];
            spring->restLength = (thread[k]->position - thread[k + 1]->position).length();
            spring->stiffness = springStiffness;
            spring->damping = springDamping;
            spring->coactive = false;
            springs.push_back(spring);
        }
        for (auto it = thread.begin(); it != thread.end() && (*it)->activity < spanThreshold; ++it)
            (*it)->activity = activeOutside;
        for (auto it = thread.rbegin(); it != thread.rend() && (*it)->activity < spanThreshold;
             ++it)
            (*it)->activity = activeOutside;
    }

    graphReady = true;
    graphBuilt = true;
}

void ThreadGraph::clear()
{
    ++generation;
    graphReady = false;
    characterList = nullptr;
    for (Rope *rope : ropes)
        delete rope;
    ropes.clear();
    for (Node *node : nodes)
        delete node;
    nodes.clear();
    for (Spring *spring : springs)
        delete spring;
    springs.clear();
}

void ThreadGraph::setCharacter(const QStringList &names)
{
    selectedCharacter = -1;
    if (!characterList)
        return;
    const QVector<Character *> &characters = characterList->characters;
    for (int i = 0; i < characters.size(); ++i) {
        if (characters.at(i)->names == names)
            selectedCharacter = i;
    }
}

void ThreadGraph::setCharacterFromSelection(const QString &text)
{
    QStringList words = text.split(QLatin1Char(' '), Qt::KeepEmptyParts, Qt::CaseSensitive);
    if (!words.isEmpty() && words.last().isNull())
        words.removeLast();
    setCharacter(words);
}

void ThreadGraph::simulate(float dt)
{
    // Spring forces beyond this are cut to it, keeping a badly stretched graph from exploding.
    constexpr float springForceLimit = 5000000.0f;
    // Below this speed a node feels no friction, so that it can come to rest.
    constexpr float frictionSpeed = 0.1f;

    if (!characterList)
        return;
    const size_t n = size_t(characterList->characters.size());

    for (Node *node : nodes)
        node->force = QVector3D();

    for (Spring *spring : springs) {
        Node *a = spring->a;
        Node *b = spring->b;
        const QVector3D d = a->position - b->position;
        const float length = d.length();
        QVector3D f;
        if (length != 0.0f)
            f = -spring->stiffness * (length - spring->restLength) * d / length;
        f -= spring->damping * (a->velocity - b->velocity);
        const float size = f.length();
        if (size > springForceLimit)
            f = springForceLimit * f / size;
        f.setY(0.0f);
        a->force += f;
        b->force -= f;
    }

    // Each time step is repelled twice: once as a block of nodes, once across the ropes. Where the
    // graph is as init builds it, the group across the ropes is the block again, and nothing
    // moves in between: each block is repelled twice at once.
    if (ropesFollowBlocks()) {
        for (size_t start = 0; start < nodes.size(); start += n)
            repel(&nodes[start], n, 2);
    } else {
        if (n > 0) {
            for (size_t start = 0; start < nodes.size(); start += n)
                repel(&nodes[start], std::min(n, nodes.size() - start), 1);
        }
        if (ropes.empty())
            return;
        const size_t steps = ropes.front()->nodes.size();
        std::vector<Node *> group;
        for (size_t k = 0; k < steps; ++k) {
            group.clear();
            for (Rope *rope : ropes) {
                if (k < rope->nodes.size())
                    group.push_back(rope->nodes[k]);
            }
            repel(group.data(), group.size(), 1);
        }
    }

    if (centerStrength != 0.0f) {
        for (Node *node : nodes)
            moveTowardsCenter(node);
    }
    if (moveToPlane) {
        for (Node *node : nodes)
            moveTowardsPlane(node);
    }
    for (Node *node : nodes)
        node->force += -dragCoefficient * node->velocity;

    for (Node *node : nodes) {
        const float speed = node->velocity.length();
        if (speed > frictionSpeed)
            node->force += -(node->velocity / speed) * node->mass * node->friction;
        node->velocity.setX(node->velocity.x() + (node->force.x() / node->mass) * dt);
        node->velocity.setZ(node->velocity.z() + (node->force.z() / node->mass) * dt);
        node->velocity.setY(0.0f);
        node->position.setX(node->position.x() + node->velocity.x() * dt);
        node->position.setZ(node->position.z() + node->velocity.z() * dt);
    }

    if (selectedCharacter >= 0 && size_t(selectedCharacter) < n) {
        for (size_t i = size_t(selectedCharacter); i < nodes.size(); i += n) {
            nodes[i]->position.setX(0.0f);
            nodes[i]->position.setZ(0.0f);
            nodes[i]->velocity = QVector3D();
        }
    }
}

void ThreadGraph::applyRepelForces(std::vector<Node *> group)
{
    repel(group.data(), group.size(), 1);
}

bool ThreadGraph::ropesFollowBlocks() const
{
    const size_t n = characterList ? size_t(characterList->characters.size()) : 0;
    if (n == 0 || ropes.size() != n || nodes.size() % n != 0)
        return false;
    const size_t steps = nodes.size() / n;
    for (size_t j = 0; j < n; ++j) {
        const std::vector<Node *> &thread = ropes[j]->nodes;
        if (thread.size() != steps)
            return false;
        for (size_t k = 0; k < steps; ++k) {
            if (thread[k] != nodes[k * n + j])
                return false;
        }
    }
    return true;
}

void ThreadGraph::repel(Node *const *group, size_t count, int passes)
{
    // Keeps the force finite when two nodes coincide.
    constexpr double repelSoftening = 0.0001;

    // j starts at 1 whatever i is, so a pair that leaves out the group's first node is repelled
    // twice; the layouts depend on that weighting.
    //
    // The pairs run over flat copies of the positions and forces: the nodes lie scattered on the
    // heap, and this loop is most of a simulation step. The arithmetic and its order are those of
    // the vector expressions, so the result is the same to the bit. The repulsion lies in the
    // plane, so the y force is left as it is. A second pass adds the forces of the first again,
    // pair by pair in the same order, as a second call with the same positions would.
    thread_local std::vector<float> scratch;
    thread_local std::vector<float> pairs;
    scratch.resize(5 * count);
    float *const px = scratch.data();
    float *const py = px + count;
    float *const pz = py + count;
    float *const fx = pz + count;
    float *const fz = fx + count;
    for (size_t i = 0; i < count; ++i) {
        px[i] = group[i]->position.x();
        py[i] = group[i]->position.y();
        pz[i] = group[i]->position.z();
        fx[i] = group[i]->force.x();
        fz[i] = group[i]->force.z();
    }
    // Node i's force gains the pairs (i, j) in the order of j; node j's loses one at a time. The
    // sums run in locals, which j, never equal to i, cannot touch.
    pairs.resize(passes > 1 ? 2 * count * count : 0);
    float *pair = pairs.data();
    for (size_t i = 0; i < count; ++i) {
        float ax = fx[i];
        float az = fz[i];
        for (size_t j = 1; j < count; ++j) {
            if (j == i)
                continue;
            const float dx = px[i] - px[j];
            const float dy = py[i] - py[j];
            const float dz = pz[i] - pz[j];
            const float lengthSquared = dx * dx + dy * dy + dz * dz;
            const float s = float(double(repelStrength) / (double(lengthSquared) + repelSoftening));
            const float sx = s * dx;
            const float sz = s * dz;
            ax += sx;
            az += sz;
            fx[j] -= sx;
            fz[j] -= sz;
            if (passes > 1) {
                *pair++ = sx;
                *pair++ = sz;
            }
        }
        fx[i] = ax;
        fz[i] = az;
    }
    for (int pass = 1; pass < passes; ++pass) {
        pair = pairs.data();
        for (size_t i = 0; i < count; ++i) {
            float ax = fx[i];
            float az = fz[i];
            for (size_t j = 1; j < count; ++j) {
                if (j == i)
                    continue;
                ax += pair[0];
                az += pair[1];
                fx[j] -= pair[0];
                fz[j] -= pair[1];
                pair += 2;
            }
            fx[i] = ax;
            fz[i] = az;
        }
    }
    for (size_t i = 0; i < count; ++i) {
        group[i]->force.setX(fx[i]);
        group[i]->force.setZ(fz[i]);
    }
}

void ThreadGraph::moveTowardsCenter(Node *node)
{
    // Centring acts along x only; the plane pull looks after z.
    const QVector3D c(node->position.x(), 0.0f, 0.0f);
    const float length = c.length();
    const QVector3D u = double(length) * double(length) > 1e-12 ? c / length : QVector3D();
    node->force.setX(node->force.x() - centerStrength * u.x() * length * length * length);
}

void ThreadGraph::moveTowardsPlane(Node *node)
{
    node->force.setZ(node->force.z() - planeStrength * node->position.z());
}

void ThreadGraph::resetLayout()
{
    ++generation;
    for (Node *node : nodes) {
        node->position = node->home;
        node->velocity = QVector3D();
    }
}
