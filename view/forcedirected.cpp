// SPDX-License-Identifier: MIT
// The two 3-D modes, which hang the threads down the time axis: the force-directed layout and
// the convergence layers. Both draw the threads as bundles of strands and may show the grid of
// the reading position.
#include "graphwidget.h"

#include "characterlist.h"
#include "glutsupport.h"
#include "node.h"
#include "rope.h"
#include "spring.h"
#include "textviewstate.h"

#include <GL/freeglut.h>

#include <QAbstractButton>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

constexpr float frameStep = 0.016f;

constexpr float clearGrey = 0.9f;
constexpr float evenBandGrey = 0.8f;
constexpr float oddBandGrey = 0.9f;
// Wide enough to fill the view at any rotation or zoom.
constexpr float bandHalfWidth = 1000.0f;

constexpr float sphereRadiusPerActivity = 0.1f;
constexpr int sphereDetail = 16;
constexpr float shownSpringActivity = 0.75f;
constexpr float springLineWidth = 2.0f;

constexpr int strandCount = 2000;
// The strands go to the renderer in this many parts.
constexpr size_t strandParts = 5;
// The strands turn by this rounded 2 pi; pictures depend on it.
constexpr float strandTurn = 6.283f;
// rand() is uniform in [0, 2^31) with glibc.
constexpr double randUnit = 1.0 / 2147483648.0;
// Stretches of a thread above this activity are drawn at the active size.
constexpr float activeStretch = 0.75f;
// Strands spread up to a tenth of the thread size from the thread.
constexpr float spreadPerSize = 0.1f;
constexpr float labelOffset = 0.5f;

// The arcs of the convergence mode use this rounded pi.
constexpr float arcPi = 3.1415f;
constexpr float arcAmplitude = 100.0f;
// Nodes above this activity are pinned to the centre line before the layout.
constexpr float pinnedActivity = 0.9f;
// Nodes above this activity lie on the centre line; those above the presence threshold end
// the absences the arcs span.
constexpr float centredActivity = 0.75f;
constexpr float presentActivity = 0.7f;
// Rope 0 lies at this depth; the others step toward its negative.
constexpr float layerDepth = 9.0f;

constexpr int gridLines = 11;
constexpr float gridAlpha = 0.5f;

bool ticked(const QAbstractButton *box)
{
    return box && box->isChecked();
}

void setColor(const QColor *color, float alpha = 1.0f)
{
    glColor4f(float(color->red()) / 255.0f, float(color->green()) / 255.0f,
              float(color->blue()) / 255.0f, alpha);
}

} // namespace

void GraphWidget::stepLayout()
{
    moveToPlane = ticked(moveToPlaneBox);
    simulate(frameStep);
}

void GraphWidget::drawSceneBands()
{
    const QVector<TimeIndex *> &scenes = characterList->timeIndices;
    glBegin(GL_QUADS);
    for (int k = 0; k < scenes.size(); ++k) {
        const float grey = k % 2 == 0 ? evenBandGrey : oddBandGrey;
        const float y1 = (0.5f - scenes.at(k)->start) * timeAxisLength;
        const float y2 = (0.5f - scenes.at(k)->stop) * timeAxisLength;
        glColor3f(grey, grey, grey);
        glVertex3f(-bandHalfWidth, y1, 0.0f);
        glVertex3f(bandHalfWidth, y1, 0.0f);
        glVertex3f(bandHalfWidth, y2, 0.0f);
        glVertex3f(-bandHalfWidth, y2, 0.0f);
    }
    glEnd();
}

