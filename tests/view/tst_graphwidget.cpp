// SPDX-License-Identifier: MIT
// The thread view under the virtual X server: the slots the main window wires up, the mouse,
// the camera, saved images, what the four drawing modes put on screen, and when it draws at all.
// Pixels are sampled inside shapes, away from edges, since software GL draws no antialiased
// pixels to rely on.
#include "datatable.h"
#include "labelstrokes.h"
#include "modelbuilder.h"
#include "node.h"
#include "rope.h"
#include "spherestamps.h"
#include "testfiles.h"
#include "textviewstate.h"
#include "viewharness.h"

#include <GL/freeglut.h>

#include <QCheckBox>
#include <QImageReader>
#include <QTemporaryDir>

#include <cmath>
#include <functional>
#include <tuple>

namespace {

const QColor anna(230, 40, 40);
const QColor bob(40, 60, 220);
const QColor evenBand = QColor::fromRgbF(0.8, 0.8, 0.8);
const QColor oddBand = QColor::fromRgbF(0.9, 0.9, 0.9);

// src over dst with the alpha of the translucent fills.
QColor over(const QColor &src, const QColor &dst)
{
    const auto mix = [](int s, int d) { return int(std::lround(s * 0.2 + d * 0.8)); };
    return QColor(mix(src.red(), dst.red()), mix(src.green(), dst.green()),
                  mix(src.blue(), dst.blue()));
}

// How many pixels of a rectangle are within a tolerance of colour.
int countNear(const QImage &image, const QRect &area, const QColor &color, int tolerance)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += near(image.pixelColor(x, y), color, tolerance) ? 1 : 0;
    }
    return count;
}

// A text view whose scroll bar a test sets.
struct ScrolledText : TextViewState {
    int value = 0;
    int maximum = 0;
    int scrollValue() const override { return value; }
    int scrollMaximum() const override { return maximum; }
    QString selectedText() const override { return QString(); }
};

// Presses a button at (50, 50) and drags by (dx, dy) in two moves, each counted from the last.
void dragMouse(GraphWidget &w, Qt::MouseButton button, int dx, int dy)
{
    QMouseEvent press(QEvent::MouseButtonPress, QPoint(50, 50), button, button, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    for (const QPoint &to : {QPoint(50 + dx / 2, 50 + dy / 2), QPoint(50 + dx, 50 + dy)}) {
        QMouseEvent move(QEvent::MouseMove, to, Qt::NoButton, button, Qt::NoModifier);
        QApplication::sendEvent(&w, &move);
    }
}

// Ticks the view until it needs no frame; false when it still does after many ticks. Qt skips
// the frame of a tick while the window is not mapped, as it may briefly not be on a loaded
// display; such a frame is drawn directly.
bool settle(GraphWidget &w)
{
    constexpr int maxTicks = 3000;
    for (int i = 0; i < maxTicks; ++i) {
        if (!w.needsFrame())
            return true;
        const auto before = w.framesDrawn;
        w.tick();
        if (w.framesDrawn == before)
            w.paintGL();
    }
    return false;
}

} // namespace

// A change to the view or its inputs, made by a row of the wake-up test.
using Change = std::function<void()>;
Q_DECLARE_METATYPE(Change)
// The draw mode, what the change makes the view draw (0 no frame, 1 a few, 2 many), the change.
using WakeRows = DataTable<int, int, Change>;
// The draw mode, "Flip Axis", a point of the mode's volume, the character and scene there (-1 for
// none).
using PickRows = DataTable<int, bool, QPointF, int, int>;

class TestGraphWidget : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void resetSlots_data();
    void resetSlots();
    void spin_data();
    void spin();
    void drag_data();
    void drag();
    void saveImage();
    void colorWeaving_data();
    void colorWeaving();
    void increasingGraph_data();
    void increasingGraph();
    void forceDirected();
    void convergence();
    void readingPosition();
    void storyline();
    void picking_data();
    void picking();
    void wakes_data();
    void wakes();
    void rest_data();
    void rest();
    void likeGlut_data();
    void likeGlut();

