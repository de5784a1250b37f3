// SPDX-License-Identifier: MIT
// The frame of the thread view: the slots the main window wires up, mouse and keyboard, the
// camera animation and saving frames as images.
#include "modelbuilder.h"
#include "node.h"
#include "rope.h"
#include "stdoutcapture.h"
#include "viewharness.h"

#include <QImageReader>
#include <QListWidget>
#include <QMetaMethod>
#include <QTemporaryDir>

using Action = std::function<void(GraphWidget &)>;
using Field = std::function<float(const GraphWidget &)>;
Q_DECLARE_METATYPE(Action)
Q_DECLARE_METATYPE(Field)

namespace {

// Moves every node off its home, so that a reset shows.
void displace(GraphWidget &widget)
{
    for (Node *node : widget.nodes)
        node->position += QVector3D(1, 0, 1);
}

bool atHome(const GraphWidget &widget)
{
    for (const Node *node : widget.nodes) {
        if (node->position != node->home)
            return false;
    }
    return !widget.nodes.empty();
}

} // namespace

class TestGraphWidget : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void construction();
    void slotsInFormOrder();
    void valueSlots_data();
    void valueSlots();
    void resetSlots_data();
    void resetSlots();
    void messages_data();
    void messages();
    void selection_data();
    void selection();
    void recolouring_data();
    void recolouring();
    void colorPicker();
    void spin_data();
    void spin();
    void spinSequence_data();
    void spinSequence();
    void drag_data();
    void drag();
    void keys_data();
    void keys();
    void nearestPower_data();
    void nearestPower();
    void savedImageIsTheFrame_data();
    void savedImageIsTheFrame();
    void saveWaitsForGraph();
    void failedSave();

private:
    std::unique_ptr<ViewHarness> m_view;
    std::unique_ptr<ModelBuilder> m_model;
    QTemporaryDir m_dir;
};

void TestGraphWidget::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_view = std::make_unique<ViewHarness>(200, 200);
    QVERIFY(m_view->ready());
    m_model = std::make_unique<ModelBuilder>(QStringList{"ANNA", "BOB", "CARL DEAN"},
                                             "0 0.5 ANNA BOB | 0.5 1 BOB CARLDEAN");
    // The first frames set up GLEW and the weaving program, which print their reports.
    m_view->show(&m_model->list, 0.25f);
    for (int mode = 0; mode < 4; ++mode) {
        m_view->widget->drawMode = mode;
        m_view->frame();
    }
}

void TestGraphWidget::init()
{
    // Every test starts from a freshly built graph and the view's start values.
    GraphWidget &w = *m_view->widget;
    m_view->show(&m_model->list, 0.25f);
    w.selectedCharacter = -1;
    w.drawMode = GraphWidget::ColorWeaving;
    w.rotation = w.targetRotation = 0;
    w.rotationSpeed = 1;
    w.zoomDistance = -26;
    w.panOffset = 0;
    w.textView = nullptr;
    w.imageFileName.clear();
}

void TestGraphWidget::construction()
{
    StdoutCapture out;
    GraphWidget w;
    QCOMPARE(out.lines(), QStringList{"create GL Widget"});
    QVERIFY(w.redrawTimer.isActive());
    QCOMPARE(w.redrawTimer.interval(), 100);
    QVERIFY(w.format().sampleBuffers());
}

void TestGraphWidget::slotsInFormOrder()
{
    // The main window's form connects to these by signature.
    const QStringList expected{
        "saveImage()",
        "changeInactiveThreadSize(double)",
        "changeActiveThreadSize(double)",
        "changeThreadTransparency(double)",
        "selectionChanged()",
        "changeDrawM(double)",
        "changeDrawPow(double)",
        "drawStateChanged(int)",
        "spinRight()",
        "spinLeft()",
        "reset()",
        "ColorPicker()",
        "ListItemClicked(QListWidgetItem*)",
        "currentColorChanged(QColor)",
        "changeDrawMode(int)",
    };
    const QMetaObject *meta = &GraphWidget::staticMetaObject;
    QCOMPARE(QString::fromLatin1(meta->className()), QStringLiteral("GraphWidget"));
    QStringList found;
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        if (meta->method(i).methodType() == QMetaMethod::Slot)
            found << QString::fromLatin1(meta->method(i).methodSignature());
    }
    QCOMPARE(found, expected);
}

