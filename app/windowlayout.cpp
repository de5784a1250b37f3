// SPDX-License-Identifier: MIT
#include "plotloom.h"

#include "webtextview.h"

#include <QGuiApplication>
#include <QScreen>
#include <QSettings>

namespace {

// A typewriter screenplay's cues and dialogue end by column 60; only action lines run further.
constexpr int typewriterColumns = 60;
// Narrower, the threads of a long screenplay are hard to tell apart.
constexpr int narrowestThreadView = 320;
// A moment after the last move of a splitter or the window, so a drag writes once.
constexpr int layoutSaveDelayMs = 500;

const QString geometryKey = QStringLiteral("window/geometry");
const QString maximizedKey = QStringLiteral("window/maximized");
const QString splitterKey = QStringLiteral("window/splitter");
const QString sideSplitterKey = QStringLiteral("window/sideSplitter");

bool fitsAScreen(const QRect &rect)
{
    if (!rect.isValid())
        return false;
    for (const QScreen *screen : QGuiApplication::screens())
        if (screen->availableGeometry().contains(rect))
            return true;
    return false;
}

} // namespace

void Plotloom::restoreLayout()
{
    // The thread view takes what the window gains or loses; the text and the lists keep theirs.
    ui.splitter->setStretchFactor(0, 0);
    ui.splitter->setStretchFactor(1, 1);
    ui.splitter->setStretchFactor(2, 0);
    m_layoutSaver.setSingleShot(true);
    m_layoutSaver.setInterval(layoutSaveDelayMs);
    connect(&m_layoutSaver, &QTimer::timeout, this, &Plotloom::saveLayout);
    connect(ui.splitter, &QSplitter::splitterMoved, &m_layoutSaver, qOverload<>(&QTimer::start));
    connect(ui.splitter_2, &QSplitter::splitterMoved, &m_layoutSaver, qOverload<>(&QTimer::start));
    installEventFilter(this); // the window's first showing, moves and resizes; see eventFilter

    const QSettings settings;
    const QRect geometry = settings.value(geometryKey).toRect();
    // A layout from a screen that is gone, or smaller now, is left behind whole.
    m_restoreSplitters = fitsAScreen(geometry);
    if (!m_restoreSplitters)
        return;
    setGeometry(geometry);
    if (settings.value(maximizedKey).toBool())
        setWindowState(windowState() | Qt::WindowMaximized);
}

void Plotloom::placeSplitters()
{
    // Measured once shown, when the lists' style sheet fonts are in their sizes: the text view
    // starts as wide as a typewriter page, the lists at their narrowest, and the thread view
    // takes the rest. In a narrow window (1280 pixels) the thread view may become narrower than
    // its usual minimum, rather than the dialogue wrap.
    const int text = m_textView->widthForColumns(typewriterColumns);
    const int side = ui.groupBox->minimumSizeHint().width();
    const QMargins margins = ui.horizontalLayout->contentsMargins();
    const int room = width() - margins.left() - margins.right() - 2 * ui.splitter->handleWidth();
    const int thread = std::max(room - text - side, narrowestThreadView);
    if (thread < ui.ThreadView->minimumWidth())
        ui.ThreadView->setMinimumWidth(narrowestThreadView);
    const QSettings settings;
    if (!m_restoreSplitters ||
        !ui.splitter->restoreState(settings.value(splitterKey).toByteArray()) ||
        !ui.splitter_2->restoreState(settings.value(sideSplitterKey).toByteArray()))
        ui.splitter->setSizes({text, thread, side});
}

void Plotloom::saveLayout() const
{
    QSettings settings;
    settings.setValue(geometryKey, normalGeometry());
    settings.setValue(maximizedKey, isMaximized());
    settings.setValue(splitterKey, ui.splitter->saveState());
    settings.setValue(sideSplitterKey, ui.splitter_2->saveState());
}
