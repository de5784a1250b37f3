// SPDX-License-Identifier: MIT
// What the four drawing modes put on screen, read back from the frame. Samples lie inside
// shapes, away from edges, since software GL draws no antialiased pixels to rely on.
#include "modelbuilder.h"
#include "node.h"
#include "rope.h"
#include "stdoutcapture.h"
#include "viewharness.h"

#include <QCheckBox>

#include <QHash>

#include <algorithm>
#include <cmath>

namespace {

const QColor anna(230, 40, 40);
const QColor bob(40, 60, 220);
const QColor carl(40, 190, 60);
const QColor black(0, 0, 0);
const QColor evenBand = QColor::fromRgbF(0.8, 0.8, 0.8);
const QColor oddBand = QColor::fromRgbF(0.9, 0.9, 0.9);

// src over dst with the given alpha, as the translucent fills are drawn.
QColor over(const QColor &src, const QColor &dst, double alpha)
{
    const auto mix = [alpha](int s, int d) {
        return int(std::lround(s * alpha + d * (1 - alpha)));
    };
    return QColor(mix(src.red(), dst.red()), mix(src.green(), dst.green()),
                  mix(src.blue(), dst.blue()));
}

// How many pixels of a rectangle are within a small tolerance of colour.
int countNear(const QImage &image, const QRect &area, const QColor &color, int tolerance = 3)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += near(image.pixelColor(x, y), color, tolerance) ? 1 : 0;
    }
    return count;
}

// The darkest grey level among the pixel and its neighbours across a line through it.
int darkest(const QImage &image, const QPoint &at, bool horizontalLine)
{
    int level = 255;
    for (int d = -1; d <= 1; ++d) {
        const QPoint p = horizontalLine ? at + QPoint(0, d) : at + QPoint(d, 0);
        level = std::min(level, qGray(image.pixel(p)));
    }
    return level;
}

} // namespace

class TestViews : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void cleanup();
    void colorWeaving_data();
    void colorWeaving();
    void increasingGraph_data();
    void increasingGraph();
    void chartReadingPosition_data();
    void chartReadingPosition();
    void forceDirectedThreads();
    void names();
    void spheres();
    void convergenceLayers();
    void convergenceArcs_data();
    void convergenceArcs();
    void grid_data();
    void grid();

private:
    // Shows a model of the named characters, ANNA, BOB and CARL in their colours. With one or
    // two characters every thread starts on the time axis (x = 0).
    void showModel(const QStringList &names, const QString &layout);

    std::unique_ptr<ViewHarness> m_view;
    std::unique_ptr<ModelBuilder> m_model;
    QCheckBox m_spheres;
    QCheckBox m_grid;
    QCheckBox m_flip;
    QCheckBox m_names;
    FakeTextView m_text;
};

void TestViews::initTestCase()
{
    m_view = std::make_unique<ViewHarness>(400, 400);
    QVERIFY(m_view->ready());
    GraphWidget &w = *m_view->widget;
    w.spheresBox = &m_spheres;
    w.gridBox = &m_grid;
    w.flipAxisBox = &m_flip;
    w.drawNamesBox = &m_names;
    // The first frames set up GLEW and the weaving program, which print their reports.
    showModel({"ANNA"}, "0 1 ANNA");
    for (int mode = 0; mode < 4; ++mode) {
        w.drawMode = mode;
        m_view->frame();
    }
}

void TestViews::init()
{
    GraphWidget &w = *m_view->widget;
    for (QCheckBox *box : {&m_spheres, &m_grid, &m_flip, &m_names})
        box->setChecked(false);
    w.textView = nullptr;
    w.threadTransparency = 0.2f;
    w.drawM = 0.1f;
    w.selectedCharacter = -1;
}

void TestViews::cleanup()
{
    // Some tests build their own model; the graph must not outlive it.
    m_view->widget->clear();
}

void TestViews::showModel(const QStringList &names, const QString &layout)
{
    m_view->widget->clear();
    m_model = std::make_unique<ModelBuilder>(names, layout);
    const QHash<QString, QColor> colors{{"ANNA", anna}, {"BOB", bob}, {"CARL", carl}};
    for (Character *character : m_model->list.characters)
        character->color = colors.value(character->className());
    m_view->show(&m_model->list);
}