private:
    // Shows a model whose characters have ANNA's colour but for BOB. With one or two characters
    // every thread starts on the time axis (x = 0).
    void showModel(const QStringList &names, const QString &layout);

    std::unique_ptr<ViewHarness> m_view;
    std::unique_ptr<ModelBuilder> m_model;
    // The main window's check boxes and text view, as the view reads them.
    QCheckBox m_spheres, m_springs, m_grid, m_flip, m_names, m_plane;
    ScrolledText m_text;
    QTemporaryDir m_dir;
};

void TestGraphWidget::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_view = std::make_unique<ViewHarness>(400, 400);
    QVERIFY(m_view->ready());
    GraphWidget &w = *m_view->widget;
    w.spheresBox = &m_spheres;
    w.springsBox = &m_springs;
    w.gridBox = &m_grid;
    w.flipAxisBox = &m_flip;
    w.drawNamesBox = &m_names;
    w.moveToPlaneBox = &m_plane;
}

void TestGraphWidget::init()
{
    // Every test starts from a freshly built graph, the camera at rest, the boxes unticked, the
    // text at its top and nothing selected.
    GraphWidget &w = *m_view->widget;
    showModel({"ANNA", "BOB"}, "0 0.5 ANNA BOB | 0.5 1 BOB");
    for (QCheckBox *box : {&m_spheres, &m_springs, &m_grid, &m_flip, &m_names, &m_plane})
        box->setChecked(false);
    m_text.value = 0;
    m_text.maximum = 300;
    w.textView = &m_text;
    w.selectedCharacter = -1;
    w.resize(400, 400);
    QTRY_COMPARE(w.viewWidth, 400);
    w.drawMode = GraphWidget::ColorWeaving;
    w.rotation = w.targetRotation = w.rotationSpeed = 0;
    w.zoomDistance = -26;
    m_view->frame(); // at rest the spin speed returns to 1
}

void TestGraphWidget::showModel(const QStringList &names, const QString &layout)
{
    m_view->widget->clear();
    m_model = std::make_unique<ModelBuilder>(names, layout);
    for (Character *character : m_model->list.characters)
        character->color = character->className() == "BOB" ? bob : anna;
    m_view->show(&m_model->list);
}

// The slot, its argument, and whether it resets the layout.
using ResetRows = DataTable<QByteArray, int, bool>;

void TestGraphWidget::resetSlots_data()
{
    ResetRows::columns();
    ResetRows::row("box unchecked", "drawStateChanged", 0, false);
    ResetRows::row("box checked", "drawStateChanged", 2, true);
    ResetRows::row("force directed", "changeDrawMode", 0, true);
    ResetRows::row("convergence keeps the layout", "changeDrawMode", 2, false);
}

void TestGraphWidget::resetSlots()
{
    const auto [slot, argument, resets] = ResetRows::fetch();
    GraphWidget &w = *m_view->widget;
    for (Node *node : w.nodes)
        node->position = node->velocity = QVector3D(1, 0, 1);
    QVERIFY(QMetaObject::invokeMethod(&w, slot.constData(), Q_ARG(int, argument)));
    for (const Node *node : w.nodes)
        QCOMPARE(node->position == node->home && node->velocity.isNull(), resets);
    QCOMPARE(w.drawMode, slot == "changeDrawMode" ? argument : int(GraphWidget::ColorWeaving));
}

// The rotation at rest, quarter turns to the right (to the left when negative), the target, and
// the rotations frame by frame.
using SpinRows = DataTable<float, int, float, QList<float>>;

void TestGraphWidget::spin_data()
{
    SpinRows::columns();
    // The speed grows by a degree a frame; the last step of a quarter turn passes the target by
    // one degree, within the snap distance, and the spin rests on its target.
    SpinRows::row("right", 0, 1, 90, {1, 3, 6, 10, 15, 21, 28, 36, 45, 55, 66, 78, 91, 90, 90, 90});
    // Past the target by 10 degrees, the speed is cut to the distance left and the spin comes
    // back instead of swinging about it.
    SpinRows::row("half turn", 0, 2, 180, {1,  3,  6,   10,  15,  21,  28,  36,  45,  55,  66,
                                           78, 91, 105, 120, 136, 153, 171, 190, 181, 180, 180});
    SpinRows::row("right from -45 truncates toward zero", -45, 1, 90, {});
    SpinRows::row("left from 90", 90, -1, 0, {});
}

