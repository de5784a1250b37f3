// SPDX-License-Identifier: MIT
// The storyline mode: scenes run left to right, each as wide as its share of the text, and every
// character is a line from its first scene to its last. In each scene the lines of the characters
// present run side by side over a shaded block; the others pass outside it, thinner. Each name is
// written at the start of its line. Dragging pans the chart and the wheel zooms it.
#include "graphwidget.h"

#include "characterlist.h"
#include "glutsupport.h"
#include "storylinefiles.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <cmath>

namespace {

// Room around the chart, in pixels; the top leaves space for the names of the top lines.
constexpr float sideMargin = 12.0f;
constexpr float topMargin = 24.0f;
constexpr float bottomMargin = 12.0f;
// The spacing of bundled lines, in pixels, at most (short charts) and at least (tall ones, which
// then run past the view until zoomed or dragged).
constexpr float largestUnit = 12.0f;
constexpr float smallestUnit = 3.0f;

constexpr float evenBand = 1.0f;
constexpr float oddBand = 0.94f;
constexpr float blockGrey = 0.0f;
constexpr float blockAlpha = 0.08f;
// A block's shading reaches this far beyond its outer lines, in layout units.
constexpr float blockPadding = 0.6f;
// Points of each turn from one scene's height to the next.
constexpr int turnSteps = 12;
// Lines are thinner where their character is absent, but never thinner than this.
constexpr float thinnestLine = 1.0f;

// Stroke glyphs are about 120 units high; names are drawn about 8 pixels high.
constexpr float nameScale = 0.065f;
constexpr float nameRaise = 3.0f;
constexpr float nameLineWidth = 1.5f;
constexpr int nameDarkening = 150;

// A line within this many pixels of the pointer is under it.
constexpr float pickDistance = 5.0f;
// The wheel zooms between these factors of the fitted chart.
constexpr float smallestZoom = 0.5f;
constexpr float largestZoom = 50.0f;

void setColor(const QColor &color)
{
    glColor4f(float(color.redF()), float(color.greenF()), float(color.blueF()), 1.0f);
}

} // namespace

const StorylineLayout &GraphWidget::storylineLayout()
{
    if (!m_storyline || m_storylineGeneration != generation) {
        m_storyline = characterList ? std::make_unique<StorylineLayout>(*characterList)
                                    : std::make_unique<StorylineLayout>();
        m_storylineGeneration = generation;
    }
    return *m_storyline;
}

QByteArray GraphWidget::storylineSvg()
{
    if (!characterList)
        return ::storylineSvg(StorylineLayout(), CharacterList(), sceneHeadings);
    return ::storylineSvg(storylineLayout(), *characterList, sceneHeadings);
}

GraphWidget::StorylineFrame GraphWidget::storylineFrame()
{
    const StorylineLayout &layout = storylineLayout();
    const float span = float(std::max(layout.height - 1, 1));
    const float room = float(viewHeight) - topMargin - bottomMargin;
    StorylineFrame frame;
    frame.unit = std::clamp(room / span, smallestUnit, largestUnit) * storylineZoom;
    frame.width = (float(viewWidth) - 2.0f * sideMargin) * storylineZoom;
    frame.left = sideMargin + float(storylinePan.x());
    frame.top = topMargin + float(storylinePan.y());
    return frame;
}

