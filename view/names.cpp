// SPDX-License-Identifier: MIT
// Name labels along the threads of the 3-D modes, in GLUT stroke text.
#include "glsl.h"

#include "character.h"
#include "glutsupport.h"
#include "node.h"
#include "rope.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <utility>
#include <vector>

namespace {

// Nodes above this activity make up the span of presence the label is centred on.
constexpr float presentActivity = 0.7f;
constexpr float labelLineWidth = 2.0f;
constexpr float shadowAlpha = 0.5f;
// The shadow lies this far left of and below its word.
constexpr float shadowShift = 0.03f;
// Labels sit this much further from the centre of the view than their nodes...
constexpr float spreadFactor = 1.05f;
// ...while the glyphs keep their size.
constexpr float unspreadFactor = 0.952381f;
// Stroke glyphs are about 120 units tall; this brings them to about a third of a unit.
constexpr float glyphScale = 0.003f;

} // namespace

void Rope::drawName(float xOffset, float angle, bool perLetter)
{
    if (nodes.empty() || !character || !glutInitialized())
        return;

    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(labelLineWidth);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);

    const int m = int(nodes.size());
    int first = m - 1;
    int last = 0;
    const auto present = [](const Node *node) { return node->activity > presentActivity; };
    const auto firstPresent = std::find_if(nodes.begin(), nodes.end(), present);
    if (firstPresent != nodes.end())
        first = int(firstPresent - nodes.begin());
    const auto lastPresent = std::find_if(nodes.rbegin(), nodes.rend(), present);
    if (lastPresent != nodes.rend())
        last = int(nodes.rend() - lastPresent) - 1;

    int letters = 0;
    for (const QString &word : character->names)
        letters += word.size();
    const int half = letters / 2;

    // Centred on the span, pulled back inside the rope at the end, and kept clear of the top.
    int start = (first + last) / 2 - half;
    if (start + 2 * half > m - 1)
        start = m - 2 * half - 2;
    if (start < 2 * half)
        start = 2 * half + 1;

    // Every word on every other node; per letter, every letter on a node of its own.
    std::vector<std::pair<QByteArray, int>> labels;
    int index = start;
    for (const QString &word : character->names) {
        const QByteArray text = word.toLatin1();
        if (perLetter) {
            for (const char letter : text)
                labels.emplace_back(QByteArray(1, letter), index++);
        } else {
            labels.emplace_back(text, index);
            index += 2;
        }
    }

    const QColor &color = character->color;
    for (const bool shadow : {true, false}) {
        if (shadow)
            glColor4f(0.0f, 0.0f, 0.0f, shadowAlpha);
        else
            glColor4f(float(color.red()) / 255.0f, float(color.green()) / 255.0f,
                      float(color.blue()) / 255.0f, 1.0f);
        for (const auto &[text, at] : labels) {
            // Words beyond the end of the rope stack up on its last node.
            const Node *node = nodes[size_t(std::min(at, m - 1))];
            float x = node->position.x() + xOffset;
            float y = node->position.y();
            const float z = node->position.z();
            if (shadow) {
                x -= shadowShift;
                y -= shadowShift;
            }
            glPushMatrix();
            glScalef(spreadFactor, spreadFactor, 1.0f);
            glTranslatef(x, y, z);
            glRotatef(angle, 0.0f, 1.0f, 0.0f);
            glScalef(unspreadFactor, unspreadFactor, 1.0f);
            glScalef(glyphScale, glyphScale, 1.0f);
            for (const char letter : text)
                glutStrokeCharacter(GLUT_STROKE_MONO_ROMAN, static_cast<unsigned char>(letter));
            glPopMatrix();
        }
    }

    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
}