void TestGraphWidget::spin()
{
    const auto [from, quarters, target, rotations] = SpinRows::fetch();
    GraphWidget &w = *m_view->widget;
    w.targetRotation = from;
    for (int i = 0; i < std::abs(quarters); ++i)
        quarters > 0 ? w.spinRight() : w.spinLeft();
    QCOMPARE(w.targetRotation, target);
    QList<float> seen;
    while (seen.size() < rotations.size()) {
        w.paintGL();
        seen << w.rotation;
    }
    QCOMPARE(seen, rotations);
}

// The button, the drag, and the rotation and zoom after it.
using DragRows = DataTable<int, int, int, float, float>;

void TestGraphWidget::drag_data()
{
    DragRows::columns();
    DragRows::row("left, 100 to the right", Qt::LeftButton, 100, 0, 10, -26);
    DragRows::row("right, 100 down", Qt::RightButton, 0, 100, 0, -25);
    // The zoom stays away from 0, where the 2-D scale factor has no value.
    DragRows::row("right, far down stops at -1", Qt::RightButton, 0, 5000, 0, -1);
    DragRows::row("right, far up stops at -500", Qt::RightButton, 0, -60000, 0, -500);
}

void TestGraphWidget::drag()
{
    const auto [button, dx, dy, rotation, zoom] = DragRows::fetch();
    GraphWidget &w = *m_view->widget;
    w.targetRotation = 90; // a spin in progress, which the drag takes over
    dragMouse(w, Qt::MouseButton(button), dx, dy);
    m_view->frame();
    QCOMPARE(w.rotation, rotation);
    QCOMPARE(w.targetRotation, rotation);
    QCOMPARE(w.zoomDistance, zoom);
}

// A requested image waits for a frame with a graph, whichever context is current; it is written
// in the format its suffix names, and a failed write keeps the file that was there.
void TestGraphWidget::saveImage()
{
    const QString kept = m_dir.filePath("frame.unknown");
    const QString jpeg = m_dir.filePath("frame.jpg");
    writeFile(kept, "old");
    ViewHarness view(500, 300);
    QVERIFY(view.ready());
    GraphWidget &w = *view.widget;
    w.drawMode = GraphWidget::IncreasingGraph;
    QSignalSpy saved(&w, &GraphWidget::imageSaved);
    w.saveImageToFile(kept);
    w.paintGL();
    QVERIFY(saved.isEmpty());
    view.show(&m_model->list);
    w.paintGL();
    w.saveImageToFile(jpeg);
    m_view->widget->makeCurrent();
    w.paintGL();
    const QImage shown = readBackBuffer(&w);
    QCOMPARE(saved.size(), 2);
    QCOMPARE(saved.at(0).at(0).toString(), kept);
    QVERIFY(!saved.at(0).at(1).toString().isEmpty()); // the writer's reason
    QCOMPARE(saved.at(1), (QVariantList{jpeg, QString()}));
    QVERIFY(w.imageFileName.isEmpty());
    QCOMPARE(readFile(kept), QByteArray("old"));
    QImageReader reader(jpeg);
    QCOMPARE(reader.format(), QByteArray("jpeg"));
    const QImage image = reader.read();
    QCOMPARE(image.size(), QSize(500, 300));
    // JPEG is lossy; inside the bands the colours hold.
    QVERIFY(near(image.pixelColor(480, 20), shown.pixelColor(480, 20), 8));
}

void TestGraphWidget::colorWeaving_data()
{
    QTest::addColumn<int>("scene");
    QTest::addColumn<QList<QColor>>("colors");
    QTest::newRow("one present is even") << 0 << QList<QColor>{anna};
    QTest::newRow("two present share the weave") << 1 << QList<QColor>{anna, bob};
    // It follows a woven scene, whose texture is still bound.
    QTest::newRow("nobody present is black") << 2 << QList<QColor>{Qt::black};
}

