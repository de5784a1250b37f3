// SPDX-License-Identifier: MIT
#include "spherestamps.h"

#include "glutsupport.h"

#include <GL/freeglut.h>

#include <algorithm>
#include <array>
#include <cmath>

namespace {

// Texels across the map. A pixel near a boundary between two triangles of the pattern may read
// the wrong one when it lies within a texel of it: a 512-texel map keeps that to a hundredth of
// a pixel on a sphere ten pixels wide.
constexpr int mapSize = 512;
// The captured sphere has radius 1 and is drawn into a viewport this many pixels wide showing
// this many units on either side of its centre.
constexpr GLsizei captureSize = 1024;
constexpr double captureExtent = 1.25;
// Feedback values: a vertex is x, y, z and r, g, b, a; a triangle a token, a count and three
// vertices.
constexpr GLint vertexValues = 7;
constexpr GLint triangleValues = 2 + 3 * vertexValues;
// The captured sphere is lit in half its colour, so that no corner's light is clamped and the
// light comes back whole by doubling.
constexpr float captureGrey = 0.5f;
// Triangles smaller than this, in squared radii, cover no pixel.
constexpr float degenerateArea = 1e-9f;
// The stamp's square reaches a little beyond the outline, whose corners lie on the unit circle.
constexpr float stampExtent = 1.02f;
// The fragment program takes at most this many outline half-planes (the size of its array); the
// outline of a sphere of 16 by 16 has from 16 to 44 corners, whatever the rotation.
constexpr int maxOutline = 96;
constexpr float radiansPerDegree = 3.14159265358979f / 180.0f;
// A texel names the edges of the outline whose line passes within this many texels of its
// centre, looking this many texels beyond the edge's ends; the corner of a texel lies 0.71 texels
// from its centre.
constexpr float nearEdge = 1.5f;
constexpr int edgeMargin = 2;

const char *const vertexSource = "varying vec2 place;\n"
                                 "void main(void)\n"
                                 "{\n"
                                 "    place = gl_MultiTexCoord0.xy;\n"
                                 "    gl_FrontColor = gl_Color;\n"
                                 "    gl_Position = ftransform();\n"
                                 "}\n";

// Outside the outline nothing is drawn; inside, the colour is the one GL gives the triangle the
// map names at this point: its corners' colours, each clamped, weighted by where the point lies
// in it. A point just outside its triangle, in a texel the triangle only touches, takes the
// colour of the nearest point inside. The map also names the few edges of the outline that pass
// near a texel, the only ones a point there can lie beyond; -1 stands for more than three.
const char *const fragmentSource =
    "uniform sampler2D cells;\n"
    "uniform sampler2D corners;\n"
    "uniform float cornerCount;\n"
    "uniform vec3 outline[96];\n"
    "uniform int outlineSize;\n"
    "varying vec2 place;\n"
    "vec4 corner(float index)\n"
    "{\n"
    "    return texture2D(corners, vec2((index + 0.5) / cornerCount, 0.5));\n"
    "}\n"
    "bool beyond(float edge)\n"
    "{\n"
    "    if (edge < 0.5)\n"
    "        return false;\n"
    "    vec3 h = outline[int(edge) - 1];\n"
    "    return dot(h.xy, place) + h.z < 0.0;\n"
    "}\n"
    "void main(void)\n"
    "{\n"
    "    vec4 cell = texture2D(cells, place * 0.5 + 0.5);\n"
    "    if (cell.r < 0.5)\n"
    "        discard;\n"
    "    if (cell.g < 0.0) {\n"
    "        for (int i = 0; i < outlineSize; ++i) {\n"
    "            if (dot(outline[i].xy, place) + outline[i].z < 0.0)\n"
    "                discard;\n"
    "        }\n"
    "    } else if (beyond(cell.g) || beyond(cell.b) || beyond(cell.a)) {\n"
    "        discard;\n"
    "    }\n"
    "    vec4 a = corner(3.0 * cell.r - 3.0);\n"
    "    vec4 b = corner(3.0 * cell.r - 2.0);\n"
    "    vec4 c = corner(3.0 * cell.r - 1.0);\n"
    "    float area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);\n"
    "    float wb = ((place.x - a.x) * (c.y - a.y) - (place.y - a.y) * (c.x - a.x)) / area;\n"
    "    float wc = ((b.x - a.x) * (place.y - a.y) - (b.y - a.y) * (place.x - a.x)) / area;\n"
    "    vec3 w = max(vec3(1.0 - wb - wc, wb, wc), 0.0);\n"
    "    w /= w.x + w.y + w.z;\n"
    "    vec3 color = gl_Color.rgb;\n"
    "    gl_FragColor = vec4(w.x * min(color * a.z, 1.0) + w.y * min(color * b.z, 1.0) +\n"
    "                        w.z * min(color * c.z, 1.0), 1.0);\n"
    "}\n";

struct Point {
    float x;
    float y;
};

float cross(const Point &o, const Point &a, const Point &b)
{
    return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

// The convex hull of points, counter-clockwise, without collinear points.
std::vector<Point> hull(std::vector<Point> points)
{
    std::sort(points.begin(), points.end(), [](const Point &a, const Point &b) {
        return a.x < b.x || (a.x == b.x && a.y < b.y);
    });
    std::vector<Point> result(2 * points.size());
    size_t k = 0;
    for (size_t i = 0; i < points.size(); ++i) {
        while (k >= 2 && cross(result[k - 2], result[k - 1], points[i]) <= 0.0f)
            --k;
        result[k++] = points[i];
    }
    for (size_t i = points.size() - 1, lower = k + 1; i-- > 0;) {
        while (k >= lower && cross(result[k - 2], result[k - 1], points[i]) <= 0.0f)
            --k;
        result[k++] = points[i];
    }
    result.resize(k > 1 ? k - 1 : k);
    return result;
}

void setNearest()
{
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
}

} // namespace

bool SphereStamps::prepare(shadekit::glShaderManager &manager, float rotation, int detail)
{
    if (m_unsupported || !glutInitialized())
        return false;
    if (!m_program) {
        const bool floatTextures = GLEW_VERSION_3_0 || GLEW_ARB_texture_float;
        if (floatTextures && GLEW_VERSION_2_0)
            m_program = manager.loadfromMemory(vertexSource, fragmentSource);
        if (!m_program) {
            m_unsupported = true;
            return false;
        }
    }
    m_cosine = std::cos(rotation * radiansPerDegree);
    m_sine = std::sin(rotation * radiansPerDegree);
    if (m_captured && m_rotation == rotation && m_detail == detail)
        return true;
    m_captured = capture(rotation, detail);
    m_rotation = rotation;
    m_detail = detail;
    return m_captured;
}

bool SphereStamps::capture(float rotation, int detail)
{
    // One sphere of radius 1 at the origin, lit as the frame lights its spheres, fed back in
    // window coordinates with its corners' colours.
    // A sphere of n slices and stacks draws 2 n^2 triangles, some of them empty.
    std::vector<GLfloat> feedback(size_t(4 * detail * detail) * size_t(triangleValues));
    GLint viewport[4] = {};
    glGetIntegerv(GL_VIEWPORT, viewport);
    glViewport(0, 0, captureSize, captureSize);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(-captureExtent, captureExtent, -captureExtent, captureExtent, -captureExtent,
            captureExtent);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glRotatef(rotation, 0.0f, 1.0f, 0.0f);
    glFeedbackBuffer(GLsizei(feedback.size()), GL_3D_COLOR, feedback.data());
    glRenderMode(GL_FEEDBACK);
    glColor3f(captureGrey, captureGrey, captureGrey);
    glutSolidSphere(1.0, detail, detail);
    const GLint values = glRenderMode(GL_RENDER);
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    if (values <= 0)
        return false;

    // Window coordinates back to radii from the centre; the light back to its full size.
    const float toRadii = float(2.0 * captureExtent / double(captureSize));
    const float centre = float(captureSize) / 2.0f;
    std::vector<GLfloat> corners;
    std::vector<Point> points;
    for (GLint i = 0; i + 2 <= values; i += triangleValues) {
        const auto token = GLint(feedback[size_t(i)]);
        const auto count = GLint(feedback[size_t(i + 1)]);
        if (token != GL_POLYGON_TOKEN || count != 3 || i + triangleValues > values)
            return false; // a sphere draws nothing but triangles
        const GLfloat *v = &feedback[size_t(i + 2)];
        std::array<Point, 3> p;
        for (int k = 0; k < 3; ++k) {
            p[size_t(k)] = {(v[vertexValues * k] - centre) * toRadii,
                            (v[vertexValues * k + 1] - centre) * toRadii};
        }
        if (std::fabs(cross(p[0], p[1], p[2])) < degenerateArea)
            continue;
        for (int k = 0; k < 3; ++k) {
            const float light = v[vertexValues * k + 3] / captureGrey;
            corners.insert(corners.end(), {p[size_t(k)].x, p[size_t(k)].y, light, 0.0f});
            points.push_back(p[size_t(k)]);
        }
    }
    if (points.size() < 3)
        return false;
    const std::vector<Point> outline = hull(points);
    if (outline.size() < 3 || outline.size() > size_t(maxOutline))
        return false;
    m_outline.clear();
    for (size_t i = 0; i < outline.size(); ++i) {
        const Point &a = outline[i];
        const Point &b = outline[(i + 1) % outline.size()];
        m_outline.insert(m_outline.end(),
                         {-(b.y - a.y), b.x - a.x, (b.y - a.y) * a.x - (b.x - a.x) * a.y});
    }

    // Every triangle, in the order drawn, claims the texels whose centres it covers.
    std::vector<std::array<GLfloat, 4>> cells(size_t(mapSize) * mapSize, {0.0f, 0.0f, 0.0f, 0.0f});
    const float texel = 2.0f / float(mapSize);
    const auto texelOf = [texel](float x) {
        return std::clamp(int(std::floor((x + 1.0f) / texel)), 0, mapSize - 1);
    };
    const auto centreOf = [texel](int i) { return -1.0f + (float(i) + 0.5f) * texel; };
    const auto cell = [&cells](int row, int column) -> std::array<GLfloat, 4> & {
        return cells[size_t(row) * mapSize + size_t(column)];
    };
    const int triangles = int(corners.size() / 12);
    for (int t = 0; t < triangles; ++t) {
        const GLfloat *c = &corners[size_t(12 * t)];
        const std::array<Point, 3> p{Point{c[0], c[1]}, Point{c[4], c[5]}, Point{c[8], c[9]}};
        const float orientation = cross(p[0], p[1], p[2]) > 0.0f ? 1.0f : -1.0f;
        const int bottom = texelOf(std::min({p[0].y, p[1].y, p[2].y}));
        const int top = texelOf(std::max({p[0].y, p[1].y, p[2].y}));
        const int left = texelOf(std::min({p[0].x, p[1].x, p[2].x}));
        const int right = texelOf(std::max({p[0].x, p[1].x, p[2].x}));
        for (int row = bottom; row <= top; ++row) {
            // Along a row each edge keeps the centres on one side of a crossing point.
            const float y = centreOf(row);
            float from = -2.0f;
            float to = 2.0f;
            for (size_t k = 0; k < 3; ++k) {
                const Point &a = p[k];
                const Point &b = p[(k + 1) % 3];
                const float level = orientation * (b.x - a.x) * (y - a.y);
                const float slope = orientation * (b.y - a.y);
                if (slope > 0.0f)
                    to = std::min(to, a.x + level / slope);
                else if (slope < 0.0f)
                    from = std::max(from, a.x + level / slope);
                else if (level < 0.0f)
                    to = from - 1.0f;
            }
            const int first = std::max(left, int(std::ceil((from + 1.0f) / texel - 0.5f)));
            const int last = std::min(right, int(std::floor((to + 1.0f) / texel - 0.5f)));
            for (int column = first; column <= last; ++column)
                cell(row, column)[0] = float(t + 1);
        }
    }
    // Every edge of the outline is named in the texels near its line along it: a texel it does
    // not name lies wholly on its inner side.
    for (size_t e = 0; e < outline.size(); ++e) {
        const Point &a = outline[e];
        const Point &b = outline[(e + 1) % outline.size()];
        const GLfloat *h = &m_outline[3 * e];
        const float reach = nearEdge * texel * std::hypot(h[0], h[1]);
        for (int row = std::max(0, texelOf(std::min(a.y, b.y)) - edgeMargin);
             row <= std::min(mapSize - 1, texelOf(std::max(a.y, b.y)) + edgeMargin); ++row) {
            for (int column = std::max(0, texelOf(std::min(a.x, b.x)) - edgeMargin);
                 column <= std::min(mapSize - 1, texelOf(std::max(a.x, b.x)) + edgeMargin);
                 ++column) {
                if (std::fabs(h[0] * centreOf(column) + h[1] * centreOf(row) + h[2]) > reach)
                    continue;
                std::array<GLfloat, 4> &named = cell(row, column);
                if (named[1] < 0.0f)
                    continue; // already more than three
                const auto free = std::find(named.begin() + 1, named.end(), 0.0f);
                if (free == named.end())
                    named[1] = -1.0f;
                else
                    *free = float(e + 1);
            }
        }
    }
    // Texels on the outline whose centres lie just outside it, or on a seam that rounding left
    // to neither side, take a neighbour's triangle.
    std::vector<std::array<GLfloat, 4>> grown = cells;
    for (int row = 0; row < mapSize; ++row) {
        for (int column = 0; column < mapSize; ++column) {
            GLfloat &claimed = grown[size_t(row) * mapSize + size_t(column)][0];
            for (int dy = -1; dy <= 1 && claimed == 0.0f; ++dy) {
                for (int dx = -1; dx <= 1 && claimed == 0.0f; ++dx) {
                    const int r = row + dy;
                    const int k = column + dx;
                    if (r >= 0 && r < mapSize && k >= 0 && k < mapSize)
                        claimed = cell(r, k)[0];
                }
            }
        }
    }

    if (!m_cells) {
        glGenTextures(1, &m_cells);
        glGenTextures(1, &m_corners);
    }
    glBindTexture(GL_TEXTURE_2D, m_cells);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, mapSize, mapSize, 0, GL_RGBA, GL_FLOAT,
                 grown.data());
    setNearest();
    m_cornerCount = int(corners.size() / 4);
    glBindTexture(GL_TEXTURE_2D, m_corners);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA32F, m_cornerCount, 1, 0, GL_RGBA, GL_FLOAT,
                 corners.data());
    setNearest();
    glBindTexture(GL_TEXTURE_2D, 0);
    return true;
}

