// SPDX-License-Identifier: MIT
#include "modelbuilder.h"
#include "node.h"
#include "rope.h"
#include "spring.h"
#include "threadgraph.h"

#include <QtTest>

#include <cmath>
#include <cstdlib>
#include <set>

class TestThreadGraph : public QObject {
    Q_OBJECT
private slots:
    void counts_data();
    void counts();
    void activity_data();
    void activity();
    void nodeOrderAndStartCircle();
    void springOrder();
    void listWithoutScenes();
    void selection_data();
    void selection();
};

void TestThreadGraph::counts_data()
{
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QString>("layout");
    QTest::addColumn<float>("step");
    QTest::addColumn<int>("samples");
    QTest::addColumn<int>("coactive");

    QTest::newRow("all present") << QStringList{"A", "B", "C"} << "0 1 A B C" << 0.25f << 5 << 15;
    QTest::newRow("step in a gap makes no nodes")
        << QStringList{"A", "B"} << "0 0.3 A B | 0.6 1 A B" << 0.25f << 4 << 4;
    QTest::newRow("last scene stops early") << QStringList{"A"} << "0 0.5 A" << 0.25f << 3 << 0;
    QTest::newRow("one present, no pairs") << QStringList{"A", "B"} << "0 1 A" << 0.25f << 5 << 0;
    QTest::newRow("nobody present") << QStringList{"A", "B", "C"} << "0 1" << 0.25f << 5 << 0;
    // Accumulated in single precision, t stays just below 1 after 100 steps of 0.01.
    QTest::newRow("hundredths in single precision")
        << QStringList{"A"} << "0 1 A" << 0.01f << 101 << 0;
    QTest::newRow("thirds reach 1") << QStringList{"A", "B"} << "0 1 A B" << 1.0f / 3 << 4 << 4;
    // Steps: ABC, ABC, ABC (0.5 belongs to the first scene), ABCD (previous scene too), CD.
    QTest::newRow("previous scene counts again")
        << QStringList{"A", "B", "C", "D"} << "0 0.5 A B C | 0.5 1 C D" << 0.25f << 5 << 16;
    QTest::newRow("no characters") << QStringList{} << "0 1" << 0.25f << 5 << 0;
}

void TestThreadGraph::counts()
{
    QFETCH(QStringList, names);
    QFETCH(QString, layout);
    QFETCH(float, step);
    QFETCH(int, samples);
    QFETCH(int, coactive);

    ModelBuilder model(names, layout);
    const size_t n = size_t(names.size());
    ThreadGraph graph;
    graph.init(&model.list, step);
    QVERIFY(graph.graphReady);
    QVERIFY(graph.graphBuilt);
    QCOMPARE(graph.nodes.size(), n * size_t(samples));
    QCOMPARE(graph.ropes.size(), n);
    for (const Rope *rope : graph.ropes)
        QCOMPARE(rope->nodes.size(), size_t(samples));
    QCOMPARE(graph.springs.size(), size_t(coactive) + n * size_t(samples - 1));
    for (size_t i = 0; i < graph.springs.size(); ++i)
        QCOMPARE(graph.springs[i]->coactive, i < size_t(coactive));

    // Building again without clearing appends a second graph.
    graph.init(&model.list, step);
    QCOMPARE(graph.nodes.size(), 2 * n * size_t(samples));
    QCOMPARE(graph.ropes.size(), 2 * n);
}