void TestGraphWidget::colorWeaving()
{
    QFETCH(int, scene);
    QFETCH(QList<QColor>, colors);
    showModel({"ANNA", "BOB"}, "0 0.25 ANNA | 0.25 0.5 ANNA BOB | 0.5 0.75 | 0.75 1 BOB");
    m_view->widget->drawMode = GraphWidget::ColorWeaving;
    const QImage frame = m_view->frame();
    // Scene k fills rows 100 k to 100 k + 99, across the whole width.
    const QRect band(2, scene * 100 + 10, 396, 80);
    const int total = band.width() * band.height();
    int matched = 0;
    for (const QColor &color : colors) {
        const int count = countNear(frame, band, color, 2);
        const int even = total / colors.size();
        QVERIFY2(std::abs(count - even) < 0.1 * even + 0.02 * total, qPrintable(color.name()));
        matched += count;
    }
    QCOMPARE(matched, total);
}

void TestGraphWidget::increasingGraph_data()
{
    QTest::addColumn<bool>("flipped");
    QTest::newRow("time down") << false;
    QTest::newRow("time across") << true;
}

void TestGraphWidget::increasingGraph()
{
    QFETCH(bool, flipped);
    // ANNA everywhere, BOB in the first scene only.
    showModel({"ANNA", "BOB"}, "0 0.25 ANNA BOB | 0.25 0.5 ANNA | 0.5 0.75 ANNA | 0.75 1 ANNA");
    m_flip.setChecked(flipped);
    m_view->widget->drawMode = GraphWidget::IncreasingGraph;
    const QImage frame = m_view->frame();
    // The colour at a share of the text and a place on the time axis.
    const auto at = [&](double value, double y) {
        return frame.pixelColor(flipped ? m_view->pixel(flippedChartVolume, -y, value)
                                        : m_view->pixel(chartVolume, value, y));
    };
    // Far from the chart's start every band shows bare, alternating grey.
    for (int k = 0; k < 4; ++k)
        QVERIFY(near(at(0.97, 7.5 - 5 * k), k % 2 == 0 ? evenBand : oddBand, 1));
    // ANNA's line climbs by the whole text: by the end her fill reaches the far side.
    QVERIFY(near(at(0.95, -9.8), over(anna, oddBand)));
    // BOB stopped at a quarter; beyond it, only ANNA's fill.
    QVERIFY(near(at(0.2, -7.5), over(bob, over(anna, oddBand))));
    QVERIFY(near(at(0.3, -7.5), over(anna, oddBand)));
}

// A line per character from its first scene to its last, in the order of the layout's lanes,
// thicker where the character is present.
void TestGraphWidget::storyline()
{
    showModel({"ANNA", "BOB"}, "0 0.4 ANNA BOB | 0.4 0.7 ANNA | 0.7 1 ANNA BOB");
    GraphWidget &w = *m_view->widget;
    w.drawMode = GraphWidget::Storyline;
    const QImage frame = m_view->frame();
    const auto rows = [&frame](double share, const QColor &color) {
        QVector<int> found;
        const int x = int(share * frame.width());
        for (int y = 0; y < frame.height(); ++y)
            if (near(frame.pixelColor(x, y), color))
                found.append(y);
        return found;
    };
    const bool annaFirst = w.storylineLayout().lane(0, 0) < w.storylineLayout().lane(0, 1);
    for (const double share : {0.2, 0.55, 0.85}) {
        const QVector<int> a = rows(share, anna);
        const QVector<int> b = rows(share, bob);
        QVERIFY(!a.isEmpty() && !b.isEmpty());
        QCOMPARE(a.first() < b.first(), annaFirst);
        QCOMPARE(a.size() > b.size(), share == 0.55);
    }
}

