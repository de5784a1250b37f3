// SPDX-License-Identifier: MIT
#pragma once

#include "graphwidget.h"

#include <QImage>
#include <QtTest>

#include <memory>

// What the back buffer of a view holds now, in device pixels, top row first.
inline QImage readBackBuffer(GraphWidget *view)
{
    view->makeCurrent();
    glFinish();
    QImage image(view->size() * view->devicePixelRatioF(), QImage::Format_RGB888);
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

// The x and y range an orthographic projection shows, in view units, at the default zoom.
struct Volume {
    double left, right, bottom, top;
};
inline constexpr Volume timeAxisVolume{-10, 10, -10, 10};
inline constexpr Volume chartVolume{0, 1, -10, 10};
inline constexpr Volume flippedChartVolume{-10, 10, 0, 1};

// A GraphWidget of a fixed size on screen whose redraw timer is stopped, so that frames are
// drawn only when a test asks.
class ViewHarness {
public:
    ViewHarness(int width, int height) : widget(std::make_unique<GraphWidget>())
    {
        widget->redrawTimer.stop();
        widget->resize(width, height);
        widget->show();
    }

    // True once the window is on screen and the view has its size in device pixels.
    bool ready()
    {
        const QSize device = widget->size() * widget->devicePixelRatioF();
        return QTest::qWaitForWindowExposed(widget.get(), 30000) &&
               QSize(widget->viewWidth, widget->viewHeight) == device;
    }

    // Replaces the graph by one built from list, with the start circle drawn from seed 1.
    void show(CharacterList *list, float step = 0.01f)
    {
        widget->clear();
        std::srand(1);
        widget->init(list, step);
    }

    // Draws count frames and returns the last one.
    QImage frame(int count = 1)
    {
        for (int i = 0; i < count; ++i)
            widget->paintGL();
        return readBackBuffer(widget.get());
    }

    // The pixel showing the point (x, y) of a volume.
    QPoint pixel(const Volume &v, double x, double y) const
    {
        return QPoint(int((x - v.left) / (v.right - v.left) * widget->width()),
                      int((v.top - y) / (v.top - v.bottom) * widget->height()));
    }

    std::unique_ptr<GraphWidget> widget;
};

// Colours equal within a tolerance per channel.
inline bool near(const QColor &a, const QColor &b, int tolerance = 3)
{
    return std::abs(a.red() - b.red()) <= tolerance &&
           std::abs(a.green() - b.green()) <= tolerance &&
           std::abs(a.blue() - b.blue()) <= tolerance;
}