void GraphWidget::drawStoryline()
{
    const StorylineLayout &layout = storylineLayout();
    const StorylineFrame frame = storylineFrame();
    const auto x = [&frame](float position) { return frame.left + frame.width * position; };
    const auto y = [&frame](float height) { return frame.top + frame.unit * height; };

    glViewport(0, 0, viewWidth, viewHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Pixels, from the top left.
    glOrtho(0.0, viewWidth, viewHeight, 0.0, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    const float bottom = float(viewHeight);
    glBegin(GL_QUADS);
    glColor3f(evenBand, evenBand, evenBand);
    glVertex2f(0.0f, 0.0f);
    glVertex2f(float(viewWidth), 0.0f);
    glVertex2f(float(viewWidth), bottom);
    glVertex2f(0.0f, bottom);
    for (size_t k = 0; k < layout.columns.size(); ++k) {
        const StorylineLayout::Column &column = layout.columns[k];
        const float grey = k % 2 == 0 ? evenBand : oddBand;
        glColor3f(grey, grey, grey);
        glVertex2f(x(column.start), 0.0f);
        glVertex2f(x(column.stop), 0.0f);
        glVertex2f(x(column.stop), bottom);
        glVertex2f(x(column.start), bottom);
    }
    glColor4f(blockGrey, blockGrey, blockGrey, blockAlpha);
    for (int k = 0; k < int(layout.columns.size()); ++k) {
        const StorylineLayout::Column &column = layout.columns[size_t(k)];
        if (column.blockEnd <= column.blockBegin)
            continue;
        const float top = y(float(column.heights[size_t(column.blockBegin)]) - blockPadding);
        const float end = y(float(column.heights[size_t(column.blockEnd - 1)]) + blockPadding);
        glVertex2f(x(layout.straightBegin(k)), top);
        glVertex2f(x(layout.straightEnd(k)), top);
        glVertex2f(x(layout.straightEnd(k)), end);
        glVertex2f(x(layout.straightBegin(k)), end);
    }
    glEnd();

    if (!characterList) {
        glDisable(GL_BLEND);
        return;
    }
    const QVector<Character *> &characters = characterList->characters;
    const int count = std::min(int(layout.firstScene.size()), int(characters.size()));
    const float thin = std::max(thinnestLine, inactiveThreadSize);
    const float thick = std::max(thin, activeThreadSize);
    const std::vector<StorylineLayout::Line> lines = layout.lines();
    for (int j = 0; j < count; ++j) {
        const int first = layout.firstScene[size_t(j)];
        const int last = layout.lastScene[size_t(j)];
        if (first < 0)
            continue;
        setColor(characters.at(j)->color);
        // The whole line thin, then the scenes where the character is present thick over it.
        glLineWidth(thin);
        glBegin(GL_LINE_STRIP);
        float previous = 0.0f;
        for (int k = first; k <= last; ++k) {
            const StorylineLayout::Column &column = layout.columns[size_t(k)];
            const float h = float(lines[size_t(j)].heights[size_t(k - first)]);
            if (k == first) {
                glVertex2f(x(column.start), y(h));
            } else {
                const float from = layout.straightEnd(k - 1);
                const float to = layout.straightBegin(k);
                for (int step = 1; step <= turnSteps; ++step) {
                    const float u = float(step) / float(turnSteps);
                    glVertex2f(x(from + (to - from) * u),
                               y(previous + (h - previous) * StorylineLayout::ease(u)));
                }
            }
            glVertex2f(x(k == last ? column.stop : layout.straightEnd(k)), y(h));
            previous = h;
        }
        glEnd();
        glLineWidth(thick);
        glBegin(GL_LINES);
        for (int k = first; k <= last; ++k) {
            if (!lines[size_t(j)].present[size_t(k - first)])
                continue;
            const StorylineLayout::Column &column = layout.columns[size_t(k)];
            const float h = y(float(lines[size_t(j)].heights[size_t(k - first)]));
            glVertex2f(x(k == first ? column.start : layout.straightBegin(k)), h);
            glVertex2f(x(k == last ? column.stop : layout.straightEnd(k)), h);
        }
        glEnd();
    }
    glLineWidth(1.0f);

    if (glutInitialized()) {
        glLineWidth(nameLineWidth);
        for (int j = 0; j < count; ++j) {
            const int first = layout.firstScene[size_t(j)];
            if (first < 0)
                continue;
            const StorylineLayout::Column &column = layout.columns[size_t(first)];
            const float h = float(lines[size_t(j)].heights.front());
            setColor(characters.at(j)->color.darker(nameDarkening));
            glPushMatrix();
            glTranslatef(x(column.start), y(h) - nameRaise, 0.0f);
            // Stroke glyphs rise along y, which runs down the view here.
            glScalef(nameScale, -nameScale, 1.0f);
            for (const QChar letter : characters.at(j)->names.join(QLatin1Char(' '))) {
                // The stroke font has the printable ASCII characters only.
                const ushort u = letter.unicode();
                const int glyph = u >= ' ' && u < 127 ? int(u) : '?';
                glutStrokeCharacter(GLUT_STROKE_MONO_ROMAN, glyph);
            }
            glPopMatrix();
        }
        glLineWidth(1.0f);
    }
    glDisable(GL_BLEND);
}

int GraphWidget::storylineThreadAt(const QPointF &pos, int *scene)
{
    const StorylineLayout &layout = storylineLayout();
    const StorylineFrame frame = storylineFrame();
    if (layout.columns.empty() || frame.width <= 0.0f)
        return -1;
    const float x = (float(pos.x()) - frame.left) / frame.width;
    const int k = layout.sceneAt(x);
    if (k < 0 || x > layout.columns.back().stop)
        return -1;
    *scene = k;
    // A line near x passes through this scene or, while it turns, the one before or after.
    int best = -1;
    float nearest = pickDistance * float(devicePixelRatioF());
    for (int c = std::max(k - 1, 0); c <= std::min(k + 1, int(layout.columns.size()) - 1); ++c) {
        for (const int j : layout.columns[size_t(c)].characters) {
            float h = 0.0f;
            if (!layout.heightAt(j, x, &h))
                continue;
            const float distance = std::abs(frame.top + frame.unit * h - float(pos.y()));
            if (distance < nearest) {
                nearest = distance;
                best = j;
            }
        }
    }
    return best;
}

void GraphWidget::zoomStoryline(const QPointF &pos, float factor)
{
    const StorylineFrame before = storylineFrame();
    if (before.width <= 0.0f || before.unit <= 0.0f)
        return;
    // The point of the chart under the pointer stays there.
    const float position = (float(pos.x()) - before.left) / before.width;
    const float height = (float(pos.y()) - before.top) / before.unit;
    const float zoom = std::clamp(storylineZoom * factor, smallestZoom, largestZoom);
    const float scale = zoom / storylineZoom;
    storylineZoom = zoom;
    storylinePan.setX(float(pos.x()) - position * before.width * scale - sideMargin);
    storylinePan.setY(float(pos.y()) - height * before.unit * scale - topMargin);
}