void TestGraphWidget::valueSlots_data()
{
    QTest::addColumn<QByteArray>("slot");
    QTest::addColumn<Field>("field");

    // The form crosses the two size controls over the two size slots.
    QTest::newRow("inactive slot sets the active size")
        << QByteArray("changeInactiveThreadSize")
        << Field([](const GraphWidget &w) { return w.activeThreadSize; });
    QTest::newRow("active slot sets the inactive size")
        << QByteArray("changeActiveThreadSize")
        << Field([](const GraphWidget &w) { return w.inactiveThreadSize; });
    QTest::newRow("arc amplitude")
        << QByteArray("changeDrawM") << Field([](const GraphWidget &w) { return w.drawM; });
}

void TestGraphWidget::valueSlots()
{
    QFETCH(QByteArray, slot);
    QFETCH(Field, field);

    GraphWidget &w = *m_view->widget;
    QVERIFY(QMetaObject::invokeMethod(&w, slot.constData(), Q_ARG(double, 1.75)));
    QCOMPARE(field(w), 1.75f);
}

void TestGraphWidget::resetSlots_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<bool>("resets");
    QTest::addColumn<int>("mode");

    QTest::newRow("reset") << Action([](GraphWidget &w) { w.reset(); }) << true
                           << int(GraphWidget::ColorWeaving);
    QTest::newRow("box unchecked") << Action([](GraphWidget &w) { w.drawStateChanged(0); }) << false
                                   << int(GraphWidget::ColorWeaving);
    QTest::newRow("box checked") << Action([](GraphWidget &w) { w.drawStateChanged(2); }) << true
                                 << int(GraphWidget::ColorWeaving);
    QTest::newRow("force directed")
        << Action([](GraphWidget &w) { w.changeDrawMode(0); }) << true << 0;
    QTest::newRow("convergence keeps the layout")
        << Action([](GraphWidget &w) { w.changeDrawMode(2); }) << false << 2;
}

void TestGraphWidget::resetSlots()
{
    QFETCH(Action, action);
    QFETCH(bool, resets);
    QFETCH(int, mode);

    GraphWidget &w = *m_view->widget;
    for (Node *node : w.nodes)
        node->velocity = QVector3D(1, 0, 1);
    displace(w);
    action(w);
    QCOMPARE(atHome(w), resets);
    QCOMPARE(w.nodes.front()->velocity.isNull(), resets);
    QCOMPARE(w.drawMode, mode);
}

void TestGraphWidget::messages_data()
{
    QTest::addColumn<Action>("action");
    QTest::addColumn<QString>("printed");

    QTest::newRow("save image") << Action([](GraphWidget &w) { w.saveImage(); }) << "save file?\n";
    QTest::newRow("mode") << Action([](GraphWidget &w) { w.changeDrawMode(3); })
                          << "change mode to 3\n";
}

void TestGraphWidget::messages()
{
    QFETCH(Action, action);
    QFETCH(QString, printed);

    StdoutCapture out;
    action(*m_view->widget);
    QCOMPARE(out.text(), printed);
}

void TestGraphWidget::selection_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fromList");
    QTest::addColumn<int>("selected");

    QTest::newRow("text view") << "CARL DEAN" << false << 2;
    QTest::newRow("list row") << "ANNA" << true << 0;
    QTest::newRow("unknown name") << "ZOE" << true << -1;
}