void TestThreadGraph::activity_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<int>("character");
    QTest::addColumn<QString>("expected");

    // Steps of 0.125 fall in scenes 0 0 0 1 1 2 2 3 3 (a boundary belongs to the earlier scene).
    const QString quarters = "0 0.25 EARLY GAPPY | 0.25 0.5 MIDDLE | 0.5 0.75 LATE | 0.75 1 GAPPY";
    QTest::newRow("early, carried into the next scene") << quarters << 0 << "1 1 1 1 0 0 0 0 0";
    QTest::newRow("middle only") << quarters << 1 << "0 0 0 1 1 1 0 0 0";
    QTest::newRow("absent inside the span") << quarters << 2 << "1 1 1 1 .25 .25 .25 1 1";
    QTest::newRow("late, ends before the last step") << quarters << 3 << "0 0 0 0 0 1 1 1 0";
    QTest::newRow("never present") << quarters << 4 << "0 0 0 0 0 0 0 0 0";
    // Scenes out of text order: at 0.5 the sweep goes back to scene 0, which counts as absent.
    QTest::newRow("earlier scene after a later one")
        << "0.5 1 EARLY | 0 0.5 EARLY" << 0 << "1 1 1 1 .25 1 1 1 1";
}

void TestThreadGraph::activity()
{
    QFETCH(QString, layout);
    QFETCH(int, character);
    QFETCH(QString, expected);

    ModelBuilder model({"EARLY", "MIDDLE", "GAPPY", "LATE", "NEVER"}, layout);
    ThreadGraph graph;
    graph.init(&model.list, 0.125f);
    const QStringList values = expected.split(' ');
    const Rope *rope = graph.ropes.at(size_t(character));
    QCOMPARE(rope->nodes.size(), size_t(values.size()));
    for (size_t s = 0; s < rope->nodes.size(); ++s) {
        const Node *node = rope->nodes[s];
        const float activity = values.at(int(s)).toFloat();
        QCOMPARE(node->activity, activity);
        QCOMPARE(node->mass, activity == 1.0f ? 100.0f : 15.0f);
        QCOMPARE(node->friction, 5.0f);
    }
}

void TestThreadGraph::nodeOrderAndStartCircle()
{
    ModelBuilder model({"A", "B", "C", "D"}, "0 1 A B C D");
    const auto layout = [&model](unsigned seed) {
        std::srand(seed);
        ThreadGraph graph;
        graph.init(&model.list, 0.5f);
        std::vector<std::pair<float, float>> starts;
        for (size_t j = 0; j < 4; ++j)
            starts.emplace_back(graph.nodes[j]->position.x(), graph.nodes[j]->position.z());
        return starts;
    };

    std::srand(7);
    ThreadGraph graph;
    graph.init(&model.list, 0.5f);
    QCOMPARE(graph.nodes.size(), size_t(12));
    std::set<int> anglesUsed;
    for (size_t s = 0; s < 3; ++s) {
        for (size_t j = 0; j < 4; ++j) {
            const Node *node = graph.nodes[s * 4 + j];
            QCOMPARE(node, graph.ropes[j]->nodes[s]);
            QCOMPARE(node->color, &model.owned[j]->color);
            QCOMPARE(node->position, node->home);
            QCOMPARE(node->velocity, QVector3D());
            QCOMPARE(node->position.y(), 20.0f * (0.5f - 0.5f * float(s)));
            QCOMPARE(node->position.x(), graph.nodes[j]->position.x());
            QCOMPARE(node->position.z(), graph.nodes[j]->position.z());
        }
    }
    // Each character starts at one of the angles 2j/N * 3.1415 (not pi: sin(3.1415) is 9.3e-5).
    for (size_t j = 0; j < 4; ++j) {
        for (int k = 0; k < 4; ++k) {
            const float angle = 2.0f * float(k) / 4.0f * 3.1415f;
            if (std::abs(graph.nodes[j]->position.x() - std::sin(angle)) < 1e-6f &&
                std::abs(graph.nodes[j]->position.z() - std::cos(angle)) < 1e-6f)
                anglesUsed.insert(k);
        }
    }
    QCOMPARE(anglesUsed.size(), size_t(4));

    // The shuffle draws from the process's rand(): a seed repeats it, other seeds vary it.
    QCOMPARE(layout(7), layout(7));
    std::set<std::vector<std::pair<float, float>>> arrangements;
    for (unsigned seed = 1; seed <= 20; ++seed)
        arrangements.insert(layout(seed));
    QVERIFY(arrangements.size() > 1);
}