void TestViews::colorWeaving_data()
{
    QTest::addColumn<int>("scene");
    QTest::addColumn<QList<QColor>>("colors");

    QTest::newRow("one present is even") << 0 << QList<QColor>{anna};
    QTest::newRow("two present share the weave") << 1 << QList<QColor>{anna, bob};
    // It follows a woven scene, whose texture is still bound.
    QTest::newRow("nobody present is black") << 2 << QList<QColor>{black};
    QTest::newRow("three present") << 3 << QList<QColor>{anna, bob, carl};
}

void TestViews::colorWeaving()
{
    QFETCH(int, scene);
    QFETCH(QList<QColor>, colors);

    showModel({"ANNA", "BOB", "CARL"},
              "0 0.25 ANNA | 0.25 0.5 ANNA BOB | 0.5 0.75 | 0.75 1 ANNA BOB CARL");
    m_view->widget->drawMode = GraphWidget::ColorWeaving;
    const QImage frame = m_view->frame();

    // Scene k fills rows 100 k to 100 k + 99, across the whole width.
    const QRect band(2, scene * 100 + 10, 396, 80);
    const int total = band.width() * band.height();
    int matched = 0;
    for (const QColor &color : colors) {
        const int count = countNear(frame, band, color, 2);
        const double share = double(count) / total;
        const double even = 1.0 / colors.size();
        QVERIFY2(std::abs(share - even) < 0.1 * even + 0.02,
                 qPrintable(QStringLiteral("%1 covers %2").arg(color.name()).arg(share)));
        matched += count;
    }
    QCOMPARE(matched, total);
}

void TestViews::increasingGraph_data()
{
    QTest::addColumn<bool>("flipped");

    QTest::newRow("time down") << false;
    QTest::newRow("time across") << true;
}

void TestViews::increasingGraph()
{
    QFETCH(bool, flipped);

    // ANNA everywhere, BOB in the first scene only, CARL nowhere.
    showModel({"ANNA", "BOB", "CARL"},
              "0 0.25 ANNA BOB | 0.25 0.5 ANNA | 0.5 0.75 ANNA | 0.75 1 ANNA");
    m_flip.setChecked(flipped);
    m_view->widget->drawMode = GraphWidget::IncreasingGraph;
    const QImage frame = m_view->frame();
    const Volume volume = flipped ? flippedChartVolume : chartVolume;
    // A point at a share of the text and a place on the time axis.
    const auto at = [&](double value, double y) {
        return flipped ? m_view->pixel(volume, -y, value) : m_view->pixel(volume, value, y);
    };

    // Far from the chart's start every band shows bare, alternating grey.
    for (int k = 0; k < 4; ++k) {
        const QColor grey = k % 2 == 0 ? evenBand : oddBand;
        QVERIFY2(near(frame.pixelColor(at(0.97, 7.5 - 5 * k)), grey, 1),
                 qPrintable(QString::number(k)));
    }
    // ANNA's line climbs by the whole text: by the end her fill reaches the far side.
    QVERIFY(near(frame.pixelColor(at(0.95, -9.8)), over(anna, oddBand, 0.2)));
    // BOB stopped at a quarter; beyond it, only ANNA's fill.
    QVERIFY(near(frame.pixelColor(at(0.2, -7.5)), over(bob, over(anna, oddBand, 0.2), 0.2)));
    QVERIFY(near(frame.pixelColor(at(0.3, -7.5)), over(anna, oddBand, 0.2)));
    // In the first scene both climb a quarter: just left of the end of BOB's slanted line, both
    // fills overlap; just right of its start, neither.
    QVERIFY(near(frame.pixelColor(at(0.2, 5.5)), over(bob, over(anna, evenBand, 0.2), 0.2)));
    QVERIFY(near(frame.pixelColor(at(0.1, 9.5)), evenBand, 1));
}

void TestViews::chartReadingPosition_data()
{
    QTest::addColumn<bool>("flipped");

    QTest::newRow("time down: the grid") << false;
    QTest::newRow("time across: the marker") << true;
}

