// SPDX-License-Identifier: MIT
#include "plotloom.h"

#include "contrastingrowdelegate.h"

#include <QColorDialog>
#include <QDialog>
#include <QFileDialog>
#include <QHash>
#include <QInputDialog>
#include <QListWidgetItem>

#include <algorithm>

namespace {

QListWidgetItem *includeRow(const Character *c)
{
    QString text;
    for (const QString &word : c->names)
        text += word + QLatin1Char(' ');
    if (c->colorSet)
        text += QLatin1String(" [forced color]");
    auto *item = new QListWidgetItem(text);
    item->setData(Qt::BackgroundRole, QBrush(c->color));
    return item;
}

} // namespace

void Plotloom::includeCharactersDialog()
{
    analysis.loadCharacters(QStringLiteral("characters.txt"));
    // An included character in force also has a row in the character list; the dialog's row
    // takes its place in listItem while the dialog is open, and it comes back afterwards.
    QHash<Character *, QListWidgetItem *> characterRows;
    for (Character *c : qAsConst(analysis.includeCharacters))
        if (c->listItem && c->listItem->listWidget() == ui.listWidget)
            characterRows.insert(c, c->listItem);
    QDialog dialog;
    includeUi.setupUi(&dialog);
    includeUi.listWidget->setItemDelegate(new ContrastingRowDelegate(includeUi.listWidget));
    dialog.setWindowTitle(tr("Included Characters"));
    includeUi.pushButton_AddIncludeCharacter->setText(tr("+"));
    includeUi.pushButton_RemoveIncludeCharacter->setText(tr("-"));
    includeUi.pushButton_ForceColor->setText(tr("Force Color"));
    connect(includeUi.pushButton_AddIncludeCharacter, &QPushButton::clicked, this,
            &Plotloom::addIncludeCharacter);
    connect(includeUi.pushButton_RemoveIncludeCharacter, &QPushButton::clicked, this,
            &Plotloom::removeIncludeCharacter);
    connect(includeUi.pushButton_ForceColor, &QPushButton::clicked, this,
            &Plotloom::setIncludeCharacterColor);
    resetCharacterUIList();
    const bool accepted = dialog.exec() == QDialog::Accepted;
    // The dialog's rows go with it.
    for (Character *c : qAsConst(analysis.includeCharacters))
        if (c->listItem && c->listItem->listWidget() == includeUi.listWidget)
            c->listItem = nullptr;
    for (auto row = characterRows.cbegin(); row != characterRows.cend(); ++row)
        row.key()->listItem = row.value();
    includeUi = Ui_IncludeCharacters();
    if (accepted)
        reportSaved(analysis.saveCharacters(QStringLiteral("characters.txt")),
                    QStringLiteral("characters.txt"),
                    counted(analysis.includeCharacters.size(), tr("character"), tr("characters")));
}

void Plotloom::resetCharacterUIList()
{
    if (includeUi.listWidget) {
        includeUi.listWidget->clear();
        for (Character *c : qAsConst(analysis.includeCharacters)) {
            c->listItem = includeRow(c);
            includeUi.listWidget->addItem(c->listItem);
        }
    }
    SetText();
}

void Plotloom::addIncludeCharacter()
{
    const QString text = QInputDialog::getText(nullptr, tr("QInputDialog::getText()"),
                                               tr("Character Name:"), QLineEdit::Normal, QString());
    if (text.isEmpty() || !includeUi.listWidget)
        return;
    Character *c = analysis.newCharacter(text.split(QLatin1Char(' '), Qt::KeepEmptyParts));
    c->color = QColor(255, 255, 255);
    c->listItem = includeRow(c);
    analysis.includeCharacters.append(c);
    includeUi.listWidget->addItem(c->listItem);
}

void Plotloom::removeIncludeCharacter()
{
    if (!includeUi.listWidget)
        return;
    const QList<QListWidgetItem *> selected = includeUi.listWidget->selectedItems();
    QVector<Character *> kept;
    for (Character *c : qAsConst(analysis.includeCharacters)) {
        if (!selected.contains(c->listItem))
            kept.append(c);
        else
            c->listItem = nullptr; // its row goes with the rebuild
    }
    analysis.includeCharacters = kept;
    resetCharacterUIList();
}

void Plotloom::setIncludeCharacterColor()
{
    if (!includeUi.listWidget)
        return;
    const QColor color = QColorDialog::getColor(Qt::white);
    if (!color.isValid())
        return;
    const QList<QListWidgetItem *> selected = includeUi.listWidget->selectedItems();
    for (Character *c : qAsConst(analysis.includeCharacters)) {
        if (c->listItem && selected.contains(c->listItem)) {
            c->color = color;
            c->colorSet = true;
        }
    }
    resetCharacterUIList();
}

void Plotloom::loadColorsAndRecolor()
{
    // A cancelled dialog, or a file that cannot be read, changes no colour.
    if (!analysis.loadColors(QFileDialog::getOpenFileName(nullptr, tr("Select a color file"))))
        return;
    if (analysis.characters.isEmpty() || analysis.colors.isEmpty())
        return;
    for (int i = 0; i < analysis.characters.size(); ++i) {
        Character *c = analysis.characters.at(i);
        c->color = analysis.colors.at(std::min(i, analysis.colors.size() - 1));
        if (c->listItem)
            c->listItem->setData(Qt::BackgroundRole, QBrush(c->color));
    }
}
