// SPDX-License-Identifier: MIT
#include "graphwidget.h"
#include "modelbuilder.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QtTest>

// Under display scaling the frame has more pixels than the widget has units; the saved image
// must hold all of them, not the lower-left part that the widget's own size covers.
class TestScaledCapture : public QObject {
    Q_OBJECT
private slots:
    void savedImageIsTheWholeFrame();
};

void TestScaledCapture::savedImageIsTheWholeFrame()
{
    constexpr int scale = 2;
    QTemporaryDir dir;
    ModelBuilder model({"ANNA", "BOB"}, "0 0.5 ANNA | 0.5 1 ANNA BOB");
    GraphWidget view;
    view.redrawTimer.stop();
    view.resize(300, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.devicePixelRatioF(), qreal(scale));
    view.drawMode = GraphWidget::ColorWeaving;
    view.init(&model.list, 0.01f);
    const QString path = dir.filePath(QStringLiteral("frame.png"));
    view.saveImageToFile(path);
    view.paintGL();

    // The back buffer, device pixels, top row first.
    const QSize device = view.size() * scale;
    QImage frame(device, QImage::Format_RGB888);
    view.makeCurrent();
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    for (int row = 0; row < device.height(); ++row)
        glReadPixels(0, row, device.width(), 1, GL_RGB, GL_UNSIGNED_BYTE,
                     frame.scanLine(device.height() - 1 - row));
    const QImage image = QImage(path).convertToFormat(QImage::Format_RGB888);
    QCOMPARE(image.size(), device);
    QCOMPARE(image, frame);
    // Both scenes are drawn across the whole frame: its corners hold no background.
    for (const QPoint &corner : {QPoint(5, 5), QPoint(device.width() - 5, device.height() - 5)})
        QVERIFY(image.pixelColor(corner) != QColor(Qt::black));
    view.clear();
}

int main(int argc, char **argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    QApplication app(argc, argv);
    TestScaledCapture test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_scaledcapture.moc"