void TestGraphWidget::picking_data()
{
    PickRows::columns();
    PickRows::row("force directed, first half", GraphWidget::ForceDirected, false, {0, 6}, 0, 0);
    PickRows::row("force directed, second half", GraphWidget::ForceDirected, false, {0, -6}, 1, 1);
    PickRows::row("force directed, beside", GraphWidget::ForceDirected, false, {6, 6}, -1, -1);
    PickRows::row("convergence", GraphWidget::ConvergenceGraph, false, {0, -6}, 1, 1);
    PickRows::row("weaving", GraphWidget::ColorWeaving, false, {3, -6}, 1, 1);
    PickRows::row("increasing", GraphWidget::IncreasingGraph, false, {0.25, 5}, 0, 0);
    PickRows::row("increasing, absent", GraphWidget::IncreasingGraph, false, {0.01, 5}, 1, 0);
    PickRows::row("increasing flipped", GraphWidget::IncreasingGraph, true, {-5, 0.25}, 0, 0);
}

// The thread under a point, and the scene there, follow what each mode draws.
void TestGraphWidget::picking()
{
    const auto [mode, flipped, point, character, scene] = PickRows::fetch();
    showModel({"ANNA", "BOB"}, "0 0.5 ANNA | 0.5 1 BOB");
    m_flip.setChecked(flipped);
    m_view->widget->changeDrawMode(mode);
    m_view->frame(5);
    const Volume volume = mode == GraphWidget::IncreasingGraph
                              ? (flipped ? flippedChartVolume : chartVolume)
                              : timeAxisVolume;
    int at = -2;
    QCOMPARE(m_view->widget->threadAt(m_view->pixel(volume, point.x(), point.y()), &at), character);
    QCOMPARE(at, scene);
}

void TestGraphWidget::forceDirected()
{
    // ANNA in the first half, BOB in the second: apart in time, both threads run down the axis.
    showModel({"ANNA", "BOB"}, "0 0.5 ANNA | 0.5 1 BOB");
    m_view->widget->changeDrawMode(GraphWidget::ForceDirected);
    const QImage frame = m_view->frame(5);
    const auto at = [&](double x, double y) {
        return frame.pixelColor(m_view->pixel(timeAxisVolume, x, y));
    };
    QVERIFY(near(at(0, 6), anna, 40));
    QVERIFY(near(at(0, -6), bob, 40));
    // Away from the threads, the bands; outside its span a thread is not drawn.
    QVERIFY(near(at(5, 6), evenBand, 1));
    QCOMPARE(countNear(frame, QRect(0, 210, 400, 190), anna, 60), 0);

    // ANNA's 4 letters are centred on her span, nodes 0 to 51 (the step after the scene change
    // still counts her scene): the word sits at node 25 - 2 = 23, y = 20 (0.5 - 0.23) = 5.4,
    // beginning half a unit left of her thread and running right for about 1.3 units.
    // The strands stay within 0.3 of the thread, so both ends of the word show on bare band.
    const QRect firstLetter(m_view->pixel(timeAxisVolume, -0.55, 6.1),
                            m_view->pixel(timeAxisVolume, -0.35, 5.6));
    const QRect lastLetters(m_view->pixel(timeAxisVolume, 0.35, 6.1),
                            m_view->pixel(timeAxisVolume, 0.75, 5.6));
    QCOMPARE(countNear(frame, firstLetter, anna, 10) + countNear(frame, lastLetters, anna, 10), 0);
    m_names.setChecked(true);
    const QImage named = m_view->frame();
    QVERIFY(countNear(named, firstLetter, anna, 10) > 3);
    QVERIFY(countNear(named, lastLetters, anna, 10) > 10);
}

