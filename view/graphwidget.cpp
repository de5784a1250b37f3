// SPDX-License-Identifier: MIT
#include "graphwidget.h"

#include "characterlist.h"
#include "fileio.h"
#include "glutsupport.h"
#include "multisampling.h"
#include "node.h"
#include "rope.h"
#include "textviewstate.h"
#include "weavingsources.h"

#include <GL/glu.h>

#include <QAbstractButton>
#include <QFileInfo>
#include <QImage>
#include <QImageWriter>
#include <QKeyEvent>
#include <QListWidgetItem>
#include <QMouseEvent>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <vector>

namespace {

constexpr int redrawInterval = 100; // ms

// The zoom distance at which the 2-D modes are drawn at scale 1.
constexpr float unitZoomDistance = -26.0f;
// Zoom distances are kept in this range, away from 0 where the scale factor has no value.
constexpr float nearestZoomDistance = -1.0f;
constexpr float farthestZoomDistance = -500.0f;

// Pointer movement, in pixels, to change of the camera.
constexpr float zoomPerPixel = 0.01f;
constexpr float panPerPixel = 0.01f;
constexpr float degreesPerPixel = 0.1f;

constexpr float spinStep = 90.0f;
// A spin closer than this to its target snaps onto it.
constexpr float spinSnap = 2.0f;

constexpr double fieldOfView = 45.0;
constexpr double nearPlane = 1.0;
constexpr double farPlane = 5000.0;

constexpr float viewHalfWidth = 10.0f;
constexpr float viewHalfDepth = 10.0f;

// The layout is at rest once a step moves nothing drawn by as much as this many pixels on screen:
// less than the eye can follow.
constexpr float restMotion = 0.5f;
constexpr float radiansPerDegree = 3.14159265358979f / 180.0f;

// The check boxes as FrameInputs::boxes holds them.
unsigned tickedBits(std::initializer_list<const QAbstractButton *> boxes)
{
    unsigned bits = 0;
    unsigned bit = 1;
    for (const QAbstractButton *box : boxes) {
        if (box && box->isChecked())
            bits |= bit;
        bit <<= 1;
    }
    return bits;
}

// Sample buffers where they smooth edges; where they would not, they only cost drawing time.
QGLFormat viewFormat()
{
    return multisamplingAntialiases() ? QGLFormat(QGL::SampleBuffers) : QGLFormat();
}

// Writes image to name; returns why it could not, or an empty string.
QString writeImage(const QImage &image, const QString &name)
{
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    QImageWriter writer(&file, QFileInfo(name).suffix().toLatin1());
    if (!writer.write(image)) {
        file.cancelWriting();
        return writer.errorString();
    }
    return file.commit() ? QString() : file.errorString();
}

} // namespace

GraphWidget::GraphWidget(QWidget *parent, Qt::WindowFlags flags)
    : QGLWidget(viewFormat(), parent, nullptr, flags)
{
    ensureGlutInitialized();
    // paintGL presents the frame itself, so Qt must not swap a second time.
    setAutoBufferSwap(false);
    // Lets a click give the view the keyboard, where a digit selects a character.
    setFocusPolicy(Qt::ClickFocus);

    connect(&redrawTimer, &QTimer::timeout, this, &GraphWidget::tick);
    redrawTimer.start(redrawInterval);
    std::puts("create GL Widget");

    connect(&colorDialog, &QColorDialog::currentColorChanged, this,
            &GraphWidget::currentColorChanged);
}

GraphWidget::~GraphWidget()
{
    // The texture and the program belong to this widget's context, which goes with it.
    if (!isValid())
        return;
    makeCurrent();
    if (weaveTexture)
        glDeleteTextures(1, &weaveTexture);
    for (const GLuint buffer : {strands.positionBuffer, strands.colorBuffer}) {
        if (buffer)
            glDeleteBuffers(1, &buffer);
    }
    for (const auto &[radius, list] : sphereLists)
        glDeleteLists(list, 1);
    if (shaderManager) {
        stamps.release(*shaderManager);
        if (shaderProgram)
            shaderManager->free(shaderProgram);
    }
}

