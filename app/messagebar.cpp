// SPDX-License-Identifier: MIT
#include "messagebar.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QStyle>
#include <QToolButton>

namespace {

constexpr int iconSide = 16;
// The bar grows to this many lines when the window has the room; more scroll.
constexpr int tallestLines = 4;
// A long batch run of bad files keeps the latest of its lines.
constexpr int keptLines = 1000;

} // namespace

MessageBar::MessageBar(QWidget *parent) : QFrame(parent), m_lines(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("messageBar"));
    setFrameShape(QFrame::StyledPanel);
    // A pale warning colour on the bar; the lines show through it, as a label's would.
    setStyleSheet(QStringLiteral("#messageBar { background: #fff4ce; border: 1px solid #d9b44a; }"
                                 "#messageBar QPlainTextEdit { background: transparent; }"));
    auto *icon = new QLabel(this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(iconSide));
    icon->setAlignment(Qt::AlignTop);
    // File names may hold anything; they are shown as written and can be selected and copied.
    m_lines->setReadOnly(true);
    m_lines->setFrameShape(QFrame::NoFrame);
    m_lines->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_lines->setMaximumBlockCount(keptLines);
    m_lines->document()->setDocumentMargin(0);
    const int line = m_lines->fontMetrics().lineSpacing();
    m_lines->setMinimumHeight(line);
    m_lines->setMaximumHeight(line * tallestLines);
    auto *close = new QToolButton(this);
    close->setObjectName(QStringLiteral("dismissMessages"));
    close->setAutoRaise(true);
    close->setText(QStringLiteral("\u00d7"));
    close->setToolTip(tr("Dismiss these messages."));
    // No taller than a line, so that the bar adds little to a window that fills a small screen.
    close->setFixedHeight(line + 2);
    connect(close, &QToolButton::clicked, this, &MessageBar::dismiss);
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(6, 1, 1, 1);
    layout->addWidget(icon, 0, Qt::AlignTop);
    layout->addWidget(m_lines, 1);
    layout->addWidget(close, 0, Qt::AlignTop);
    hide();
}

void MessageBar::add(const QString &line)
{
    m_lines->appendPlainText(line);
    m_lines->verticalScrollBar()->setValue(m_lines->verticalScrollBar()->maximum());
    show();
}

QString MessageBar::text() const
{
    return m_lines->toPlainText();
}

void MessageBar::dismiss()
{
    hide();
    m_lines->clear();
}