// Each thread lies on its own depth layer, rope i at z = (0.5 - i / N) * 2 * 9. Over an absence
// between two presences it swings out, to negative x for even ropes and positive for odd, in a
// sine arc whose width grows with the absence: node k with the nearest presences f ahead and b
// behind lies at x = (100 / m) * drawM * side * G * sin(b / G * 3.1415), G = f + b + 1.
void TestGraphWidget::convergence()
{
    showModel({"A", "B"}, "0 1 A B");
    GraphWidget &w = *m_view->widget;
    for (const Rope *rope : w.ropes) {
        for (Node *node : rope->nodes)
            node->activity = 0.25f;
        rope->nodes[10]->activity = rope->nodes[14]->activity = 1.0f;
    }
    w.drawM = 0.1f;
    w.changeDrawMode(GraphWidget::ConvergenceGraph);
    m_view->frame();
    const float m = float(w.ropes[0]->nodes.size());
    for (size_t i = 0; i < 2; ++i) {
        const std::vector<Node *> &thread = w.ropes[i]->nodes;
        const float side = i == 0 ? -1.0f : 1.0f;
        for (int k = 11; k <= 13; ++k) {
            const float back = float(k - 10);
            const float gap = float(14 - k) + back + 1.0f;
            QCOMPARE(thread[size_t(k)]->position.x(),
                     (100.0f / m) * 0.1f * side * gap * std::sin(back / gap * 3.1415f));
        }
        QCOMPARE(thread[10]->position.x(), 0.0f);
        for (const Node *node : thread)
            QCOMPARE(node->position.z(), i == 0 ? 9.0f : 0.0f);
    }
}

// The reading position runs from the top of the text (0) to its end (1); without a text view, or
// with a text that fits its view and cannot scroll, it is the top.
void TestGraphWidget::readingPosition()
{
    GraphWidget &w = *m_view->widget;
    m_text.value = 75;
    QCOMPARE(w.readingFraction(), 0.25f);
    m_text.value = m_text.maximum = 0;
    QCOMPARE(w.readingFraction(), 0.0f);
    w.textView = nullptr;
    QCOMPARE(w.readingFraction(), 0.0f);
}

void TestGraphWidget::wakes_data()
{
    WakeRows::columns();
    GraphWidget *w = m_view->widget.get();
    const int force = GraphWidget::ForceDirected;
    const int weaving = GraphWidget::ColorWeaving;
    const auto row = &WakeRows::row;
    row("still, force directed", force, 0, [] {});
    row("still, weaving", weaving, 0, [] {});
    row("scroll without the grid", force, 0, [this] { m_text.value = 150; });
    row("scroll with the grid", force, 1, [this] { m_text.value = 150; });
    row("parse", force, 1, [this] { showModel({"ANNA"}, "0 1 ANNA"); });
    row("clear", weaving, 1, [w] { w->clear(); });
    row("reparse button", weaving, 1, [w] { w->graphBuilt = false; });
    row("mode", weaving, 1, [w] { w->changeDrawMode(GraphWidget::IncreasingGraph); });
    row("reset", force, 1, [w] { w->reset(); });
    row("spin", force, 2, [w] { w->spinRight(); });
    row("rotate", force, 1, [w] { dragMouse(*w, Qt::LeftButton, 30, 0); });
    row("zoom", weaving, 1, [w] { dragMouse(*w, Qt::RightButton, 0, 30); });
    row("pan", weaving, 1, [w] { dragMouse(*w, Qt::MiddleButton, 0, 30); });
    row("DrawM", force, 1, [w] { w->changeDrawM(0.3); });
    row("transparency", force, 1, [w] { w->changeThreadTransparency(0.5); });
    // The active size: the form crosses the two.
    row("thread size", force, 1, [w] { w->changeInactiveThreadSize(1.5); });
    row("spheres", force, 1, [this] { m_spheres.setChecked(true); });
    row("springs", force, 1, [this] { m_springs.setChecked(true); });
    row("names", force, 1, [this] { m_names.setChecked(true); });
    row("flip", weaving, 1, [this] { m_flip.setChecked(true); });
    // The pull works in depth, which the front view does not show.
    row("move to plane", force, 1, [this] { m_plane.setChecked(true); });
    row("selection", force, 1, [w] { w->setCharacterFromSelection("ANNA"); });
    row("recolour", force, 1, [this] { m_model->list.characters.at(0)->color = Qt::darkGreen; });
    row("resize", weaving, 1, [w] { w->resize(360, 400); });
    row("expose", weaving, 1, [w] {
        const auto drawn = w->framesDrawn;
        w->hide();
        w->show();
        QTRY_VERIFY(w->framesDrawn > drawn);
    });
    row("image save", weaving, 1, [this, w] { w->saveImageToFile(m_dir.filePath("woken.png")); });
}