void GraphWidget::saveImageToFile(const QString &name)
{
    imageFileName = name;
}

unsigned GraphWidget::nearestPower(double x)
{
    return unsigned(std::pow(2.0, std::ceil(std::log(x) / std::log(2.0))));
}

float GraphWidget::readingFraction() const
{
    if (!textView)
        return 0.0f;
    const int maximum = textView->scrollMaximum();
    // A text that fits its view cannot scroll: the reading position is its top.
    if (maximum == 0)
        return 0.0f;
    return float(textView->scrollValue()) / float(maximum);
}

void GraphWidget::tick()
{
    if (needsFrame())
        updateGL();
}

bool GraphWidget::needsFrame() const
{
    const bool drawing = graphReady && graphBuilt;
    if (drawing && (layoutMoving || rotation != targetRotation || !imageFileName.isEmpty()))
        return true;
    return !(currentInputs() == drawnInputs);
}

bool GraphWidget::FrameInputs::operator==(const FrameInputs &o) const
{
    return generation == o.generation && graphReady == o.graphReady && graphBuilt == o.graphBuilt &&
           drawMode == o.drawMode && rotation == o.rotation && panOffset == o.panOffset &&
           zoomDistance == o.zoomDistance && activeThreadSize == o.activeThreadSize &&
           inactiveThreadSize == o.inactiveThreadSize &&
           threadTransparency == o.threadTransparency && drawM == o.drawM &&
           gridScale == o.gridScale && selectedCharacter == o.selectedCharacter &&
           boxes == o.boxes && reading == o.reading && width == o.width && height == o.height &&
           colors == o.colors;
}

GraphWidget::FrameInputs GraphWidget::currentInputs() const
{
    FrameInputs inputs;
    inputs.generation = generation;
    inputs.graphReady = graphReady;
    inputs.graphBuilt = graphBuilt;
    inputs.drawMode = drawMode;
    inputs.rotation = rotation;
    inputs.panOffset = panOffset;
    inputs.zoomDistance = zoomDistance;
    inputs.activeThreadSize = activeThreadSize;
    inputs.inactiveThreadSize = inactiveThreadSize;
    inputs.threadTransparency = threadTransparency;
    inputs.drawM = drawM;
    inputs.gridScale = gridScale;
    inputs.selectedCharacter = selectedCharacter;
    inputs.boxes =
        tickedBits({spheresBox, springsBox, gridBox, flipAxisBox, drawNamesBox, moveToPlaneBox});
    // Scrolling the text moves only the grid.
    if (gridBox && gridBox->isChecked())
        inputs.reading = readingFraction();
    inputs.width = viewWidth;
    inputs.height = viewHeight;
    if (characterList) {
        inputs.colors.reserve(size_t(characterList->characters.size()));
        for (const Character *character : characterList->characters)
            inputs.colors.push_back(character->color.rgba());
    }
    return inputs;
}

void GraphWidget::trackMotion()
{
    // The view shows x after turning x and z about the time axis, at viewWidth / 20 pixels a
    // unit (times the zoom in the convergence mode); depth alone never shows. Only what is drawn
    // counts: the threads within their spans and, while names show, the nodes the words sit on,
    // whose labels lie a little further out in x.
    float pixelsPerUnit = float(viewWidth) / (2.0f * viewHalfWidth);
    if (drawMode == ConvergenceGraph)
        pixelsPerUnit *= zoomScale();
    const float across = pixelsPerUnit * std::cos(rotation * radiansPerDegree);
    const float deep = pixelsPerUnit * std::sin(rotation * radiansPerDegree);
    // A graph built, cleared or reset since the last frame starts to move afresh.
    const bool sameGraph =
        drawnInputs.generation == generation && drawnPositions.size() == 2 * nodes.size();
    drawnPositions.resize(2 * nodes.size());
    const auto shift = [&](size_t i, float spread) {
        const float dx = nodes[i]->position.x() - drawnPositions[2 * i];
        const float dz = nodes[i]->position.z() - drawnPositions[2 * i + 1];
        return std::fabs(spread * across * dx + deep * dz);
    };
    float largest = 0.0f;
    if (sameGraph) {
        for (size_t i = 0; i < nodes.size(); ++i) {
            if (nodes[i]->activity > 0.0f)
                largest = std::max(largest, shift(i, 1.0f));
        }
        if (drawNamesBox && drawNamesBox->isChecked()) {
            // Node s of rope j is node s * N + j of the graph.
            const size_t ropeCount = ropes.size();
            for (size_t j = 0; j < ropeCount; ++j) {
                for (const auto &[word, at] : LabelStrokes::places(*ropes[j], false)) {
                    const size_t i = size_t(at) * ropeCount + j;
                    if (i < nodes.size() && nodes[i] == ropes[j]->nodes[size_t(at)])
                        largest = std::max(largest, shift(i, LabelStrokes::spread));
                }
            }
        }
    }
    for (size_t i = 0; i < nodes.size(); ++i) {
        drawnPositions[2 * i] = nodes[i]->position.x();
        drawnPositions[2 * i + 1] = nodes[i]->position.z();
    }
    layoutMoving = !sameGraph || largest >= restMotion;
}

