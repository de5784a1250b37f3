// SPDX-License-Identifier: MIT
#pragma once

#include <QSize>
#include <QString>
#include <QStringList>

#include <functional>

class CharacterList;
class QCoreApplication;

// Settles longer than this report their progress every so many frames.
constexpr int settleProgressEvery = 100;

// Draws the thread images of the command-line tool. The drawing brings the widgets and GL
// along, so it lives in the module "plotloom-images", loaded only by runs that draw.
class ImageRenderer {
public:
    virtual ~ImageRenderer() = default;
    // Settles the layout of list for settle frames and writes the image to path; on failure
    // appends the reason to errors. Long settles report progress.
    virtual bool render(CharacterList *list, float step, int settle, const QString &path,
                        const std::function<void(const QString &)> &progress,
                        QStringList *errors) = 0;
};

// The module's functions, resolved by these names.
// "plotloomDrawingApplication": the application for a run that draws, on the X display that
// DISPLAY names (or, when it cannot be reached, the offscreen platform, which cannot draw).
using DrawingApplicationFunction = QCoreApplication *(*)(int &argc, char **argv);
// "plotloomImageRenderer": a renderer drawing in a mode (the thread view's drawMode) at a size.
using ImageRendererFunction = ImageRenderer *(*)(int mode, const QSize &size);
