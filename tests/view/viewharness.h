// SPDX-License-Identifier: MIT
#pragma once

#include "glutsupport.h"
#include "graphwidget.h"
#include "textviewstate.h"

#include <QImage>
#include <QtTest>

#include <memory>

// A text view whose scroll state and selection a test sets.
class FakeTextView : public TextViewState {
public:
    int scrollValue() const override { return value; }
    int scrollMaximum() const override { return maximum; }
    QString selectedText() const override { return selection; }

    int value = 0;
    int maximum = 0;
    QString selection;
};

// The x and y range an orthographic projection shows, in view units.
struct Volume {
    double left;
    double right;
    double bottom;
    double top;
};

// What the back buffer of a view holds now, top row first.
inline QImage readBackBuffer(GraphWidget *view)
{
    view->makeCurrent();
    glFinish();
    QImage image(view->width(), view->height(), QImage::Format_RGB888);
    GLint alignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    // GL rows run bottom-up: row r of the window is image row height - 1 - r.
    for (int row = 0; row < image.height(); ++row)
        glReadPixels(0, row, image.width(), 1, GL_RGB, GL_UNSIGNED_BYTE,
                     image.scanLine(image.height() - 1 - row));
    glPixelStorei(GL_PACK_ALIGNMENT, alignment);
    return image;
}

// A GraphWidget of a fixed size on screen, its redraw timer stopped so that frames are drawn
// only when a test asks, and the frames it draws read back from the back buffer.
class ViewHarness {
public:
    explicit ViewHarness(int width = 400, int height = 400)
    {
        ensureGlutInitialized();
        widget = std::make_unique<GraphWidget>();
        widget->redrawTimer.stop();
        widget->resize(width, height);
        widget->show();
    }

    // True once the window is on screen and the view has its size.
    bool ready()
    {
        return QTest::qWaitForWindowExposed(widget.get()) && widget->viewWidth == widget->width() &&
               widget->viewHeight == widget->height();
    }

    // Replaces the graph by one built from list, with the start circle drawn from seed 1.
    void show(CharacterList *list, float step = 0.01f)
    {
        widget->clear();
        std::srand(1);
        widget->init(list, step);
    }

    // Draws count frames through paintGL and returns the last one, top row first.
    QImage frame(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            widget->paintGL();
        return readBack();
    }

    // What the back buffer holds now, top row first.
    QImage readBack() { return readBackBuffer(widget.get()); }

    // The pixel showing the point (x, y) of an orthographic volume that fills the view.
    QPoint pixel(const Volume &volume, double x, double y) const
    {
        const double u = (x - volume.left) / (volume.right - volume.left);
        const double v = (volume.top - y) / (volume.top - volume.bottom);
        return QPoint(int(u * widget->width()), int(v * widget->height()));
    }

    std::unique_ptr<GraphWidget> widget;
};

// The orthographic volumes of the modes at the default zoom.
inline constexpr Volume timeAxisVolume{-10, 10, -10, 10};
inline constexpr Volume chartVolume{0, 1, -10, 10};
inline constexpr Volume flippedChartVolume{-10, 10, 0, 1};

// Colours equal within a tolerance per channel.
inline bool near(const QColor &a, const QColor &b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}