void TestGraphWidget::selection()
{
    QFETCH(QString, text);
    QFETCH(bool, fromList);
    QFETCH(int, selected);

    GraphWidget &w = *m_view->widget;
    w.selectedCharacter = 1;
    FakeTextView textView;
    textView.selection = text;
    if (fromList) {
        QListWidgetItem item(text);
        w.ListItemClicked(&item);
    } else {
        w.textView = &textView;
        StdoutCapture out;
        w.selectionChanged();
        QCOMPARE(out.text(), QStringLiteral("got selection changed\n"));
    }
    QCOMPARE(w.selectedCharacter, selected);
}

void TestGraphWidget::recolouring_data()
{
    QTest::addColumn<int>("selected");
    QTest::addColumn<QList<int>>("selectedRows");
    QTest::addColumn<QList<int>>("recoloured");

    QTest::newRow("selected character") << 1 << QList<int>{} << QList<int>{1};
    QTest::newRow("selected rows") << -1 << QList<int>{0, 2} << QList<int>{0, 2};
    QTest::newRow("both") << 2 << QList<int>{0} << QList<int>{0, 2};
    QTest::newRow("selection out of range") << 3 << QList<int>{} << QList<int>{};
}

void TestGraphWidget::recolouring()
{
    QFETCH(int, selected);
    QFETCH(QList<int>, selectedRows);
    QFETCH(QList<int>, recoloured);

    const QColor before(10, 20, 30);
    const QColor after(200, 100, 50);
    GraphWidget &w = *m_view->widget;
    // The dialog signals only changes of its colour.
    w.colorDialog.setCurrentColor(before);
    QListWidget list;
    list.setSelectionMode(QAbstractItemView::MultiSelection);
    for (Character *character : m_model->list.characters) {
        character->color = before;
        character->listItem = new QListWidgetItem(character->className(), &list);
    }
    for (const int row : selectedRows)
        list.item(row)->setSelected(true);

    w.selectedCharacter = selected;
    // The dialog's signal reaches the view.
    w.colorDialog.setCurrentColor(after);
    for (int j = 0; j < m_model->list.characters.size(); ++j) {
        Character *character = m_model->list.characters.at(j);
        const QColor expected = recoloured.contains(j) ? after : before;
        QCOMPARE(character->color, expected);
        // Threads point at the characters' colours, so the next frame shows the change.
        QCOMPARE(*w.ropes[size_t(j)]->nodes.front()->color, expected);
        QCOMPARE(character->listItem->background().color() == after, recoloured.contains(j));
        character->listItem = nullptr;
    }
}

void TestGraphWidget::colorPicker()
{
    GraphWidget &w = *m_view->widget;
    w.ColorPicker();
    // Shown without blocking: this line runs while the dialog is open.
    QVERIFY(w.colorDialog.isVisible());
    QCOMPARE(w.colorDialog.windowModality(), Qt::WindowModal);
    w.colorDialog.reject();
    QVERIFY(!w.colorDialog.isVisible());
}

void TestGraphWidget::spin_data()
{
    QTest::addColumn<float>("from");
    QTest::addColumn<bool>("right");
    QTest::addColumn<float>("target");

    QTest::newRow("right from 0") << 0.0f << true << 90.0f;
    QTest::newRow("right from 45") << 45.0f << true << 90.0f;
    QTest::newRow("right from -45 truncates toward zero") << -45.0f << true << 90.0f;
    QTest::newRow("right from 90") << 90.0f << true << 180.0f;
    QTest::newRow("left from 0") << 0.0f << false << -90.0f;
    QTest::newRow("left from 45") << 45.0f << false << -90.0f;
    QTest::newRow("left from 90") << 90.0f << false << 0.0f;
}

void TestGraphWidget::spin()
{
    QFETCH(float, from);
    QFETCH(bool, right);
    QFETCH(float, target);

    GraphWidget &w = *m_view->widget;
    w.targetRotation = from;
    if (right)
        w.spinRight();
    else
        w.spinLeft();
    QCOMPARE(w.targetRotation, target);
}

