// SPDX-License-Identifier: MIT
// What the pointer rests on, in every mode: the thread drawn under it and the scene there, named
// in a tooltip; a click on a thread is reported so that the window can show that character and
// scene. Picking reads the model and the node positions as the last frame drew them and changes
// nothing that a mode draws.
#include "graphwidget.h"

#include "characterlist.h"
#include "node.h"
#include "rope.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHelpEvent>
#include <QMatrix4x4>
#include <QMouseEvent>
#include <QToolTip>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

namespace {

// A thread within this many pixels of the pointer is under it.
constexpr float pickDistance = 5.0f;
constexpr float viewHalfWidth = 10.0f;
constexpr float viewHalfDepth = 10.0f;
// As the 3-D modes draw them: strands spread up to this share of the thread size around their
// node, and stretches above this activity take the active size.
constexpr float spreadPerSize = 0.1f;
constexpr float activeStretch = 0.75f;
// As the increasing graph draws it: each mention lifts a line by this much.
constexpr float climbPerMention = 0.0001f;
// A woven pixel shows a character whose colour is this close, summed over the channels.
constexpr int weaveColorTolerance = 24;
// Each step of the wheel (120 eighths of a degree) zooms the storyline chart by 1.2.
constexpr float zoomPerEighth = 1.00152f;

bool ticked(const QAbstractButton *box)
{
    return box && box->isChecked();
}

bool present(const TimeIndex *scene, int character)
{
    return character < scene->counts.size() && scene->counts.at(character) != 0;
}

// The distance from p to the segment from a to b, and where along it (0 to 1) the nearest
// point lies.
float segmentDistance(const QPointF &p, const QPointF &a, const QPointF &b, float *along)
{
    const QPointF d = b - a;
    const double length = QPointF::dotProduct(d, d);
    double u = length > 0.0 ? QPointF::dotProduct(p - a, d) / length : 0.0;
    u = std::clamp(u, 0.0, 1.0);
    *along = float(u);
    const QPointF nearest = a + d * u;
    return float(std::hypot(p.x() - nearest.x(), p.y() - nearest.y()));
}

} // namespace

bool GraphWidget::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::ToolTip: {
        const auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = threadTip(help->pos());
        if (tip.isEmpty()) {
            QToolTip::hideText();
            event->ignore();
        } else {
            QToolTip::showText(help->globalPos(), tip, this);
        }
        return true;
    }
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        m_pressed = mouse->button() == Qt::LeftButton;
        m_pressPosition = mouse->pos();
        break;
    }
    case QEvent::MouseMove: {
        // In the storyline the left button drags the chart instead of turning a 3-D view.
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (drawMode != Storyline || mouseButton != Qt::LeftButton ||
            !(mouse->buttons() & Qt::LeftButton))
            break;
        storylinePan +=
            QPointF(mouse->pos() - QPoint(lastMouseX, lastMouseY)) * devicePixelRatioF();
        lastMouseX = mouse->x();
        lastMouseY = mouse->y();
        update();
        return true;
    }
    case QEvent::MouseButtonRelease: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        if (mouse->button() != Qt::LeftButton || !m_pressed)
            break;
        m_pressed = false;
        if ((mouse->pos() - m_pressPosition).manhattanLength() > QApplication::startDragDistance())
            break;
        int scene = -1;
        const int character = threadAt(mouse->pos(), &scene);
        if (character >= 0 && scene >= 0)
            emit threadClicked(character, characterList->timeIndices.at(scene)->start);
        break;
    }
    case QEvent::Wheel: {
        if (drawMode != Storyline)
            break;
        const auto *wheel = static_cast<QWheelEvent *>(event);
        zoomStoryline(wheel->position() * devicePixelRatioF(),
                      std::pow(zoomPerEighth, float(wheel->angleDelta().y())));
        update();
        return true;
    }
    default:
        break;
    }
    return QGLWidget::event(event);
}

