// SPDX-License-Identifier: MIT
#include "plotloom.h"

#include "fileio.h"
#include "htmlnames.h"
#include "webtextview.h"

#include <QListWidgetItem>
#include <QMenu>
#include <QStatusBar>
#include <QWebView>

void Plotloom::customContextMenuTrigger(const QPoint &pos)
{
    contextMenuY = pos.y();
    auto *menu = new QMenu(this);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    connect(menu->addAction(tr("Add Character")), &QAction::triggered, this,
            operation(&Plotloom::textAddCharacterTrigger));
    connect(menu->addAction(tr("Add BreakString")), &QAction::triggered, this,
            operation(&Plotloom::textBreakStringTrigger));
    connect(menu->addAction(tr("Break Section Here")), &QAction::triggered, this,
            operation(&Plotloom::textBreakHereTrigger));
    menu->popup(ui.webView->mapToGlobal(pos));
}

void Plotloom::textAddCharacterTrigger()
{
    printLine(QStringLiteral("add character"));
    const QString selected = m_textView->selectedText();
    if (!selectionUsable(selected))
        return;
    analysis.addCharacter(selected.split(QLatin1Char(' '), Qt::KeepEmptyParts));
    setReparseNeeded();
}

void Plotloom::textBreakStringTrigger()
{
    printLine(QStringLiteral("add breakstring"));
    const QString selected = m_textView->selectedText();
    if (!selectionUsable(selected))
        return;
    analysis.breakStrings.append(selected);
    setReparseNeeded();
}

bool Plotloom::selectionUsable(const QString &selected)
{
    // A character or break string of no words would match every speaker or indented line.
    if (!selected.trimmed().isEmpty())
        return true;
    statusBar()->showMessage(tr("Select a name or a heading in the text first."), messageTimeout);
    return false;
}

void Plotloom::textBreakHereTrigger()
{
    const float maximum = static_cast<float>(m_textView->scrollMaximum());
    const float value = static_cast<float>(m_textView->scrollValue());
    const float y = static_cast<float>(contextMenuY);
    const float content = static_cast<float>(m_textView->contentHeight());
    const float height = static_cast<float>(ui.webView->height());
    // A view that cannot scroll reads from the top, and an empty page has no height to divide.
    const float scrolled = maximum > 0.0f ? value / maximum : 0.0f;
    const float clicked = content > 0.0f ? y / content : 0.0f;
    const float shown = content > 0.0f ? height / content : 0.0f;
    const float position = static_cast<float>((scrolled + clicked) / (shown + 1.0));
    analysis.userBreaks.append(position);
    setReparseNeeded();
}

void Plotloom::setReparseNeeded()
{
    ui.pushButton_Reparse->show();
    ui.pushButton_Reparse->raise();
    ui.ThreadView->graphBuilt = false;
}

void Plotloom::currentColorChanged(const QColor &)
{
    if (!analysis.characterList)
        return;
    for (const Character *c : qAsConst(analysis.characterList->characters)) {
        if (!c->listItem || !c->listItem->listWidget() || !c->listItem->isSelected() ||
            c->className().isEmpty())
            continue;
        m_textView->setStyle(classSelector(QStringLiteral("span"), c->className()),
                             QStringLiteral("color"), c->color.name());
    }
}