void GraphWidget::paintGL()
{
    // Batch runs call this directly, so it cannot count on Qt having set the context up.
    if (!isValid())
        return;
    makeCurrent();
    // The manager initialises GLEW, which needs a current context: the first frame has one.
    if (!shaderManager)
        shaderManager = std::make_unique<shadekit::glShaderManager>();

    ++framesDrawn;
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    layoutMoving = false;
    if (graphReady && graphBuilt) {
        animateCamera();
        switch (drawMode) {
        case ColorWeaving:
            drawColorWeaving();
            break;
        case IncreasingGraph:
            drawActivityGraph();
            break;
        case Storyline:
            drawStoryline();
            break;
        case ConvergenceGraph:
            drawConvergence();
            trackMotion();
            break;
        default:
            drawForceDirected();
            trackMotion();
            break;
        }
        if (!imageFileName.isEmpty())
            writePendingImage();
    }
    drawnInputs = currentInputs();
    glFlush();
    swapBuffers();
}

void GraphWidget::animateCamera()
{
    if (rotation == targetRotation) {
        rotationSpeed = 1.0f;
        return;
    }
    // The speed grows by a degree per frame but never beyond the distance left, so a spin ends
    // on its target.
    const float delta = targetRotation - rotation;
    if (std::fabs(delta) >= spinSnap)
        rotation += delta > 0.0f ? rotationSpeed : -rotationSpeed;
    else
        rotation = targetRotation;
    rotationSpeed = std::min(rotationSpeed + 1.0f, std::fabs(delta));
}

void GraphWidget::writePendingImage()
{
    const QString name = imageFileName;
    imageFileName.clear();

    // The frame has device pixels: under display scaling the widget's own size is only a part.
    const qreal ratio = devicePixelRatioF();
    const int w = qRound(width() * ratio);
    const int h = qRound(height() * ratio);
    const unsigned readWidth = nearestPower(w);
    const unsigned readHeight = nearestPower(h);
    std::vector<uchar> pixels(size_t(readWidth) * readHeight * 3);
    // Tightly packed rows, so the buffer holds exactly what is read whatever the width.
    GLint packAlignment = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &packAlignment);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(0, 0, GLsizei(readWidth), GLsizei(readHeight), GL_RGB, GL_UNSIGNED_BYTE,
                 pixels.data());
    glPixelStorei(GL_PACK_ALIGNMENT, packAlignment);

    // GL rows run bottom-up; the first h rows read are the window's.
    const QImage read(pixels.data(), int(readWidth), int(readHeight), int(readWidth) * 3,
                      QImage::Format_RGB888);
    const QImage frame = read.copy(0, 0, w, h).mirrored();
    const QString failure = writeImage(frame, name);
    if (!failure.isEmpty())
        printLine(QStringLiteral("could not save image ") + name);
    emit imageSaved(name, failure);
}

void GraphWidget::loadTimeAxisProjection()
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(-viewHalfWidth, viewHalfWidth, -timeAxisLength / 2, timeAxisLength / 2, -viewHalfDepth,
            viewHalfDepth);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

