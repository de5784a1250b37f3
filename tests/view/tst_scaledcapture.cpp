// SPDX-License-Identifier: MIT
#include "modelbuilder.h"
#include "viewharness.h"

#include <QApplication>
#include <QTemporaryDir>

// Under display scaling the frame has more pixels than the widget has units; the saved image
// must hold all of them, not the lower-left part that the widget's own size covers.
class TestScaledCapture : public QObject {
    Q_OBJECT
private slots:
    void savedImageIsTheWholeFrame();
};

void TestScaledCapture::savedImageIsTheWholeFrame()
{
    QTemporaryDir dir;
    ModelBuilder model({"ANNA", "BOB"}, "0 0.5 ANNA | 0.5 1 ANNA BOB");
    ViewHarness view(300, 200);
    QVERIFY(view.ready());
    QCOMPARE(view.widget->devicePixelRatioF(), 2.0);
    view.widget->drawMode = GraphWidget::ColorWeaving;
    view.show(&model.list);
    const QString path = dir.filePath(QStringLiteral("frame.png"));
    view.widget->saveImageToFile(path);
    const QImage frame = view.frame();
    const QImage image = QImage(path).convertToFormat(QImage::Format_RGB888);
    QCOMPARE(image.size(), QSize(600, 400));
    QCOMPARE(image, frame);
    // Both scenes are drawn across the whole frame: its corners hold no background.
    for (const QPoint &corner : {QPoint(5, 5), QPoint(595, 395)})
        QVERIFY(image.pixelColor(corner) != QColor(Qt::black));
}

int main(int argc, char **argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestScaledCapture test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_scaledcapture.moc"