void SphereStamps::add(const QVector3D &centre, float radius, const QColor &color)
{
    // The square faces the viewer: its sides, turned back by the view rotation, lie across the
    // screen and along the time axis.
    const float across = stampExtent * radius;
    const std::array<GLfloat, 4> rgba{float(color.red()) / 255.0f, float(color.green()) / 255.0f,
                                      float(color.blue()) / 255.0f, 1.0f};
    for (const auto &[s, t] :
         {std::array<float, 2>{-1.0f, -1.0f}, std::array<float, 2>{1.0f, -1.0f},
          std::array<float, 2>{1.0f, 1.0f}, std::array<float, 2>{-1.0f, 1.0f}}) {
        m_positions.insert(m_positions.end(),
                           {centre.x() + s * across * m_cosine, centre.y() + t * across,
                            centre.z() + s * across * m_sine});
        m_colors.insert(m_colors.end(), rgba.begin(), rgba.end());
        m_places.insert(m_places.end(), {s * stampExtent, t * stampExtent});
    }
}

void SphereStamps::draw()
{
    if (m_positions.empty() || !m_program)
        return;
    m_program->begin();
    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, m_corners);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, m_cells);
    m_program->setUniform1i("cells", 0);
    m_program->setUniform1i("corners", 1);
    m_program->setUniform1f("cornerCount", float(m_cornerCount));
    m_program->setUniform3fv("outline", GLsizei(m_outline.size() / 3), m_outline.data());
    m_program->setUniform1i("outlineSize", GLint(m_outline.size() / 3));

    glBindBuffer(GL_ARRAY_BUFFER, 0);
    glVertexPointer(3, GL_FLOAT, 0, m_positions.data());
    glColorPointer(4, GL_FLOAT, 0, m_colors.data());
    glTexCoordPointer(2, GL_FLOAT, 0, m_places.data());
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_COLOR_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glDrawArrays(GL_QUADS, 0, GLsizei(m_positions.size() / 3));
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    glDisableClientState(GL_COLOR_ARRAY);
    glDisableClientState(GL_VERTEX_ARRAY);

    glActiveTexture(GL_TEXTURE1);
    glBindTexture(GL_TEXTURE_2D, 0);
    glActiveTexture(GL_TEXTURE0);
    glBindTexture(GL_TEXTURE_2D, 0);
    m_program->end();
    m_positions.clear();
    m_colors.clear();
    m_places.clear();
}

void SphereStamps::release(shadekit::glShaderManager &manager)
{
    for (const GLuint texture : {m_cells, m_corners}) {
        if (texture)
            glDeleteTextures(1, &texture);
    }
    m_cells = m_corners = 0;
    m_captured = false;
    if (m_program)
        manager.free(m_program);
    m_program = nullptr;
}