void TestGraphWidget::spinSequence_data()
{
    QTest::addColumn<int>("quarters");
    QTest::addColumn<QList<float>>("expected");

    // The speed grows by a degree a frame; the last step of a quarter turn passes the target by
    // one degree, within the snap distance, and the spin rests on its target.
    QTest::newRow("quarter right")
        << 1 << QList<float>{1, 3, 6, 10, 15, 21, 28, 36, 45, 55, 66, 78, 91, 90, 90, 90};
    QTest::newRow("quarter left") << -1 << QList<float>{-1,  -3,  -6,  -10, -15, -21, -28, -36,
                                                        -45, -55, -66, -78, -91, -90, -90, -90};
    // Past the target by 10 degrees, the speed is cut to the distance left and the spin comes
    // back instead of swinging about it.
    QTest::newRow("half turn") << 2 << QList<float>{1,   3,   6,   10,  15,  21,  28,  36,
                                                    45,  55,  66,  78,  91,  105, 120, 136,
                                                    153, 171, 190, 181, 180, 180, 180, 180};
}

void TestGraphWidget::spinSequence()
{
    QFETCH(int, quarters);
    QFETCH(QList<float>, expected);

    GraphWidget &w = *m_view->widget;
    w.rotationSpeed = 0;
    m_view->frame();
    QCOMPARE(w.rotationSpeed, 1.0f);

    for (int i = 0; i < std::abs(quarters); ++i) {
        if (quarters > 0)
            w.spinRight();
        else
            w.spinLeft();
    }
    QList<float> seen;
    for (int frame = 0; frame < expected.size(); ++frame) {
        w.paintGL();
        seen << w.rotation;
    }
    QCOMPARE(seen, expected);
    QCOMPARE(w.rotationSpeed, 1.0f);
}

void TestGraphWidget::drag_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QPoint>("move");
    QTest::addColumn<float>("rotation");
    QTest::addColumn<float>("zoom");
    QTest::addColumn<float>("pan");

    QTest::newRow("left, 100 to the right")
        << int(Qt::LeftButton) << QPoint(100, 0) << 10.0f << -26.0f << 0.0f;
    QTest::newRow("right, 100 down")
        << int(Qt::RightButton) << QPoint(0, 100) << 0.0f << -25.0f << 0.0f;
    QTest::newRow("right, 100 up")
        << int(Qt::RightButton) << QPoint(0, -100) << 0.0f << -27.0f << 0.0f;
    QTest::newRow("middle, 100 down")
        << int(Qt::MiddleButton) << QPoint(0, 100) << 0.0f << -26.0f << -1.0f;
    // The zoom stays away from 0, where the 2-D scale factor has no value.
    QTest::newRow("right, far down stops at -1")
        << int(Qt::RightButton) << QPoint(0, 5000) << 0.0f << -1.0f << 0.0f;
    QTest::newRow("right, far up stops at -500")
        << int(Qt::RightButton) << QPoint(0, -60000) << 0.0f << -500.0f << 0.0f;
}

void TestGraphWidget::drag()
{
    QFETCH(int, button);
    QFETCH(QPoint, move);
    QFETCH(float, rotation);
    QFETCH(float, zoom);
    QFETCH(float, pan);

    GraphWidget &w = *m_view->widget;
    // A spin in progress, which a drag takes over.
    w.targetRotation = 90;
    const QPoint start(50, 50);
    const auto mouse = Qt::MouseButton(button);
    QMouseEvent press(QEvent::MouseButtonPress, start, mouse, mouse, Qt::NoModifier);
    QApplication::sendEvent(&w, &press);
    QMouseEvent drag(QEvent::MouseMove, start + move, Qt::NoButton, mouse, Qt::NoModifier);
    QApplication::sendEvent(&w, &drag);

    QCOMPARE(w.rotation, rotation);
    QCOMPARE(w.targetRotation, rotation);
    QCOMPARE(w.zoomDistance, zoom);
    QCOMPARE(w.panOffset, pan);
    QCOMPARE(w.lastMouseX, start.x() + move.x());
    QCOMPARE(w.lastMouseY, start.y() + move.y());
    m_view->frame();
    QCOMPARE(w.rotation, rotation);
}

