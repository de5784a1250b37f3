// SPDX-License-Identifier: MIT
// The increasing graph: for every character a line that climbs, scene by scene, by the length
// of each scene it occurs in, with the area behind it filled in its colour. One axis is time,
// the other the share of the text from 0 to 1; "Flip Axis" makes time run across.
#include "graphwidget.h"

#include "characterlist.h"
#include "textviewstate.h"

#include <QAbstractButton>

#include <algorithm>
#include <vector>

namespace {

constexpr float evenBandGrey = 0.8f;
constexpr float oddBandGrey = 0.9f;
constexpr float bandHalfWidth = 1000.0f;
// Bands lie behind the fills and lines.
constexpr float bandDepth = -5.0f;
constexpr float markerDepth = 1.0f;
constexpr float viewHalfDepth = 10.0f;
// Each mention lifts a line by this much on top of the scene's length.
constexpr float climbPerMention = 0.0001f;
// The chart goes to the renderer in about this many parts.
constexpr int chartParts = 8;

bool ticked(const QAbstractButton *box)
{
    return box && box->isChecked();
}

} // namespace

void GraphWidget::drawActivityGraph()
{
    const float length = timeAxisLength;
    const bool flipped = ticked(flipAxisBox);

    glViewport(0, 0, viewWidth, viewHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    if (flipped)
        glOrtho(-length / 2, length / 2, 0.0, 1.0, -viewHalfDepth, viewHalfDepth);
    else
        glOrtho(0.0, 1.0, -length / 2, length / 2, -viewHalfDepth, viewHalfDepth);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glDisable(GL_LIGHTING);

    // A point of the chart at a time-axis height y and a value: (value, y), or (-y, value)
    // when flipped.
    const auto vertex = [flipped](float value, float y, float z) {
        if (flipped)
            glVertex3f(-y, value, z);
        else
            glVertex3f(value, y, z);
    };

    // Fills are translucent; bands and lines are opaque and so come out the same with blending
    // on. Keeping one blend state and changing the line width only when the next line needs
    // another spares the GL a state change per primitive, which costs more than the drawing.
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    float lineWidth = 1.0f;
    glLineWidth(lineWidth);
    if (characterList) {
        const QVector<Character *> &characters = characterList->characters;
        const QVector<TimeIndex *> &scenes = characterList->timeIndices;
        std::vector<float> reached(size_t(characters.size()), 0.0f);
        const int scenesPerPart = std::max(1, int(scenes.size()) / chartParts);
        for (int k = 0; k < scenes.size(); ++k) {
            const TimeIndex *scene = scenes.at(k);
            const float y1 = (0.5f - scene->start) * length;
            const float y2 = (0.5f - scene->stop) * length;

            const float grey = k % 2 == 0 ? evenBandGrey : oddBandGrey;
            glColor3f(grey, grey, grey);
            glBegin(GL_QUADS);
            vertex(-bandHalfWidth, y1, bandDepth);
            vertex(bandHalfWidth, y1, bandDepth);
            vertex(bandHalfWidth, y2, bandDepth);
            vertex(-bandHalfWidth, y2, bandDepth);
            glEnd();

            for (int j = 0; j < characters.size(); ++j) {
                const int count = j < scene->counts.size() ? scene->counts.at(j) : 0;
                const bool present = count != 0;
                const float span = present ? scene->stop - scene->start : 0.0f;
                const float previous = reached[size_t(j)];
                const float next = previous + (float(count) * climbPerMention + span);
                const QColor &color = characters.at(j)->color;
                const float r = float(color.red()) / 255.0f;
                const float g = float(color.green()) / 255.0f;
                const float b = float(color.blue()) / 255.0f;

                glColor4f(r, g, b, threadTransparency);
                glBegin(GL_QUADS);
                vertex(-length, y1, 0.0f);
                vertex(previous, y1, 0.0f);
                vertex(next, y2, 0.0f);
                vertex(-length, y2, 0.0f);
                glEnd();

                const float width = present ? activeThreadSize : inactiveThreadSize;
                if (width != lineWidth) {
                    lineWidth = width;
                    glLineWidth(lineWidth);
                }
                glColor4f(r, g, b, 1.0f);
                glBegin(GL_LINES);
                vertex(previous, y1, 0.0f);
                vertex(next, y2, 0.0f);
                glEnd();

                reached[size_t(j)] = next;
            }
            // Handed to the renderer in parts, the chart is filled by a renderer with threads of
            // its own while this thread sets up the next part.
            if ((k + 1) % scenesPerPart == 0)
                glFlush();
        }
    }

    glLineWidth(1.0f);
    glDisable(GL_BLEND);

    if (!ticked(gridBox))
        return;
    if (!flipped) {
        renderPlane();
    } else if (textView) {
        const float x = -length * (0.5f - readingFraction());
        glColor4f(0.0f, 0.0f, 0.0f, 1.0f);
        glBegin(GL_LINES);
        glVertex3f(x, 0.0f, markerDepth);
        glVertex3f(x, 1.0f, markerDepth);
        glEnd();
    }
}
