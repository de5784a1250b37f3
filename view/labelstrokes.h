// SPDX-License-Identifier: MIT
#pragma once

// GLEW has to come before every other GL header.
#include "glsl.h"

#include <QByteArray>

#include <utility>
#include <vector>

class Rope;

// The name labels of the 3-D modes as line segments, laid out on the processor from GLUT's
// stroke glyphs and drawn in one call. Each glyph is captured once per process, through GL
// feedback, from what glutStrokeCharacter draws; a label is then the segments every word's
// glyphs would draw under the label's transformation, in the same order and colours. Drawing a
// glyph at a time costs a draw call per stroke and a matrix per word, which is most of the time
// names add to a frame on a software renderer.
class LabelStrokes {
public:
    // Adds the label of one rope, its shadow first, as Rope::drawName describes it. Needs a
    // current context the first time a letter is met.
    void add(const Rope &rope, float xOffset, float angle, bool perLetter);
    // Draws what was added since the last draw, in order, and forgets it. Leaves the state a
    // label leaves: blending on, line width 2, lighting and the depth test on.
    void draw();

    // The words of a rope's label, or its letters, each with the index of the node it sits on.
    static std::vector<std::pair<QByteArray, int>> places(const Rope &rope, bool perLetter);
    // Labels lie this much further from the centre of the view than their nodes.
    static constexpr float spread = 1.05f;

private:
    // x y z and r g b a of every segment end.
    std::vector<GLfloat> m_positions;
    std::vector<GLfloat> m_colors;
    // Whether a label was added since the last draw, even one without strokes.
    bool m_pending = false;
};
