// SPDX-License-Identifier: MIT
#include "modelbuilder.h"
#include "node.h"
#include "rope.h"
#include "spring.h"
#include "threadgraph.h"

#include <QCheckBox>
#include <QtTest>

#include <memory>

namespace {

constexpr float frameStep = 0.016f;

// Lays out a graph by hand: nodes at the given positions, one per character per time step and
// strung on one rope per character, at rest with the mass and friction of a present character.
void layOut(ThreadGraph &graph, CharacterList &list, const QVector<QVector3D> &positions)
{
    const int n = list.characters.size();
    graph.characterList = &list;
    for (int j = 0; j < n; ++j)
        graph.ropes.push_back(new Rope{{}, list.characters.at(j)});
    for (int i = 0; i < positions.size(); ++i) {
        auto *node = new Node;
        node->position = node->home = positions.at(i);
        node->mass = 100.0f;
        node->activity = 1.0f;
        node->friction = 5.0f;
        graph.nodes.push_back(node);
        graph.ropes[size_t(i % n)]->nodes.push_back(node);
    }
}

// True when two vectors agree to a few parts in a million of the larger one.
bool near(const QVector3D &a, const QVector3D &b)
{
    return (a - b).length() <= 1e-5f * std::max({1.0f, a.length(), b.length()});
}

} // namespace

class TestSimulation : public QObject {
    Q_OBJECT
private slots:
    void springForce_data();
    void springForce();
    void nodeForces_data();
    void nodeForces();
    void repulsion_data();
    void repulsion();
    void repulsionTwicePerStep();
    void pinning_data();
    void pinning();
    void movesOnlyAcrossTheTimeAxis();
    void nothingWithoutList();
};

void TestSimulation::springForce_data()
{
    QTest::addColumn<QVector3D>("a");
    QTest::addColumn<QVector3D>("b");
    QTest::addColumn<QVector3D>("velocityA");
    QTest::addColumn<float>("restLength");
    QTest::addColumn<float>("stiffness");
    QTest::addColumn<QVector3D>("expected");

    const QVector3D rest;
    QTest::newRow("stretched") << rest << QVector3D(2, 0, 0) << rest << 1.0f << 5000.0f
                               << QVector3D(5000, 0, 0);
    QTest::newRow("compressed") << rest << QVector3D(2, 0, 0) << rest << 3.0f << 5000.0f
                                << QVector3D(-5000, 0, 0);
    QTest::newRow("coincident ends: damping only")
        << QVector3D(1, 0, 1) << QVector3D(1, 0, 1) << QVector3D(1, 0, 0) << 0.0001f << 5000.0f
        << QVector3D(-100, 0, 0);
    QTest::newRow("along the time axis")
        << rest << QVector3D(0, 2, 0) << rest << 1.0f << 5000.0f << rest;
    // (6e6, 8e6, 0) has size 1e7: cut to (3e6, 4e6, 0), then y goes.
    QTest::newRow("clipped before y is dropped")
        << rest << QVector3D(3, 4, 0) << rest << 0.0f << 2e6f << QVector3D(3e6f, 0, 0);
    QTest::newRow("below the limit")
        << rest << QVector3D(3, 4, 0) << rest << 0.0f << 8e5f << QVector3D(2.4e6f, 0, 0);
}

void TestSimulation::springForce()
{
    QFETCH(QVector3D, a);
    QFETCH(QVector3D, b);
    QFETCH(QVector3D, velocityA);
    QFETCH(float, restLength);
    QFETCH(float, stiffness);
    QFETCH(QVector3D, expected);

    ModelBuilder model({"A", "B"});
    ThreadGraph graph;
    layOut(graph, model.list, {a, b});
    graph.nodes[0]->velocity = velocityA;
    for (Node *node : graph.nodes)
        node->friction = 0.0f;
    graph.springs.push_back(
        new Spring{graph.nodes[0], graph.nodes[1], restLength, stiffness, 100.0f, false});
    graph.repelStrength = 0.0f;
    graph.centerStrength = 0.0f;
    graph.dragCoefficient = 0.0f;
    graph.simulate(frameStep);
    QVERIFY(near(graph.nodes[0]->force, expected));
    QVERIFY(near(graph.nodes[1]->force, -expected));
}

