// SPDX-License-Identifier: MIT
#pragma once

// GLEW has to come before QGLWidget and every other GL header.
#include "glsl.h"

#include "labelstrokes.h"
#include "spherestamps.h"
#include "storylinelayout.h"
#include "threadgraph.h"

#include <QColor>
#include <QColorDialog>
#include <QGLWidget>
#include <QPointF>
#include <QString>
#include <QTimer>

#include <map>
#include <memory>
#include <vector>

class Node;
class QAbstractButton;
class QKeyEvent;
class QListWidgetItem;
class QMouseEvent;
class QPaintEvent;
class TextViewState;

// The OpenGL thread view: draws the thread graph it inherits in one of five modes, and reacts to
// the main window's controls, the mouse and the keyboard. In every mode it names the thread under
// the pointer, and the scene there, in a tooltip, and reports a click on a thread. A timer looks
// ten times a second for a reason to draw: a layout still moving, a spin or a pending image, or a
// change to anything the picture depends on; a view at rest draws nothing. Every mode sets the GL
// state it needs at the start of each frame.
class GraphWidget : public QGLWidget, public ThreadGraph {
    Q_OBJECT

public:
    // The drawMode values, in the order of the main window's mode list.
    enum DrawMode : int {
        ForceDirected = 0,
        ColorWeaving = 1,
        ConvergenceGraph = 2,
        IncreasingGraph = 3,
        Storyline = 4,
    };

    explicit GraphWidget(QWidget *parent = nullptr, Qt::WindowFlags flags = {});
    ~GraphWidget() override;

    // The next frame drawn while a graph is built is written to name, in the format of its
    // suffix; the request waits until then.
    void saveImageToFile(const QString &name);
    // The smallest power of two not below x, computed through logarithms.
    static unsigned nearestPower(double x);

    // Draws one frame (simulating first in the 3-D modes), writes a pending image and presents
    // the frame. Public because batch runs call it directly to flush a pending image; it makes
    // the widget's context current itself.
    void paintGL() override;

    // The four modes; each draws one whole frame into the current context.
    void drawForceDirected();
    void drawConvergence();
    void drawColorWeaving();
    void drawActivityGraph();
    // Scenes left to right, each character a line, the characters of a scene side by side.
    void drawStoryline();
    // The storyline layout of the current model, computed when first asked for after the graph
    // changed.
    const StorylineLayout &storylineLayout();
    // The storyline chart as an SVG drawing, titled with sceneHeadings.
    QByteArray storylineSvg();

    // The character whose thread is drawn under pos (widget coordinates), or -1; with it, when
    // scene is given, the scene there (-1 where there is none).
    int threadAt(const QPoint &pos, int *scene = nullptr);
    // Every thread as a bundle of translucent strands, reseeding rand() so the picture holds
    // still; then the names when "Draw Names" is ticked.
    void renderRopes();
    // The grid marking the reading position, in the horizontal plane at the height of the text
    // in view. Leaves its translation and scale on the matrix stack.
    void renderPlane();

    // How far the text view is scrolled, from 0 (top) to 1 (bottom); 0 when it cannot scroll.
    float readingFraction() const;

    // The redraw timer's tick: draws a frame when needsFrame() says so, else returns at once.
    void tick();
    // Whether the picture may differ from the last frame drawn: the layout moved visibly in that
    // frame, a spin or an image save is under way, or an input of the picture has changed since
    // (graph, mode, camera, drawing options, check boxes, selection, colours, size, and the
    // reading position while the grid shows).
    bool needsFrame() const;

    // Colour chooser for the selected characters; shown without blocking.
    QColorDialog colorDialog;
    // Calls tick() every 100 ms from construction on.
    QTimer redrawTimer;
    // Frames drawn so far.
    unsigned long long framesDrawn = 0;
    // Built with the first frame, when a context exists; it initialises GLEW.
    std::unique_ptr<shadekit::glShaderManager> shaderManager;
    // The colour weaving program, built the first time that mode draws.
    shadekit::glShader *shaderProgram = nullptr;

