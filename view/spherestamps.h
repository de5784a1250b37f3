// SPDX-License-Identifier: MIT
#pragma once

// GLEW has to come before every other GL header.
#include "glsl.h"

#include <QColor>
#include <QVector3D>

#include <vector>

// Draws a frame's GLUT spheres in one call, each as a flat stamp that shows what the sphere's own
// triangles leave on screen. With the depth test off, a pixel of a sphere shows whichever of its
// triangles over it was drawn last, in the colours GL's lighting gave that triangle's corners.
// Under an orthographic view rotated about the vertical axis that pattern is the same for every
// sphere, scaled by its radius. It is captured once per rotation through GL feedback of one
// glutSolidSphere: a map from each point of the sphere's outline to the triangle drawn last
// there, and the lit corners of every triangle. A fragment program then colours each pixel of a
// stamp from the triangle the map names, interpolated and clamped as GL colours the triangle.
// A sphere of 16 by 16 slices is some 500 triangles; its stamp is two.
class SphereStamps {
public:
    // Makes the stamps match a sphere of this many slices and stacks drawn with the current
    // lighting under a rotation of this many degrees about the vertical axis. Needs a current
    // context with GLEW initialised. False when the context cannot draw stamps (no GLSL, no
    // float textures, no GLUT); draw the spheres themselves then.
    bool prepare(shadekit::glShaderManager &manager, float rotation, int detail);
    // Adds a sphere to the next draw.
    void add(const QVector3D &centre, float radius, const QColor &color);
    // Draws the spheres added since the last draw, in order, and forgets them.
    void draw();
    // Deletes the textures and the program; the context they were made in must be current.
    void release(shadekit::glShaderManager &manager);

private:
    // Builds the map and the corner table from the triangles of one captured sphere.
    bool capture(float rotation, int detail);

    shadekit::glShader *m_program = nullptr;
    // Set once building the program failed, so it is not tried at every frame.
    bool m_unsupported = false;
    // What the textures hold: the rotation and detail they were captured for.
    bool m_captured = false;
    float m_rotation = 0.0f;
    int m_detail = 0;
    // The last triangle drawn at every texel of the square around the outline, 0 for none, and
    // every triangle's corners: x and y in sphere radii from the centre, and the light.
    GLuint m_cells = 0;
    GLuint m_corners = 0;
    int m_cornerCount = 0;
    // The outline as half-planes a x + b y + c >= 0.
    std::vector<GLfloat> m_outline;
    // Per stamp vertex: position, colour and place on the sphere's disc.
    std::vector<GLfloat> m_positions;
    std::vector<GLfloat> m_colors;
    std::vector<GLfloat> m_places;
    // The view rotation as a cosine and sine, for turning stamps to face the viewer.
    float m_cosine = 1.0f;
    float m_sine = 0.0f;
};