QString GraphWidget::threadTip(const QPoint &pos)
{
    int scene = -1;
    const int character = threadAt(pos, &scene);
    if (character < 0)
        return QString();
    // Rich text, so that names and headings show as they are whatever they hold.
    QString tip =
        QStringLiteral("<qt>") +
        characterList->characters.at(character)->names.join(QLatin1Char(' ')).toHtmlEscaped();
    if (scene >= 0) {
        const QString heading =
            scene < sceneHeadings.size() ? sceneHeadings.at(scene).trimmed() : QString();
        tip += QStringLiteral("<br>") +
               (heading.isEmpty() ? tr("Scene %1").arg(scene + 1)
                                  : tr("Scene %1: %2").arg(scene + 1).arg(heading.toHtmlEscaped()));
    }
    return tip + QStringLiteral("</qt>");
}

int GraphWidget::threadAt(const QPoint &pos, int *scene)
{
    int found = -1;
    int at = -1;
    if (graphReady && graphBuilt && characterList && !characterList->timeIndices.isEmpty()) {
        // The view draws in device pixels.
        const QPointF p = QPointF(pos) * devicePixelRatioF();
        switch (drawMode) {
        case Storyline:
            found = storylineThreadAt(p, &at);
            break;
        case IncreasingGraph:
            found = increasingLineAt(p, &at);
            break;
        case ColorWeaving:
            found = weavingThreadAt(p.toPoint(), &at);
            break;
        default:
            found = ropeAt(p, &at);
            break;
        }
    }
    if (scene)
        *scene = found >= 0 ? at : -1;
    return found;
}

int GraphWidget::sceneAtPosition(float t) const
{
    const QVector<TimeIndex *> &scenes = characterList->timeIndices;
    if (scenes.isEmpty() || t < scenes.first()->start || t > scenes.last()->stop)
        return -1;
    const auto after = std::upper_bound(scenes.begin(), scenes.end(), t,
                                        [](float t, const TimeIndex *s) { return t < s->start; });
    return int(after - scenes.begin()) - 1;
}

int GraphWidget::ropeAt(const QPointF &pos, int *scene) const
{
    if (viewWidth <= 0 || viewHeight <= 0)
        return -1;
    // The transformation the 3-D modes draw the threads with.
    QMatrix4x4 transform;
    transform.ortho(-viewHalfWidth, viewHalfWidth, -timeAxisLength / 2, timeAxisLength / 2,
                    -viewHalfDepth, viewHalfDepth);
    transform.rotate(rotation, 0.0f, 1.0f, 0.0f);
    float pixelsPerUnit = float(viewWidth) / (2.0f * viewHalfWidth);
    if (drawMode == ConvergenceGraph) {
        const float k = zoomScale();
        transform.translate(0.0f, panOffset, 0.0f);
        transform.scale(k, k, 1.0f);
        pixelsPerUnit *= k;
    }
    const auto project = [&](const QVector3D &v) {
        const QVector3D ndc = transform.map(v);
        return QPointF((ndc.x() + 1.0) / 2.0 * viewWidth, (1.0 - ndc.y()) / 2.0 * viewHeight);
    };

    int best = -1;
    float nearest = 0.0f;
    float y = 0.0f;
    for (size_t r = 0; r < ropes.size(); ++r) {
        const std::vector<Node *> &thread = ropes[r]->nodes;
        for (size_t i = 1; i < thread.size(); ++i) {
            const Node *a = thread[i - 1];
            const Node *b = thread[i];
            // Strands run only within the character's span.
            if (a->activity <= 0.0f || b->activity <= 0.0f)
                continue;
            const float size = std::max(a->activity, b->activity) > activeStretch
                                   ? activeThreadSize
                                   : inactiveThreadSize;
            const float reach = std::max(pickDistance * float(devicePixelRatioF()),
                                         spreadPerSize * size * pixelsPerUnit);
            float along = 0.0f;
            const float distance =
                segmentDistance(pos, project(a->position), project(b->position), &along);
            if (distance <= reach && (best < 0 || distance < nearest)) {
                best = int(r);
                nearest = distance;
                y = a->position.y() + (b->position.y() - a->position.y()) * along;
            }
        }
    }
    if (best < 0 || best >= characterList->characters.size())
        return -1;
    *scene = sceneAtPosition(0.5f - y / timeAxisLength);
    return best;
}