void TestViews::chartReadingPosition()
{
    QFETCH(bool, flipped);

    showModel({"ANNA"}, "0 0.25 ANNA | 0.25 0.5 ANNA | 0.5 0.75 ANNA | 0.75 1 ANNA");
    GraphWidget &w = *m_view->widget;
    w.drawMode = GraphWidget::IncreasingGraph;
    m_flip.setChecked(flipped);
    m_grid.setChecked(true);
    m_text.value = 40;
    m_text.maximum = 100;
    w.textView = &m_text;
    const QImage frame = m_view->frame();

    // Reading at 40 % of the text: y = 20 (0.5 - 0.4) = 2 down the chart, x = -2 across it.
    if (flipped) {
        const QPoint marker = m_view->pixel(flippedChartVolume, -2, 0.5);
        QVERIFY(darkest(frame, marker, false) < 10);
        QVERIFY(near(frame.pixelColor(marker + QPoint(20, 0)), oddBand, 1));
    } else {
        const QPoint grid = m_view->pixel(chartVolume, 0.97, 2);
        QVERIFY(darkest(frame, grid, true) < 40);
        QVERIFY(near(frame.pixelColor(grid + QPoint(0, 20)), oddBand, 1));
    }
}

void TestViews::forceDirectedThreads()
{
    // ANNA in the first half, BOB in the second: apart in time, both threads run down the axis.
    showModel({"ANNA", "BOB"}, "0 0.5 ANNA | 0.5 1 BOB");
    m_view->widget->changeDrawMode(GraphWidget::ForceDirected);
    const QImage frame = m_view->frame(5);

    QVERIFY(near(frame.pixelColor(m_view->pixel(timeAxisVolume, 0, 6)), anna, 40));
    QVERIFY(near(frame.pixelColor(m_view->pixel(timeAxisVolume, 0, -6)), bob, 40));
    // Away from the threads, the bands; outside its span a thread is not drawn.
    QVERIFY(near(frame.pixelColor(m_view->pixel(timeAxisVolume, 5, 6)), evenBand, 1));
    const QRect secondHalf(0, 210, 400, 190);
    QCOMPARE(countNear(frame, secondHalf, anna, 60), 0);
}

void TestViews::names()
{
    showModel({"ANNA", "BOB"}, "0 0.5 ANNA | 0.5 1 BOB");
    GraphWidget &w = *m_view->widget;
    w.changeDrawMode(GraphWidget::ForceDirected);
    // ANNA's 4 letters are centred on her span, nodes 0 to 51 (the step after the scene change
    // still counts her scene): the word sits at node 25 - 2 = 23, y = 20 (0.5 - 0.23) = 5.4,
    // beginning half a unit left of her thread and running right for about 1.3 units.
    // The strands stay within 0.3 of the thread, so both ends of the word show on bare band.
    const QRect firstLetter(m_view->pixel(timeAxisVolume, -0.55, 6.1),
                            m_view->pixel(timeAxisVolume, -0.35, 5.6));
    const QRect lastLetters(m_view->pixel(timeAxisVolume, 0.35, 6.1),
                            m_view->pixel(timeAxisVolume, 0.75, 5.6));
    const QImage without = m_view->frame();
    QCOMPARE(countNear(without, firstLetter, anna, 10), 0);
    QCOMPARE(countNear(without, lastLetters, anna, 10), 0);

    m_names.setChecked(true);
    const QImage with = m_view->frame();
    QVERIFY(countNear(with, firstLetter, anna, 10) > 3);
    QVERIFY(countNear(with, lastLetters, anna, 10) > 10);
}

void TestViews::spheres()
{
    // One thread on the axis: outside its span, present, absent, then present again.
    showModel({"ANNA"}, "0 0.25 | 0.25 0.5 ANNA | 0.5 0.75 | 0.75 1 ANNA");
    GraphWidget &w = *m_view->widget;
    w.changeDrawMode(GraphWidget::ForceDirected);
    // Invisible strands leave the spheres alone on the bands.
    w.threadTransparency = 0;
    m_spheres.setChecked(true);
    const QImage frame = m_view->frame();

    // A present node's sphere has radius 0.1 (2 pixels here), an absent one's 0.025 (half a
    // pixel). One pixel beside a node on the axis:
    const auto colored = [&](double y) {
        const QColor c = frame.pixelColor(m_view->pixel(timeAxisVolume, 0.05, y));
        return c.red() - c.blue() > 20;
    };
    QVERIFY(colored(2.6));
    QVERIFY(colored(-7.4));
    QVERIFY(!colored(-2.6));
    // Before the first presence the nodes have activity 0 and no sphere.
    QVERIFY(near(frame.pixelColor(m_view->pixel(timeAxisVolume, 0, 7.4)), evenBand, 1));
}