void TestSimulation::nodeForces_data()
{
    QTest::addColumn<QVector3D>("position");
    QTest::addColumn<QVector3D>("velocity");
    QTest::addColumn<float>("mass");
    QTest::addColumn<int>("planeBox"); // 0 none, 1 unchecked, 2 checked
    QTest::addColumn<QVector3D>("expected");

    const QVector3D origin;
    QTest::newRow("slow: drag only")
        << origin << QVector3D(0.05f, 0, 0) << 100.0f << 0 << QVector3D(-4.995f, 0, 0);
    QTest::newRow("fast: friction and drag")
        << origin << QVector3D(0.2f, 0, 0) << 100.0f << 0 << QVector3D(-500 - 19.98f, 0, 0);
    QTest::newRow("fast light node")
        << origin << QVector3D(0.2f, 0, 0) << 15.0f << 0 << QVector3D(-75 - 19.98f, 0, 0);
    QTest::newRow("fast along z") << origin << QVector3D(0, 0, -0.2f) << 100.0f << 0
                                  << QVector3D(0, 0, 500 + 19.98f);
    QTest::newRow("centring at x = 2")
        << QVector3D(2, 5, 0) << origin << 100.0f << 0 << QVector3D(-80, 0, 0);
    QTest::newRow("centring at x = -2")
        << QVector3D(-2, 5, 0) << origin << 100.0f << 0 << QVector3D(80, 0, 0);
    QTest::newRow("no box, no plane pull") << QVector3D(0, 0, 2) << origin << 100.0f << 0 << origin;
    QTest::newRow("unchecked box") << QVector3D(0, 0, 2) << origin << 100.0f << 1 << origin;
    QTest::newRow("plane pull") << QVector3D(0, 0, 2) << origin << 100.0f << 2
                                << QVector3D(0, 0, -2000);
    QTest::newRow("centring and plane")
        << QVector3D(1, 0, 3) << origin << 100.0f << 2 << QVector3D(-10, 0, -3000);
}

void TestSimulation::nodeForces()
{
    QFETCH(QVector3D, position);
    QFETCH(QVector3D, velocity);
    QFETCH(float, mass);
    QFETCH(int, planeBox);
    QFETCH(QVector3D, expected);

    ModelBuilder model({"A"});
    ThreadGraph graph;
    layOut(graph, model.list, {position});
    Node *node = graph.nodes[0];
    node->velocity = velocity;
    node->mass = mass;
    QCheckBox box;
    box.setChecked(planeBox == 2);
    if (planeBox)
        graph.moveToPlaneBox = &box;
    graph.simulate(frameStep);
    QVERIFY(near(node->force, expected));

    // Semi-implicit Euler: the updated velocity moves the node.
    const QVector3D newVelocity = velocity + expected / mass * frameStep;
    QVERIFY(near(node->velocity, newVelocity));
    QVERIFY(near(node->position, position + newVelocity * frameStep));
}

void TestSimulation::repulsion_data()
{
    QTest::addColumn<QVector<QVector3D>>("positions");
    QTest::addColumn<QVector<QVector3D>>("expected");

    QTest::newRow("alone") << QVector<QVector3D>{{0, 0, 0}} << QVector<QVector3D>{{0, 0, 0}};
    QTest::newRow("coincident") << QVector<QVector3D>{{1, 0, 1}, {1, 0, 1}}
                                << QVector<QVector3D>{{0, 0, 0}, {0, 0, 0}};
    // The distance counts y, the force has none: 50 * 4 / 25.0001 along z.
    QTest::newRow("apart in y and z") << QVector<QVector3D>{{0, 0, 0}, {0, 3, 4}}
                                      << QVector<QVector3D>{{0, 0, -7.99997f}, {0, 0, 7.99997f}};
    // Pairs with the first node count once (4.999995 and 2.4999994), the pair (1, 2) twice.
    QTest::newRow("three in a row")
        << QVector<QVector3D>{{0, 0, 0}, {10, 0, 0}, {20, 0, 0}}
        << QVector<QVector3D>{{-7.4999944f, 0, 0}, {-4.999995f, 0, 0}, {12.499984f, 0, 0}};
}