void TestThreadGraph::springOrder()
{
    ModelBuilder model({"A", "B", "C"}, "0 1 A B C");
    ThreadGraph graph;
    graph.init(&model.list, 0.5f);
    // Three pairs at each of three steps, then two springs along each of three ropes.
    QCOMPARE(graph.springs.size(), size_t(9 + 6));
    const std::pair<size_t, size_t> pairs[] = {{0, 1}, {0, 2}, {1, 2}};
    for (size_t i = 0; i < 9; ++i) {
        const Spring *spring = graph.springs[i];
        QCOMPARE(spring->a, graph.nodes[i / 3 * 3 + pairs[i % 3].first]);
        QCOMPARE(spring->b, graph.nodes[i / 3 * 3 + pairs[i % 3].second]);
        QCOMPARE(spring->restLength, 0.0001f);
        QCOMPARE(spring->stiffness, 5000.0f);
        QCOMPARE(spring->damping, 100.0f);
    }
    for (size_t i = 9; i < 15; ++i) {
        const Spring *spring = graph.springs[i];
        const Rope *rope = graph.ropes[(i - 9) / 2];
        QCOMPARE(spring->a, rope->nodes[(i - 9) % 2]);
        QCOMPARE(spring->b, rope->nodes[(i - 9) % 2 + 1]);
        QCOMPARE(spring->restLength, 10.0f);
        QCOMPARE(spring->stiffness, 5000.0f);
        QCOMPARE(spring->damping, 100.0f);
    }
}

void TestThreadGraph::listWithoutScenes()
{
    ModelBuilder empty({"A"});
    ModelBuilder full({"A"}, "0 1 A");
    ThreadGraph graph;
    graph.init(&empty.list, 0.1f);
    QCOMPARE(graph.characterList, &empty.list);
    QVERIFY(graph.nodes.empty() && graph.ropes.empty() && graph.springs.empty());
    QVERIFY(!graph.graphReady);
    QVERIFY(!graph.graphBuilt);

    graph.init(&full.list, 0.1f);
    graph.selectedCharacter = 0;
    graph.clear();
    QVERIFY(graph.nodes.empty() && graph.ropes.empty() && graph.springs.empty());
    QVERIFY(!graph.characterList);
    QVERIFY(!graph.graphReady);
    QVERIFY(graph.graphBuilt);
    QCOMPARE(graph.selectedCharacter, 0);

    graph.init(&empty.list, 0.1f);
    QVERIFY(!graph.graphReady);
    QVERIFY(graph.graphBuilt);
}

void TestThreadGraph::selection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("one word") << "MRS" << 3;
    QTest::newRow("two words") << "MRS SMITH" << 1;
    QTest::newRow("trailing space") << "MRS " << -1;
    QTest::newRow("two spaces between words") << "MRS  SMITH" << -1;
    QTest::newRow("later of equal names") << "JOHN" << 2;
    QTest::newRow("case matters") << "john" << -1;
    QTest::newRow("unknown") << "ANNA" << -1;
}

void TestThreadGraph::selection()
{
    QFETCH(QString, text);
    QFETCH(int, expected);

    ModelBuilder model({"JOHN", "MRS SMITH", "JOHN", "MRS"});
    ThreadGraph graph;
    graph.selectedCharacter = 0;
    graph.setCharacterFromSelection(text);
    QCOMPARE(graph.selectedCharacter, -1); // no list, nothing to select

    graph.init(&model.list, 0.1f);
    graph.selectedCharacter = 0;
    graph.setCharacterFromSelection(text);
    QCOMPARE(graph.selectedCharacter, expected);
}

QTEST_GUILESS_MAIN(TestThreadGraph)
#include "tst_threadgraph.moc"