    // Size from the last resizeGL.
    int viewWidth = 0;
    int viewHeight = 0;
    int drawMode = ForceDirected;
    // Rotation of the 3-D modes about the time axis, in degrees, and where it is heading.
    float rotation = 0.0f;
    float targetRotation = 0.0f;
    // Degrees per frame of a running spin; it grows by one every frame.
    float rotationSpeed = 0.0f;
    // Vertical shift of the 2-D modes.
    float panOffset = 0.0f;
    // Zoom of the 2-D modes, which scale by (zoomDistance / 26)^-2; kept in [-500, -1].
    float zoomDistance = -26.0f;
    int lastMouseX = 0;
    int lastMouseY = 0;
    // Qt button code of the last press; 0 until the first.
    int mouseButton = 0;
    // Strand spread and line width where a character is present, and elsewhere.
    float activeThreadSize = 3.0f;
    float inactiveThreadSize = 0.5f;
    // Alpha factor of strands and fills.
    float threadTransparency = 0.2f;
    // Arc amplitude factor of the convergence mode.
    float drawM = 0.1f;
    // Kept for the "DrawExp" control; no mode reads it.
    float drawPow = 0.5f;
    // Size of the reading-position grid.
    int gridScale = 3;
    // Where the next frame is saved; empty when no save is pending.
    QString imageFileName;
    // Texture of the colour weaving mode; 0 until first used.
    GLuint weaveTexture = 0;
    // The storyline chart's zoom (1 fits the view) and how far it is dragged, in pixels.
    float storylineZoom = 1.0f;
    QPointF storylinePan;
    // The heading of every scene, for the tooltips and the SVG drawing; set after every parse.
    QStringList sceneHeadings;