// A view at rest draws nothing on its own; every change that can alter the picture makes the
// next tick draw, the frame it draws is the one a view drawing from scratch would give, and the
// view comes to rest again afterwards, a layout pulled to the plane or a spin after a while.
void TestGraphWidget::wakes()
{
    const auto [mode, drawing, change] = WakeRows::fetch();
    // A single thread in the force-directed layout feels no force until a change pulls it.
    showModel({"ANNA"}, "0 0.5 ANNA | 0.5 1");
    GraphWidget &w = *m_view->widget;
    m_grid.setChecked(QByteArray(QTest::currentDataTag()).endsWith("with the grid"));
    w.changeDrawMode(mode);
    QApplication::processEvents(); // exposures left by earlier tests
    QVERIFY(settle(w));
    const auto before = w.framesDrawn;
    for (int i = 0; i < 3; ++i)
        w.tick();
    QCOMPARE(w.framesDrawn, before); // a still view draws nothing

    change();
    // What the frame it wakes to starts from.
    std::vector<std::pair<QVector3D, QVector3D>> start;
    for (const Node *node : w.nodes)
        start.emplace_back(node->position, node->velocity);
    const float rotation = w.rotation;
    const float speed = w.rotationSpeed;
    QApplication::processEvents();
    // A view left still by the change draws nothing on its tick; an exposure the window system
    // sends late, on a loaded machine, may still draw a frame of its own before.
    const auto afterEvents = w.framesDrawn;
    w.tick();
    if (drawing > 0)
        QVERIFY(w.framesDrawn > before);
    else
        QCOMPARE(w.framesDrawn, afterEvents);
    if (drawing > 0) {
        // The same frame drawn again from the same start, with the strands built afresh.
        const QImage woken = readBackBuffer(&w);
        for (size_t i = 0; i < start.size(); ++i)
            std::tie(w.nodes[i]->position, w.nodes[i]->velocity) = start[i];
        w.rotation = rotation;
        w.rotationSpeed = speed;
        ++w.generation;
        w.paintGL();
        QCOMPARE(readBackBuffer(&w), woken);
    }
    const auto woken = w.framesDrawn;
    QVERIFY(settle(w));
    QCOMPARE(w.framesDrawn - woken > 5, drawing == 2);
    QVERIFY(w.imageFileName.isEmpty()); // a requested image has been taken
}

// The view rotation, the node moved (of a thread present at nodes 0 to 3, its name on node 5),
// how far across the screen and in depth, in pixels, whether names show, and whether the view
// then counts as moving.
using RestRows = DataTable<float, int, float, float, bool, bool>;

void TestGraphWidget::rest_data()
{
    RestRows::columns();
    RestRows::row("across by 0.6 pixels", 0, 1, 0.6f, 0, false, true);
    RestRows::row("across by 0.4 pixels", 0, 1, 0.4f, 0, false, false);
    RestRows::row("in depth, seen from the front", 0, 1, 0, 5, false, false);
    RestRows::row("in depth, seen from the side", 90, 1, 0, 0.6f, false, true);
    RestRows::row("under the name, names hidden", 0, 5, 5, 0, false, false);
    RestRows::row("under the name, names shown", 0, 5, 0.6f, 0, true, true);
}

// The view rests once nothing it draws moves by half a pixel or more on screen between frames.
void TestGraphWidget::rest()
{
    const auto [rotation, node, across, deep, names, moving] = RestRows::fetch();
    showModel({"ANNA"}, "0 0.03 ANNA | 0.03 1");
    GraphWidget &w = *m_view->widget;
    // 25 pixels a unit across, 15 up.
    w.resize(500, 300);
    QTRY_COMPARE(w.viewWidth, 500);
    w.changeDrawMode(GraphWidget::ForceDirected);
    w.rotation = w.targetRotation = rotation;
    m_names.setChecked(names);
    // A lone thread on its start circle feels no force.
    m_view->frame(2);
    QVERIFY(!w.needsFrame());
    w.nodes[size_t(node)]->position += QVector3D(across, 0, deep) / 25;
    w.paintGL();
    QCOMPARE(w.needsFrame(), moving);
}

