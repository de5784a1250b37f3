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

float randomUnit()
{
    return float(double(std::rand()) * randUnit);
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

    stepLayout();

    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    if (characterList)
        drawSceneBands();

    glEnable(GL_LIGHTING);
    glRotatef(rotation, 0.0f, 1.0f, 0.0f);

    if (ticked(spheresBox) && glutInitialized()) {
        for (const Node *node : nodes) {
            if (node->activity <= 0.0f)
                continue;
            setColor(node->color);
            glPushMatrix();
            glTranslatef(node->position.x(), node->position.y(), node->position.z());
            glutSolidSphere(double(node->activity * sphereRadiusPerActivity), sphereDetail,
                            sphereDetail);
            glPopMatrix();
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

void GraphWidget::renderRopes()
{
    // The same seed every frame draws the same strands, so the picture holds still.
    std::srand(1);
    if (ropes.empty())
        return;

    // The strands are gathered into one vertex array and drawn a strip at a time, which spares
    // the per-vertex calls. Each strip must stay a draw of its own: strips sent back to back in
    // immediate mode are joined by Mesa, which then loses strands.
    strandVertices.clear();
    strandStarts.clear();
    strandLengths.clear();
    const auto closeStrip = [this](size_t first) {
        if (strandVertices.size() > first) {
            strandStarts.push_back(GLint(first));
            strandLengths.push_back(GLsizei(strandVertices.size() - first));
        }
    };
    const auto addVertex = [this](const Node *node, float alpha, float x, float z) {
        const QColor *color = node->color;
        strandVertices.push_back({{float(color->red()) / 255.0f, float(color->green()) / 255.0f,
                                   float(color->blue()) / 255.0f, alpha},
                                  {x, node->position.y(), z}});
    };

    const int ropeCount = int(ropes.size());
    for (int strand = 0; strand < strandCount; ++strand) {
        const Rope *rope = ropes[size_t(std::rand() % ropeCount)];
        size_t first = strandVertices.size();
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
                first = strandVertices.size();
            open = true;
            const float size = p->activity > activeStretch ? activeThreadSize : inactiveThreadSize;
            const float r = randomUnit() * size * spreadPerSize;
            addVertex(p, threadTransparency * p->activity, p->position.x() + dx * r,
                      p->position.z() + dz * r);
            if (k + 2 == m)
                addVertex(q, threadTransparency * q->activity, q->position.x() + dx * r,
                          q->position.z() + dz * r);
        }
        if (open)
            closeStrip(first);
    }

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glDisable(GL_LIGHTING);
    glLineWidth(1.0f);
    if (!strandVertices.empty()) {
        glEnableClientState(GL_COLOR_ARRAY);
        glEnableClientState(GL_VERTEX_ARRAY);
        glColorPointer(4, GL_FLOAT, sizeof(StrandVertex), strandVertices.front().color);
        glVertexPointer(3, GL_FLOAT, sizeof(StrandVertex), strandVertices.front().position);
        for (size_t i = 0; i < strandStarts.size(); ++i)
            glDrawArrays(GL_LINE_STRIP, strandStarts[i], strandLengths[i]);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
    }
    glDisable(GL_BLEND);
    glEnable(GL_LIGHTING);

    if (ticked(drawNamesBox)) {
        for (size_t i = 0; i < ropes.size(); ++i)
            ropes[i]->drawName(i % 2 == 0 ? -labelOffset : labelOffset, -rotation, false);
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