    // The main window's text view and check boxes, set after every parse. Null counts as absent
    // or unchecked; the boxes are read live at every frame.
    TextViewState *textView = nullptr;
    QAbstractButton *spheresBox = nullptr;
    QAbstractButton *springsBox = nullptr;
    QAbstractButton *gridBox = nullptr;
    QAbstractButton *flipAxisBox = nullptr;
    QAbstractButton *drawNamesBox = nullptr;
    // Read at every simulation step into moveToPlane.
    QAbstractButton *moveToPlaneBox = nullptr;

signals:
    // A pending image was written to fileName, or could not be (the name is cleared either way).
    void imageSaved(const QString &fileName, const QString &failure);
    // A click on the thread of a character (an index into the model's characters), in the scene
    // that starts at position (0 to 1) of the text.
    void threadClicked(int character, float position);

public slots:
    // Only reports; the main window saves through saveImageToFile.
    void saveImage();
    // The main window's form crosses the two size controls over these slots: this one sets the
    // size of active stretches, the next one that of the others.
    void changeInactiveThreadSize(double size);
    void changeActiveThreadSize(double size);
    void changeThreadTransparency(double transparency);
    // Selects the character named by the text view's selection.
    void selectionChanged();
    void changeDrawM(double m);
    void changeDrawPow(double pow);
    // A box becoming checked (state not 0) resets the layout.
    void drawStateChanged(int state);
    // Spins to the next or previous multiple of 90 degrees.
    void spinRight();
    void spinLeft();
    // Puts every node back on its start circle.
    void reset();
    void ColorPicker();
    // Selects the character named by the clicked row.
    void ListItemClicked(QListWidgetItem *item);
    // Gives the selected character, and every character whose row is selected, this colour.
    void currentColorChanged(const QColor &color);
    // Mode 0 also resets the layout.
    void changeDrawMode(int mode);

protected:
    // Tooltips, clicks on threads, and the storyline's own drag and wheel, before the handlers
    // below.
    bool event(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void resizeGL(int w, int h) override;

private:
    // Where the storyline chart lies in the view: x = left + width * position in the text,
    // y = top + unit * height of the layout, in pixels from the top left.
    struct StorylineFrame {
        float left = 0.0f;
        float width = 0.0f;
        float top = 0.0f;
        float unit = 0.0f;
    };
    StorylineFrame storylineFrame();
    // The tooltip for pos, or an empty text.
    QString threadTip(const QPoint &pos);
    // The picking of each mode: the character under pos and the scene there.
    int storylineThreadAt(const QPointF &pos, int *scene);
    int ropeAt(const QPointF &pos, int *scene) const;
    int increasingLineAt(const QPointF &pos, int *scene) const;
    int weavingThreadAt(const QPoint &pos, int *scene);
    // The scene holding position t of the text, or -1.
    int sceneAtPosition(float t) const;
    void zoomStoryline(const QPointF &pos, float factor);

    // What a frame depends on besides the node positions, as tick() compares it.
    struct FrameInputs {
        unsigned generation = 0;
        bool graphReady = false;
        bool graphBuilt = false;
        int drawMode = 0;
        float rotation = 0.0f;
        float panOffset = 0.0f;
        float zoomDistance = 0.0f;
        float activeThreadSize = 0.0f;
        float inactiveThreadSize = 0.0f;
        float threadTransparency = 0.0f;
        float drawM = 0.0f;
        int gridScale = 0;
        int selectedCharacter = 0;
        // One bit per check box, set when it is ticked.
        unsigned boxes = 0;
        // The reading position while the grid shows, else 0.
        float reading = 0.0f;
        int width = 0;
        int height = 0;
        std::vector<QRgb> colors;

        bool operator==(const FrameInputs &other) const;
    };

    FrameInputs currentInputs() const;
    // Compares the node positions with those of the last frame and notes whether any moved by
    // more than a small fraction of a pixel.
    void trackMotion();

    // The strands of the 3-D modes. What each vertex follows (a node, at an offset across the
    // time axis) and its colour stay the same from frame to frame, so they are kept; only the
    // positions are recomputed and sent every frame.
    struct Strands {
        // What the vertices were built for: the graph and the thread sizes.
        unsigned generation = 0;
        float activeSize = -1.0f;
        float inactiveSize = -1.0f;
        // The rand() calls building them took.
        long randomCalls = 0;
        // Per vertex: the node, the x and z offsets from it, the position this frame.
        std::vector<const Node *> nodes;
        std::vector<GLfloat> offsets;
        std::vector<GLfloat> positions;
        // Per vertex RGBA, made for these transparency and rope colours.
        std::vector<GLfloat> colors;
        float transparency = -1.0f;
        std::vector<QRgb> ropeColors;
        bool colorsSent = false;
        // First vertex and vertex count of every strip.
        std::vector<GLint> starts;
        std::vector<GLsizei> lengths;
        // Buffer objects of the positions and the colours; 0 until first drawn.
        GLuint positionBuffer = 0;
        GLuint colorBuffer = 0;
    };

    void animateCamera();
    // One simulation step of a 3-D mode, with the "Move To Plane" box as it is now.
    void stepLayout();
    void writePendingImage();
    // The orthographic volume of the time-axis modes: x from -10 to 10, the whole time axis
    // in y; identity model-view.
    void loadTimeAxisProjection();
    // The scale factor of the 2-D modes, (zoomDistance / 26)^-2.
    float zoomScale() const;
    // The alternating grey scene bands of the 3-D modes, in the plane z = 0.
    void drawSceneBands();
    // Lays the threads out on their depth layers, swinging out over absences.
    void layOutConvergence();
    // Builds and links the colour weaving program; ends the process when it cannot.
    void ensureShaderProgram();
    // Lays the 2000 strands out afresh, drawing from rand() as every frame's strands do.
    void buildStrands();
    // Makes the strand colours match the characters' colours and the transparency.
    void colorStrands();
    // The display list of a GLUT sphere of this radius, compiled on first use.
    GLuint sphereList(float radius);

    Strands strands;
    // The names of every rope, drawn at once after the strands.
    LabelStrokes labels;
    // The spheres of a frame, drawn at once where the context allows.
    SphereStamps stamps;
    // Sphere display lists by radius, where it does not; a frame's spheres come in two sizes.
    std::map<float, GLuint> sphereLists;

    // The inputs of the last frame drawn, its node positions (x and z, node by node) and whether
    // that frame moved the layout visibly.
    FrameInputs drawnInputs;
    std::vector<float> drawnPositions;
    bool layoutMoving = false;

    // The storyline layout and the graph it was made for.
    std::unique_ptr<StorylineLayout> m_storyline;
    unsigned m_storylineGeneration = 0;
    // Where the left button went down, to tell a click from a drag.
    QPoint m_pressPosition;
    bool m_pressed = false;
};