void TestGraphWidget::keys_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("selected");

    QTest::newRow("digit") << int(Qt::Key_3) << "3" << 3;
    QTest::newRow("letter") << int(Qt::Key_A) << "a" << 0;
    QTest::newRow("no text") << int(Qt::Key_Shift) << "" << 0;
}

void TestGraphWidget::keys()
{
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(int, selected);

    GraphWidget &w = *m_view->widget;
    w.selectedCharacter = -1;
    QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&w, &event);
    QCOMPARE(w.selectedCharacter, selected);
}

void TestGraphWidget::nearestPower_data()
{
    QTest::addColumn<double>("x");
    QTest::addColumn<unsigned>("power");

    QTest::newRow("1") << 1.0 << 1u;
    QTest::newRow("5") << 5.0 << 8u;
    QTest::newRow("300") << 300.0 << 512u;
    QTest::newRow("512") << 512.0 << 512u;
    QTest::newRow("513") << 513.0 << 1024u;
    QTest::newRow("4096") << 4096.0 << 4096u;
}

void TestGraphWidget::nearestPower()
{
    QFETCH(double, x);
    QFETCH(unsigned, power);
    QCOMPARE(GraphWidget::nearestPower(x), power);
}

void TestGraphWidget::savedImageIsTheFrame_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("format");
    QTest::addColumn<int>("mode");

    QTest::newRow("png, increasing graph") << "frame.png" << QByteArray("png") << 3;
    QTest::newRow("png, force directed") << "frame.png" << QByteArray("png") << 0;
    QTest::newRow("jpeg by suffix") << "frame.jpg" << QByteArray("jpeg") << 3;
}

void TestGraphWidget::savedImageIsTheFrame()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, format);
    QFETCH(int, mode);

    ViewHarness view(500, 300);
    QVERIFY(view.ready());
    view.show(&m_model->list, 0.25f);
    view.widget->drawMode = mode;
    const QString path = m_dir.filePath(name);
    view.widget->saveImageToFile(path);
    view.widget->paintGL();
    QVERIFY(view.widget->imageFileName.isEmpty());
    const QImage shown = view.readBack();

    QImageReader reader(path);
    QCOMPARE(reader.format(), format);
    const QImage saved = reader.read().convertToFormat(QImage::Format_RGB888);
    QCOMPARE(saved.size(), QSize(500, 300));
    if (format == "png") {
        QCOMPARE(saved, shown);
    } else {
        // JPEG is lossy; inside the bands the colours hold.
        const QPoint inside(480, 20);
        QVERIFY(near(saved.pixelColor(inside), shown.pixelColor(inside), 8));
    }
}

void TestGraphWidget::saveWaitsForGraph()
{
    GraphWidget &w = *m_view->widget;
    const QString path = m_dir.filePath(QStringLiteral("waits.png"));
    w.clear();
    w.saveImageToFile(path);
    w.paintGL();
    QCOMPARE(w.imageFileName, path);
    QVERIFY(!QFile::exists(path));

    m_view->show(&m_model->list, 0.25f);
    w.paintGL();
    QVERIFY(w.imageFileName.isEmpty());
    QVERIFY(QFile::exists(path));
}

void TestGraphWidget::failedSave()
{
    GraphWidget &w = *m_view->widget;
    // A suffix no image writer knows fails after the file is opened.
    const QString path = m_dir.filePath(QStringLiteral("frame.unknown"));
    {
        QFile previous(path);
        QVERIFY(previous.open(QIODevice::WriteOnly));
        previous.write("previous");
    }
    StdoutCapture out;
    w.saveImageToFile(path);
    w.paintGL();
    QCOMPARE(out.lines(), QStringList{"could not save image " + path});
    QVERIFY(w.imageFileName.isEmpty());
    QFile previous(path);
    QVERIFY(previous.open(QIODevice::ReadOnly));
    QCOMPARE(previous.readAll(), QByteArray("previous"));
}

QTEST_MAIN(TestGraphWidget)
#include "tst_graphwidget.moc"
