// SPDX-License-Identifier: MIT
#include "plotloom.h"

#include <QFileDialog>
#include <QInputDialog>
#include <QListWidgetItem>

void Plotloom::resetBreakStringList()
{
    ui.listWidget_BreakString->clear();
    for (const QString &b : qAsConst(analysis.breakStrings)) {
        auto *item = new QListWidgetItem(b);
        item->setData(Qt::ForegroundRole, QBrush(Qt::black));
        item->setData(Qt::BackgroundRole, QBrush(Qt::white));
        ui.listWidget_BreakString->addItem(item);
    }
}

void Plotloom::loadBreakStringList()
{
    if (analysis.loadBreakStrings(
            QFileDialog::getOpenFileName(nullptr, tr("Select a breakstring file"))))
        resetBreakStringList();
}

void Plotloom::saveBreakStringList()
{
    const QString path = QFileDialog::getSaveFileName(nullptr, tr("Select a breakstring file"));
    if (!path.isEmpty()) // a cancelled dialog writes nothing
        saveBreakStrings(path);
}

void Plotloom::addBreakString()
{
    const QString text = QInputDialog::getText(nullptr, tr("QInputDialog::getText()"),
                                               tr("Break String:"), QLineEdit::Normal, QString());
    if (!text.isEmpty())
        analysis.breakStrings.append(text);
    resetBreakStringList();
}

void Plotloom::removeBreakString()
{
    QStringList selected;
    for (const QListWidgetItem *item : ui.listWidget_BreakString->selectedItems())
        selected.append(item->text());
    QStringList kept;
    for (const QString &b : qAsConst(analysis.breakStrings))
        if (!selected.contains(b))
            kept.append(b);
    analysis.breakStrings = kept;
    resetBreakStringList();
}
