// SPDX-License-Identifier: MIT
// The module "plotloom-images": the thread view, drawn off the window for the command-line tool.
#include "fileerror.h"
#include "glutsupport.h"
#include "graphwidget.h"
#include "imagerenderer.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLoggingCategory>
#include <QWindow>

namespace {

constexpr int exposeWaitMs = 5000;

// The thread view with the window's check boxes at their start states.
class ViewRenderer : public ImageRenderer {
public:
    ViewRenderer(int mode, const QSize &size)
    {
        m_moveToPlane.setChecked(true);
        m_flipAxis.setChecked(true);
        m_view.moveToPlaneBox = &m_moveToPlane;
        m_view.flipAxisBox = &m_flipAxis;
        m_view.spheresBox = &m_spheres;
        m_view.springsBox = &m_springs;
        m_view.gridBox = &m_grid;
        m_view.drawNamesBox = &m_names;
        m_view.drawMode = mode;
        m_view.redrawTimer.stop(); // every frame is drawn on purpose
        m_view.setWindowTitle(QStringLiteral("plotloom-batch"));
        m_view.resize(size);
        m_view.show();
        QElapsedTimer clock;
        clock.start();
        while (!(m_view.windowHandle() && m_view.windowHandle()->isExposed()) &&
               clock.elapsed() < exposeWaitMs)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }

    ~ViewRenderer() override { m_view.clear(); }

    bool render(CharacterList *list, float step, int settle, const QString &path,
                const std::function<void(const QString &)> &progress, QStringList *errors) override
    {
        m_view.clear();
        m_view.init(list, step);
        if (!m_view.graphReady) {
            errors->append(QStringLiteral("no image: the file has no scenes to draw"));
            return false;
        }
        for (int frame = 1; frame <= settle; ++frame) {
            m_view.paintGL();
            if (settle > settleProgressEvery && frame % settleProgressEvery == 0 && frame < settle)
                progress(QStringLiteral("settling, frame %1 of %2").arg(frame).arg(settle));
        }
        bool written = false;
        QString failure = QStringLiteral("the frame was not drawn");
        const QMetaObject::Connection saved = QObject::connect(
            &m_view, &GraphWidget::imageSaved, [&](const QString &, const QString &reason) {
                written = reason.isEmpty();
                failure = reason;
            });
        m_view.saveImageToFile(path);
        m_view.paintGL();
        QObject::disconnect(saved);
        m_view.saveImageToFile(QString());
        if (!written)
            errors->append(FileError::notWritten(path, failure).message());
        return written;
    }

private:
    GraphWidget m_view;
    QCheckBox m_moveToPlane, m_flipAxis, m_spheres, m_springs, m_grid, m_names;
};

} // namespace

extern "C" Q_DECL_EXPORT QCoreApplication *plotloomDrawingApplication(int &argc, char **argv)
{
    // Images are drawn on the X display, whatever platform the environment asks for. When that
    // display cannot be reached, Qt falls back to the offscreen platform instead of ending the
    // process; the tool then says that no images are written and writes the rest.
    qputenv("QT_QPA_PLATFORM", "xcb;offscreen");
    // The tool's own message replaces what Qt says about the failed connection.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.qpa.*=false"));
    auto *app = new QApplication(argc, argv);
    QLoggingCategory::setFilterRules(QString());
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        ensureGlutInitialized();
    return app;
}

extern "C" Q_DECL_EXPORT ImageRenderer *plotloomImageRenderer(int mode, const QSize &size)
{
    return new ViewRenderer(mode, size);
}