void TestViews::convergenceLayers()
{
    ModelBuilder model({"A", "B", "C", "D"}, "0 1 A B C D");
    m_view->show(&model.list);
    GraphWidget &w = *m_view->widget;
    w.changeDrawMode(GraphWidget::ConvergenceGraph);
    m_view->frame();

    const QList<float> depths{9, 4.5, 0, -4.5};
    for (int i = 0; i < depths.size(); ++i) {
        for (const Node *node : w.ropes[size_t(i)]->nodes)
            QCOMPARE(node->position.z(), depths.at(i));
    }
}

void TestViews::convergenceArcs_data()
{
    QTest::addColumn<int>("rope");
    QTest::addColumn<int>("node");
    QTest::addColumn<int>("back");
    QTest::addColumn<int>("gap");

    // Rope 0 (swinging to -x) is present at nodes 10 and 14 only; rope 1 (to +x) likewise.
    QTest::newRow("present") << 0 << 10 << 0 << 0;
    QTest::newRow("first of the absence") << 0 << 11 << 1 << 5;
    QTest::newRow("middle of the absence") << 0 << 12 << 2 << 5;
    QTest::newRow("last of the absence") << 0 << 13 << 3 << 5;
    QTest::newRow("other side") << 1 << 12 << 2 << 5;
    // Past either end an absence runs as if a present node lay one beyond the rope.
    QTest::newRow("before the first presence") << 0 << 0 << 1 << 12;
    QTest::newRow("after the last presence") << 0 << 100 << 86 << 88;
}

void TestViews::convergenceArcs()
{
    QFETCH(int, rope);
    QFETCH(int, node);
    QFETCH(int, back);
    QFETCH(int, gap);

    ModelBuilder model({"A", "B"}, "0 1 A B");
    m_view->show(&model.list);
    GraphWidget &w = *m_view->widget;
    for (Rope *thread : w.ropes) {
        QCOMPARE(thread->nodes.size(), size_t(101));
        for (size_t k = 0; k < thread->nodes.size(); ++k)
            thread->nodes[k]->activity = k == 10 || k == 14 ? 1.0f : 0.25f;
    }
    w.drawM = 0.2f;
    w.changeDrawMode(GraphWidget::ConvergenceGraph);
    m_view->frame();

    const float side = rope % 2 == 1 ? 1.0f : -1.0f;
    const float expected = gap == 0 ? 0.0f
                                    : (100.0f / 101) * 0.2f * side * float(gap) *
                                          std::sin(float(back) / float(gap) * 3.1415f);
    QCOMPARE(w.ropes[size_t(rope)]->nodes[size_t(node)]->position.x(), expected);
}

void TestViews::grid_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("maximum");
    QTest::addColumn<int>("mode");
    QTest::addColumn<double>("y");

    QTest::newRow("top") << 0 << 400 << 0 << 10.0;
    QTest::newRow("30 %") << 120 << 400 << 0 << 4.0;
    QTest::newRow("bottom") << 400 << 400 << 0 << -10.0;
    QTest::newRow("cannot scroll: top") << 0 << 0 << 0 << 10.0;
    QTest::newRow("convergence, 70 %") << 280 << 400 << 2 << -4.0;
}

void TestViews::grid()
{
    QFETCH(int, value);
    QFETCH(int, maximum);
    QFETCH(int, mode);
    QFETCH(double, y);

    showModel({"ANNA", "BOB"}, "0 0.5 ANNA | 0.5 1 BOB");
    GraphWidget &w = *m_view->widget;
    w.changeDrawMode(mode);
    m_grid.setChecked(true);
    m_text.value = value;
    m_text.maximum = maximum;
    w.textView = &m_text;
    const QImage frame = m_view->frame();
    StdoutCapture out;
    m_view->frame();
    QCOMPARE(out.text(),
             QStringLiteral("%1 / %2  = %3\n").arg(value).arg(maximum).arg(y, 0, 'f', 6));

    // The grid lies flat at the reading height: seen edge on, a dark line 6 units wide.
    if (std::abs(y) < 9) {
        QVERIFY(darkest(frame, m_view->pixel(timeAxisVolume, 2.8, y), true) < 60);
        QVERIFY(qGray(frame.pixel(m_view->pixel(timeAxisVolume, 3.5, y))) > 150);
    }
}

QTEST_MAIN(TestViews)
#include "tst_views.moc"