// Spheres drawn as stamps and names laid out on the processor, against GLUT drawing the same
// spheres and glyphs itself, under the projection and light of the 3-D modes. The spheres
// overlap, later over earlier; one is bright enough for GL to clamp its light.
void TestGraphWidget::likeGlut_data()
{
    QTest::addColumn<float>("rotation");
    QTest::newRow("front") << 0.0f;
    QTest::newRow("turned") << 57.0f;
    QTest::newRow("side") << 90.0f;
    QTest::newRow("behind") << 180.0f;
}

void TestGraphWidget::likeGlut()
{
    QFETCH(float, rotation);
    GraphWidget &w = *m_view->widget;
    const std::vector<std::tuple<QVector3D, float, QColor>> spheres{
        {{-5, 4, 0}, 4.0f, QColor(250, 240, 40)},
        {{0, 3, 1}, 3.0f, bob},
        {{2, 2, -1}, 1.2f, anna},
        {{6, 6, 0}, 0.4f, bob},
    };
    ModelBuilder named({"AB CD"});
    named.list.characters.at(0)->color = anna;
    Node node;
    node.position = QVector3D(1, -5, 0.5f);
    node.activity = 1.0f;
    Rope rope;
    rope.nodes = {&node};
    rope.character = named.list.characters.at(0);
    const auto draw = [&](bool glut) {
        w.makeCurrent();
        glClearColor(0.9f, 0.9f, 0.9f, 0);
        glClear(GL_COLOR_BUFFER_BIT);
        glMatrixMode(GL_PROJECTION);
        glLoadIdentity();
        glOrtho(-10, 10, -10, 10, -10, 10);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_LIGHTING);
        glEnable(GL_LIGHT0);
        glEnable(GL_COLOR_MATERIAL);
        glDisable(GL_DEPTH_TEST);
        glRotatef(rotation, 0, 1, 0);
        SphereStamps stamps;
        if (!glut && !stamps.prepare(*w.shaderManager, rotation, 16))
            return QImage();
        for (const auto &[centre, radius, color] : spheres) {
            if (glut) {
                glColor3f(color.redF(), color.greenF(), color.blueF());
                glPushMatrix();
                glTranslatef(centre.x(), centre.y(), centre.z());
                glutSolidSphere(radius, 16, 16);
                glPopMatrix();
            } else {
                stamps.add(centre, radius, color);
            }
        }
        stamps.draw();
        stamps.release(*w.shaderManager);
        // Both words of the name stack up on the rope's only node, shadow first.
        if (glut) {
            glEnable(GL_BLEND);
            glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
            glLineWidth(2);
            glDisable(GL_LIGHTING);
            for (const float shadow : {0.03f, 0.0f}) {
                glColor4f(shadow ? 0 : anna.redF(), shadow ? 0 : anna.greenF(),
                          shadow ? 0 : anna.blueF(), shadow ? 0.5f : 1);
                for (const char *word : {"AB", "CD"}) {
                    glPushMatrix();
                    glScalef(1.05f, 1.05f, 1);
                    glTranslatef(1 + 0.5f - shadow, -5 - shadow, 0.5f);
                    glRotatef(-rotation, 0, 1, 0);
                    glScalef(0.952381f, 0.952381f, 1);
                    glScalef(0.003f, 0.003f, 1);
                    for (const char *c = word; *c; ++c)
                        glutStrokeCharacter(GLUT_STROKE_MONO_ROMAN, *c);
                    glPopMatrix();
                }
            }
        } else {
            LabelStrokes labels;
            labels.add(rope, 0.5f, -rotation, false);
            labels.draw();
        }
        return readBackBuffer(&w);
    };
    const QImage expected = draw(true);
    const QImage stamped = draw(false);
    QVERIFY(!stamped.isNull());
    int differing = 0;
    for (int y = 0; y < expected.height(); ++y) {
        for (int x = 0; x < expected.width(); ++x)
            differing += near(expected.pixelColor(x, y), stamped.pixelColor(x, y), 2) ? 0 : 1;
    }
    QVERIFY2(differing < 40, qPrintable(QString::number(differing)));
}

QTEST_MAIN(TestGraphWidget)
#include "tst_graphwidget.moc"