void TestSimulation::repulsion()
{
    QFETCH(QVector<QVector3D>, positions);
    QFETCH(QVector<QVector3D>, expected);

    ModelBuilder model({"A"});
    ThreadGraph graph;
    layOut(graph, model.list, positions);
    graph.applyRepelForces(graph.nodes);
    for (int i = 0; i < positions.size(); ++i)
        QVERIFY(near(graph.nodes[size_t(i)]->force, expected.at(i)));
}

void TestSimulation::repulsionTwicePerStep()
{
    // Two time steps of three characters nobody links: only repulsion acts, within each step,
    // once per block and once across the ropes.
    ModelBuilder model({"A", "B", "C"}, "0 1");
    ThreadGraph graph;
    graph.init(&model.list, 1.0f);
    QCOMPARE(graph.nodes.size(), size_t(6));
    for (size_t i = 0; i < 6; ++i) {
        graph.nodes[i]->position.setX(10.0f * float(i % 3));
        graph.nodes[i]->position.setZ(0.0f);
    }
    graph.centerStrength = 0.0f;
    graph.simulate(frameStep);
    const float expected[] = {-7.4999944f, -4.999995f, 12.499984f};
    for (size_t i = 0; i < 6; ++i)
        QVERIFY(near(graph.nodes[i]->force, QVector3D(2 * expected[i % 3], 0, 0)));
}

void TestSimulation::pinning_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("pinned");

    QTest::newRow("second") << 1 << 1;
    QTest::newRow("first") << 0 << 0;
    QTest::newRow("past the last character") << 4 << -1;
    QTest::newRow("none") << -1 << -1;
}

void TestSimulation::pinning()
{
    QFETCH(int, selected);
    QFETCH(int, pinned);

    ModelBuilder model({"A", "B", "C", "D"}, "0 1 A B C D");
    ThreadGraph graph;
    graph.init(&model.list, 0.5f);
    graph.selectedCharacter = selected;
    graph.simulate(frameStep);
    for (size_t i = 0; i < graph.nodes.size(); ++i) {
        const Node *node = graph.nodes[i];
        const QVector3D across(node->position.x(), 0, node->position.z());
        if (int(i % 4) == pinned) {
            QCOMPARE(across, QVector3D());
            QCOMPARE(node->velocity, QVector3D());
        } else {
            QVERIFY(across.length() > 0.5f);
        }
    }
}

void TestSimulation::movesOnlyAcrossTheTimeAxis()
{
    ModelBuilder model({"A", "B", "C"}, "0 0.5 A B | 0.5 1 B C");
    ThreadGraph graph;
    graph.init(&model.list, 0.1f);
    QCheckBox plane;
    plane.setChecked(true);
    graph.moveToPlaneBox = &plane;
    graph.selectedCharacter = 1;
    for (Node *node : graph.nodes)
        node->velocity = QVector3D(0, 1, 0);
    float moved = 0.0f;
    for (int frame = 0; frame < 100; ++frame) {
        graph.simulate(frameStep);
        for (const Node *node : graph.nodes) {
            QCOMPARE(node->position.y(), node->home.y());
            QCOMPARE(node->velocity.y(), 0.0f);
            moved = std::max(moved, (node->position - node->home).length());
        }
    }
    QVERIFY(moved > 0.1f);

    graph.resetLayout();
    for (const Node *node : graph.nodes) {
        QCOMPARE(node->position, node->home);
        QCOMPARE(node->velocity, QVector3D());
    }
}

void TestSimulation::nothingWithoutList()
{
    ModelBuilder model({"A", "B"}, "0 1 A B");
    ThreadGraph graph;
    graph.init(&model.list, 0.25f);
    graph.characterList = nullptr;
    for (Node *node : graph.nodes) {
        node->velocity = QVector3D(1, 0, 1);
        node->force = QVector3D(7, 0, 7);
    }
    graph.simulate(frameStep);
    for (const Node *node : graph.nodes) {
        QCOMPARE(node->position, node->home);
        QCOMPARE(node->velocity, QVector3D(1, 0, 1));
        QCOMPARE(node->force, QVector3D(7, 0, 7));
    }
}

QTEST_MAIN(TestSimulation)
#include "tst_simulation.moc"