float GraphWidget::zoomScale() const
{
    return std::pow(zoomDistance / unitZoomDistance, -2.0f);
}

void GraphWidget::saveImage()
{
    std::puts("save file?");
}

void GraphWidget::changeInactiveThreadSize(double size)
{
    activeThreadSize = float(size);
}

void GraphWidget::changeActiveThreadSize(double size)
{
    inactiveThreadSize = float(size);
}

void GraphWidget::changeThreadTransparency(double transparency)
{
    threadTransparency = float(transparency);
}

void GraphWidget::selectionChanged()
{
    std::puts("got selection changed");
    if (textView)
        setCharacterFromSelection(textView->selectedText());
}

void GraphWidget::changeDrawM(double m)
{
    drawM = float(m);
}

void GraphWidget::changeDrawPow(double value)
{
    drawPow = float(value);
}

void GraphWidget::drawStateChanged(int state)
{
    if (state != 0)
        reset();
}

void GraphWidget::spinRight()
{
    targetRotation = (std::trunc(targetRotation / spinStep) + 1.0f) * spinStep;
}

void GraphWidget::spinLeft()
{
    targetRotation = std::trunc(targetRotation / spinStep) * spinStep - spinStep;
}

void GraphWidget::reset()
{
    resetLayout();
}

void GraphWidget::ColorPicker()
{
    colorDialog.setWindowModality(Qt::WindowModal);
    colorDialog.show();
}

void GraphWidget::ListItemClicked(QListWidgetItem *item)
{
    if (!item)
        return;
    // A row shows every name word followed by a blank; the last blank is no part of the name.
    QString name = item->text();
    if (name.endsWith(QLatin1Char(' ')))
        name.chop(1);
    setCharacterFromSelection(name);
}

void GraphWidget::currentColorChanged(const QColor &color)
{
    const auto recolour = [&color](Character *character) {
        character->color = color;
        if (character->listItem)
            character->listItem->setBackground(QBrush(color));
    };
    if (!characterList)
        return;
    const QVector<Character *> &characters = characterList->characters;
    if (selectedCharacter >= 0 && selectedCharacter < characters.size())
        recolour(characters.at(selectedCharacter));
    for (Character *character : characters) {
        if (character->listItem && character->listItem->isSelected())
            recolour(character);
    }
}

void GraphWidget::changeDrawMode(int mode)
{
    std::printf("change mode to %d\n", mode);
    drawMode = mode;
    if (mode == ForceDirected)
        reset();
}

void GraphWidget::mousePressEvent(QMouseEvent *event)
{
    lastMouseX = event->x();
    lastMouseY = event->y();
    mouseButton = int(event->button());
}

void GraphWidget::mouseMoveEvent(QMouseEvent *event)
{
    const int dx = event->x() - lastMouseX;
    const int dy = event->y() - lastMouseY;
    switch (mouseButton) {
    case Qt::RightButton:
        zoomDistance = std::clamp(zoomDistance + float(dy) * zoomPerPixel, farthestZoomDistance,
                                  nearestZoomDistance);
        break;
    case Qt::MiddleButton:
        panOffset -= float(dy) * panPerPixel;
        break;
    case Qt::LeftButton:
        rotation += float(dx) * degreesPerPixel;
        break;
    default:
        break;
    }
    lastMouseX = event->x();
    lastMouseY = event->y();
    // Dragging takes the camera over from a running spin.
    targetRotation = rotation;
}

void GraphWidget::keyPressEvent(QKeyEvent *event)
{
    // The leading decimal digits of the key's text; none reads as 0.
    int index = 0;
    for (const QChar c : event->text()) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9') || index > 99999999)
            break;
        index = index * 10 + (c.unicode() - '0');
    }
    selectedCharacter = index;
}

void GraphWidget::paintEvent(QPaintEvent *)
{
    // updateGL makes the context current (and sets it up on first use) before paintGL draws.
    updateGL();
}

void GraphWidget::resizeGL(int w, int h)
{
    std::printf("resize %d %d \n", w, h);
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, h == 0 ? double(w) : double(w) / double(h), nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    viewWidth = w;
    viewHeight = h;
}