int GraphWidget::increasingLineAt(const QPointF &pos, int *scene) const
{
    if (viewWidth <= 0 || viewHeight <= 0)
        return -1;
    // Time runs down the view, or across it when flipped; the value the other way, from 0 to 1.
    const bool flipped = ticked(flipAxisBox);
    const float t =
        flipped ? float(pos.x()) / float(viewWidth) : float(pos.y()) / float(viewHeight);
    const float value =
        flipped ? 1.0f - float(pos.y()) / float(viewHeight) : float(pos.x()) / float(viewWidth);
    const float pixelsPerValue = float(flipped ? viewHeight : viewWidth);
    const int k = sceneAtPosition(t);
    if (k < 0)
        return -1;
    const QVector<TimeIndex *> &scenes = characterList->timeIndices;
    const TimeIndex *here = scenes.at(k);
    const float length = here->stop - here->start;
    const float through = length > 0.0f ? (t - here->start) / length : 1.0f;
    int best = -1;
    float nearest = pickDistance * float(devicePixelRatioF());
    for (int j = 0; j < characterList->characters.size(); ++j) {
        float reached = 0.0f;
        for (int s = 0; s < k; ++s) {
            const TimeIndex *scene = scenes.at(s);
            if (present(scene, j))
                reached +=
                    float(scene->counts.at(j)) * climbPerMention + scene->stop - scene->start;
        }
        if (present(here, j))
            reached += (float(here->counts.at(j)) * climbPerMention + length) * through;
        const float distance = std::abs(reached - value) * pixelsPerValue;
        if (distance < nearest) {
            nearest = distance;
            best = j;
        }
    }
    *scene = k;
    return best;
}

int GraphWidget::weavingThreadAt(const QPoint &pos, int *scene)
{
    if (viewWidth <= 0 || viewHeight <= 0 || !isValid())
        return -1;
    // Where the pointer is on the time axis, through the mode's pan and zoom.
    const float k = zoomScale();
    const float ndcX = 2.0f * float(pos.x()) / float(viewWidth) - 1.0f;
    const float ndcY = 1.0f - 2.0f * float(pos.y()) / float(viewHeight);
    if (std::abs(ndcX * viewHalfWidth / k) > viewHalfWidth)
        return -1;
    const float y = (ndcY * timeAxisLength / 2.0f - panOffset) / k;
    const int at = sceneAtPosition(0.5f - y / timeAxisLength);
    if (at < 0)
        return -1;

    // Every woven pixel shows one present character's colour: draw the frame again into the
    // back buffer, which is not shown, and read the pixel.
    makeCurrent();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
    drawColorWeaving();
    glFinish();
    GLubyte rgb[3] = {0, 0, 0};
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadBuffer(GL_BACK);
    glReadPixels(pos.x(), viewHeight - 1 - pos.y(), 1, 1, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glPixelStorei(GL_PACK_ALIGNMENT, 4);

    const TimeIndex *here = characterList->timeIndices.at(at);
    int best = -1;
    int nearest = weaveColorTolerance + 1;
    for (int j = 0; j < characterList->characters.size(); ++j) {
        if (!present(here, j))
            continue;
        const QColor &c = characterList->characters.at(j)->color;
        const int difference =
            std::abs(c.red() - rgb[0]) + std::abs(c.green() - rgb[1]) + std::abs(c.blue() - rgb[2]);
        if (difference < nearest) {
            nearest = difference;
            best = j;
        }
    }
    *scene = at;
    return best;
}