void GraphWidget::drawForceDirected()
{
    loadTimeAxisProjection();
    glClearColor(clearGrey, clearGrey, clearGrey, 0.0f);
    glEnable(GL_LIGHTING);
    glEnable(GL_LIGHT0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glEnable(GL_COLOR_MATERIAL);

    // The bands do not depend on the layout: handed to the renderer before the step, they are
    // filled while it runs, where the renderer has threads of its own.
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    if (characterList)
        drawSceneBands();
    glFlush();
    stepLayout();

    glEnable(GL_LIGHTING);
    glRotatef(rotation, 0.0f, 1.0f, 0.0f);

    if (ticked(spheresBox) && glutInitialized()) {
        // Stamps show what the spheres' triangles would; a context that cannot draw them draws
        // the triangles.
        if (shaderManager && stamps.prepare(*shaderManager, rotation, sphereDetail)) {
            for (const Node *node : nodes) {
                if (node->activity > 0.0f)
                    stamps.add(node->position, node->activity * sphereRadiusPerActivity,
                               *node->color);
            }
            stamps.draw();
        } else {
            for (const Node *node : nodes) {
                if (node->activity <= 0.0f)
                    continue;
                setColor(node->color);
                glPushMatrix();
                glTranslatef(node->position.x(), node->position.y(), node->position.z());
                glCallList(sphereList(node->activity * sphereRadiusPerActivity));
                glPopMatrix();
            }
        }
    }

    if (ticked(springsBox)) {
        for (const Spring *spring : springs) {
            if (!spring->coactive || spring->a->activity <= shownSpringActivity)
                continue;
            const QVector3D a = spring->a->position;
            const QVector3D b = spring->b->position;
            const QVector3D middle = (a + b) / 2.0f;
            glDisable(GL_LIGHTING);
            glLineWidth(springLineWidth);
            glBegin(GL_LINES);
            setColor(spring->a->color);
            glVertex3f(a.x(), a.y(), a.z());
            glVertex3f(middle.x(), middle.y(), middle.z());
            setColor(spring->b->color);
            glVertex3f(middle.x(), middle.y(), middle.z());
            glVertex3f(b.x(), b.y(), b.z());
            glEnd();
            glEnable(GL_LIGHTING);
        }
    }

    renderRopes();
    if (ticked(gridBox))
        renderPlane();
}

void GraphWidget::drawConvergence()
{
    glViewport(0, 0, viewWidth, viewHeight);
    loadTimeAxisProjection();

    const float k = zoomScale();
    glPushMatrix();
    glTranslatef(0.0f, panOffset, 0.0f);
    glScalef(k, k, 1.0f);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    if (characterList)
        drawSceneBands();
    glFlush();
    glPopMatrix();

    glEnable(GL_LIGHTING);
    glRotatef(rotation, 0.0f, 1.0f, 0.0f);
    glTranslatef(0.0f, panOffset, 0.0f);
    glScalef(k, k, 1.0f);

    stepLayout();
    for (Node *node : nodes) {
        if (node->activity > pinnedActivity) {
            node->position.setX(0.0f);
            node->velocity = QVector3D();
        }
        node->position.setZ(0.0f);
    }
    glDisable(GL_LIGHTING);
    layOutConvergence();

    renderRopes();
    if (ticked(gridBox))
        renderPlane();
}

void GraphWidget::layOutConvergence()
{
    const size_t ropeCount = ropes.size();
    std::vector<int> previous;
    std::vector<int> next;
    for (size_t i = 0; i < ropeCount; ++i) {
        std::vector<Node *> &thread = ropes[i]->nodes;
        const int m = int(thread.size());
        const float side = i % 2 == 1 ? 1.0f : -1.0f;
        const float z = (0.5f - float(i) / float(ropeCount)) * 2.0f * layerDepth;

        // The nearest present node on either side; an absence running off an end of the rope
        // counts as ending one node past it.
        previous.assign(size_t(m), -1);
        next.assign(size_t(m), m);
        for (int k = 0, last = -1; k < m; ++k) {
            previous[size_t(k)] = last;
            if (thread[size_t(k)]->activity > presentActivity)
                last = k;
        }
        for (int k = m - 1, first = m; k >= 0; --k) {
            next[size_t(k)] = first;
            if (thread[size_t(k)]->activity > presentActivity)
                first = k;
        }

        for (int k = 0; k < m; ++k) {
            Node *node = thread[size_t(k)];
            if (node->activity > centredActivity) {
                node->position.setX(0.0f);
                node->velocity = QVector3D();
            } else {
                const float forward = float(next[size_t(k)] - k);
                const float back = float(k - previous[size_t(k)]);
                const float gap = forward + back + 1.0f;
                node->position.setX((arcAmplitude / float(m)) * drawM * side * gap *
                                    std::sin((back / gap) * arcPi));
            }
            node->position.setZ(z);
        }
    }
}

GLuint GraphWidget::sphereList(float radius)
{
    const auto found = sphereLists.find(radius);
    if (found != sphereLists.end())
        return found->second;
    const GLuint list = glGenLists(1);
    glNewList(list, GL_COMPILE);
    glutSolidSphere(double(radius), sphereDetail, sphereDetail);
    glEndList();
    sphereLists.emplace(radius, list);
    return list;
}

void GraphWidget::buildStrands()
{
    strands.generation = generation;
    strands.activeSize = activeThreadSize;
    strands.inactiveSize = inactiveThreadSize;
    strands.randomCalls = 0;
    strands.nodes.clear();
    strands.offsets.clear();
    strands.starts.clear();
    strands.lengths.clear();
    strands.ropeColors.clear(); // the colours follow the new vertices
    const auto random = [this] {
        ++strands.randomCalls;
        return std::rand();
    };
    const auto randomUnit = [&random] { return float(double(random()) * randUnit); };
    const auto closeStrip = [this](size_t first) {
        if (strands.nodes.size() > first) {
            strands.starts.push_back(GLint(first));
            strands.lengths.push_back(GLsizei(strands.nodes.size() - first));
        }
    };
    const auto addVertex = [this](const Node *node, float offsetX, float offsetZ) {
        strands.nodes.push_back(node);
        strands.offsets.push_back(offsetX);
        strands.offsets.push_back(offsetZ);
    };

    const int ropeCount = int(ropes.size());
    for (int strand = 0; strand < strandCount; ++strand) {
        const Rope *rope = ropes[size_t(random() % ropeCount)];
        size_t first = strands.nodes.size();
        bool open = true;

        const float theta = randomUnit() * strandTurn;
        const float dx = std::cos(theta);
        const float dz = std::sin(theta);
        const std::vector<Node *> &thread = rope->nodes;
        const size_t m = thread.size();
        for (size_t k = 0; k + 1 < m; ++k) {
            const Node *p = thread[k];
            const Node *q = thread[k + 1];
            // A strand breaks where its thread leaves the character's span.
            if (p->activity <= 0.0f || q->activity <= 0.0f) {
                if (open)
                    closeStrip(first);
                open = false;
                continue;
            }
            if (!open)
                first = strands.nodes.size();
            open = true;
            const float size = p->activity > activeStretch ? activeThreadSize : inactiveThreadSize;
            const float r = randomUnit() * size * spreadPerSize;
            addVertex(p, dx * r, dz * r);
            if (k + 2 == m)
                addVertex(q, dx * r, dz * r);
        }
        if (open)
            closeStrip(first);
    }
}

void GraphWidget::colorStrands()
{
    bool same =
        strands.transparency == threadTransparency && strands.ropeColors.size() == ropes.size();
    for (size_t i = 0; same && i < ropes.size(); ++i)
        same = strands.ropeColors[i] == ropes[i]->character->color.rgba();
    if (same)
        return;
    strands.transparency = threadTransparency;
    strands.ropeColors.clear();
    for (const Rope *rope : ropes)
        strands.ropeColors.push_back(rope->character->color.rgba());
    strands.colors.clear();
    for (const Node *node : strands.nodes) {
        const QColor *color = node->color;
        strands.colors.insert(strands.colors.end(),
                              {float(color->red()) / 255.0f, float(color->green()) / 255.0f,
                               float(color->blue()) / 255.0f, threadTransparency * node->activity});
    }
    strands.colorsSent = false;
}

void GraphWidget::renderRopes()
{
    // The same seed every frame draws the same strands, so the picture holds still.
    std::srand(1);
    if (ropes.empty())
        return;

    // Strands are built only for a new graph or new thread sizes (node activities are fixed when
    // the graph is built). Otherwise the random numbers they took are drawn again and dropped, so
    // that rand() stands where the strands leave it: the next graph's start circle draws on.
    if (strands.generation != generation || strands.activeSize != activeThreadSize ||
        strands.inactiveSize != inactiveThreadSize) {
        buildStrands();
    } else {
        for (long i = 0; i < strands.randomCalls; ++i)
            std::rand();
    }
    colorStrands();
    const size_t count = strands.nodes.size();
    strands.positions.resize(3 * count);
    for (size_t i = 0; i < count; ++i) {
        const QVector3D &position = strands.nodes[i]->position;
        strands.positions[3 * i] = position.x() + strands.offsets[2 * i];
        strands.positions[3 * i + 1] = position.y();
        strands.positions[3 * i + 2] = position.z() + strands.offsets[2 * i + 1];
    }

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glLineWidth(1.0f);
    if (count > 0) {
        // The colours stay in their buffer until they change; the positions are sent anew.
        if (!strands.positionBuffer) {
            glGenBuffers(1, &strands.positionBuffer);
            glGenBuffers(1, &strands.colorBuffer);
        }
        glBindBuffer(GL_ARRAY_BUFFER, strands.colorBuffer);
        if (!strands.colorsSent) {
            glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(strands.colors.size() * sizeof(GLfloat)),
                         strands.colors.data(), GL_STATIC_DRAW);
            strands.colorsSent = true;
        }
        glColorPointer(4, GL_FLOAT, 0, nullptr);
        glBindBuffer(GL_ARRAY_BUFFER, strands.positionBuffer);
        glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(strands.positions.size() * sizeof(GLfloat)),
                     strands.positions.data(), GL_STREAM_DRAW);
        glVertexPointer(3, GL_FLOAT, 0, nullptr);
        // Client arrays elsewhere (GLUT's spheres) need no buffer bound.
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_VERTEX_ARRAY);
        // Every strip stays a primitive of its own, as separate draws would make it. The strips
        // go out in parts, each handed over at once, so that a renderer with threads of its own
        // fills one part while this thread sets up the next.
        const size_t strips = strands.starts.size();
        for (size_t part = 0; part < strandParts; ++part) {
            const size_t first = strips * part / strandParts;
            const size_t last = strips * (part + 1) / strandParts;
            glMultiDrawArrays(GL_LINE_STRIP, strands.starts.data() + first,
                              strands.lengths.data() + first, GLsizei(last - first));
            glFlush();
        }
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
    }
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);

    if (ticked(drawNamesBox)) {
        for (size_t i = 0; i < ropes.size(); ++i)
            labels.add(*ropes[i], i % 2 == 0 ? -labelOffset : labelOffset, -rotation, false);
        labels.draw();
    }
}

void GraphWidget::renderPlane()
{
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    if (!textView)
        return;

    const float fraction = readingFraction();
    const float y = timeAxisLength * (0.5f - fraction);
    std::printf("%d / %d  = %f\n", textView->scrollValue(), textView->scrollMaximum(), double(y));

    glTranslatef(0.0f, y, 0.0f);
    const float scale = float(gridScale);
    glScalef(scale, scale, scale);
    glBegin(GL_LINES);
    for (int i = 0; i < gridLines; ++i) {
        const float u = 2.0f * (float(i) / float(gridLines - 1)) - 1.0f;
        glColor4f(0.0f, 0.0f, 0.0f, gridAlpha);
        glVertex3f(u, 0.0f, -1.0f);
        glVertex3f(u, 0.0f, 1.0f);
        glVertex3f(-1.0f, 0.0f, u);
        glVertex3f(1.0f, 0.0f, u);
    }
    glEnd();
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);
}
