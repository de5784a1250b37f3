// SPDX-License-Identifier: MIT
#include "labelstrokes.h"

#include "character.h"
#include "glutsupport.h"
#include "node.h"
#include "rope.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

namespace {

// Nodes above this activity make up the span of presence the label is centred on.
constexpr float presentActivity = 0.7f;
constexpr float labelLineWidth = 2.0f;
constexpr float shadowAlpha = 0.5f;
// The shadow lies this far left of and below its word.
constexpr float shadowShift = 0.03f;
// The glyphs keep their size as the labels spread out.
constexpr float unspread = 0.952381f;
// Stroke glyphs are about 120 units tall; this brings them to about a third of a unit.
constexpr float glyphScale = 0.003f;
constexpr float radiansPerDegree = 3.14159265358979f / 180.0f;

// One glyph of the stroke font: the segments it draws, x0 y0 x1 y1 in font units from its
// origin, and how far it moves the origin along.
struct Glyph {
    bool captured = false;
    std::vector<GLfloat> segments;
    GLfloat advance = 0.0f;
};

// The capture maps font units one to one onto a viewport that shows this many units left of
// and below the glyph origin; the font's glyphs reach from about -33 to 120 upward and from 0
// to 105 across.
constexpr float captureMargin = 128.0f;
constexpr GLsizei captureSize = 512;
// Feedback values a glyph can fill: a few dozen segments of five values each.
constexpr GLsizei captureValues = 8192;

Glyph capture(unsigned char letter)
{
    Glyph glyph;
    glyph.captured = true;
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-captureMargin, captureSize - captureMargin, -captureMargin,
            captureSize - captureMargin, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glViewport(0, 0, captureSize, captureSize);

    std::vector<GLfloat> feedback(static_cast<size_t>(captureValues));
    glFeedbackBuffer(captureValues, GL_2D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    glutStrokeCharacter(GLUT_STROKE_MONO_ROMAN, letter);
    GLfloat matrix[16] = {};
    glGetFloatv(GL_MODELVIEW_MATRIX, matrix);
    // Negative when the buffer overflowed: the glyph is then left without strokes.
    const GLint values = glRenderMode(GL_RENDER);

    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);

    glyph.advance = matrix[12];
    constexpr GLint segmentValues = 4;
    for (GLint i = 0; i < values;) {
        const auto token = GLint(feedback[size_t(i++)]);
        if ((token != GL_LINE_TOKEN && token != GL_LINE_RESET_TOKEN) || i + segmentValues > values)
            break; // the font draws nothing but line strips
        for (GLint k = 0; k < segmentValues; ++k)
            glyph.segments.push_back(feedback[size_t(i + k)] - captureMargin);
        i += segmentValues;
    }
    return glyph;
}

const Glyph &glyph(unsigned char letter)
{
    static std::array<Glyph, 256> glyphs;
    Glyph &cached = glyphs[letter];
    if (!cached.captured)
        cached = capture(letter);
    return cached;
}

} // namespace

std::vector<std::pair<QByteArray, int>> LabelStrokes::places(const Rope &rope, bool perLetter)
{
    const std::vector<Node *> &nodes = rope.nodes;
    std::vector<std::pair<QByteArray, int>> labels;
    if (nodes.empty() || !rope.character)
        return labels;
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

    const QStringList &names = rope.character->names;
    int letters = 0;
    for (const QString &word : names)
        letters += word.size();
    const int half = letters / 2;

    // Centred on the span, pulled back inside the rope at the end, and kept clear of the top.
    int start = (first + last) / 2 - half;
    if (start + 2 * half > m - 1)
        start = m - 2 * half - 2;
    if (start < 2 * half)
        start = 2 * half + 1;

    // Every word on every other node; per letter, every letter on a node of its own. Words
    // beyond the end of the rope stack up on its last node.
    int index = start;
    for (const QString &word : names) {
        const QByteArray text = word.toLatin1();
        if (perLetter) {
            for (const char letter : text)
                labels.emplace_back(QByteArray(1, letter), std::min(index++, m - 1));
        } else {
            labels.emplace_back(text, std::min(index, m - 1));
            index += 2;
        }
    }
    return labels;
}

void LabelStrokes::add(const Rope &rope, float xOffset, float angle, bool perLetter)
{
    if (rope.nodes.empty() || !rope.character || !glutInitialized())
        return;
    m_pending = true;
    const std::vector<std::pair<QByteArray, int>> labels = places(rope, perLetter);

    // A word is drawn spread out by the spread factor, moved to its node, turned by angle about
    // the time axis and scaled down to the glyph size; its letters follow one another.
    const float cosine = std::cos(angle * radiansPerDegree);
    const float sine = std::sin(angle * radiansPerDegree);
    constexpr float toView = unspread * glyphScale;
    const QColor &color = rope.character->color;
    for (const bool shadow : {true, false}) {
        const std::array<GLfloat, 4> rgba =
            shadow
                ? std::array<GLfloat, 4>{0.0f, 0.0f, 0.0f, shadowAlpha}
                : std::array<GLfloat, 4>{float(color.red()) / 255.0f, float(color.green()) / 255.0f,
                                         float(color.blue()) / 255.0f, 1.0f};
        for (const auto &[text, at] : labels) {
            const Node *node = rope.nodes[size_t(at)];
            float x = node->position.x() + xOffset;
            float y = node->position.y();
            const float z = node->position.z();
            if (shadow) {
                x -= shadowShift;
                y -= shadowShift;
            }
            float pen = 0.0f;
            for (const char letter : text) {
                const Glyph &strokes = glyph(static_cast<unsigned char>(letter));
                for (size_t i = 0; i < strokes.segments.size(); i += 2) {
                    const float across = (pen + strokes.segments[i]) * toView;
                    const float up = strokes.segments[i + 1] * toView;
                    m_positions.insert(m_positions.end(), {spread * (x + across * cosine),
                                                           spread * (y + up), z - across * sine});
                    m_colors.insert(m_colors.end(), rgba.begin(), rgba.end());
                }
                pen += strokes.advance;
            }
        }
    }
}

void LabelStrokes::draw()
{
    if (!m_pending)
        return;
    m_pending = false;
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glLineWidth(labelLineWidth);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    if (!m_positions.empty()) {
        glBindBuffer(GL_ARRAY_BUFFER, 0);
        glVertexPointer(3, GL_FLOAT, 0, m_positions.data());
        glColorPointer(4, GL_FLOAT, 0, m_colors.data());
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glDrawArrays(GL_LINES, 0, GLsizei(m_positions.size() / 3));
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
    }
    glEnable(GL_LIGHTING);
    glEnable(GL_DEPTH_TEST);
    m_positions.clear();
    m_colors.clear();
}
