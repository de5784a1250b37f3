// SPDX-License-Identifier: MIT
#include "plotloom.h"

#include "htmlnames.h"
#include "screenplayjob.h"
#include "webtextview.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QListWidgetItem>
#include <QStatusBar>

void Plotloom::OpenFile()
{
    const QString name = QFileDialog::getOpenFileName(this, tr("Select a screenplay"));
    // A cancelled dialog keeps the open screenplay and the edits made to it.
    if (name.isEmpty())
        return;
    openAndParse(name);
}

bool Plotloom::openAndParse(const QString &name)
{
    ScreenplayJob job(analysis);
    const FileError error = job.open(name);
    showError(error);
    // A file that is no screenplay at all leaves the open one as it was.
    if (!job.opened())
        return false;
    m_openError = error;
    setWindowTitle(QStringLiteral("Yarnwise : ") + QFileInfo(name).fileName());
    showError(analysis.notice);
    Parse();
    if (error.isNull())
        statusBar()->showMessage(
            tr("Opened %1: %2 in %3.")
                .arg(QFileInfo(name).fileName(),
                     counted(characterCount(), tr("character"), tr("characters")),
                     counted(sceneCount(), tr("scene"), tr("scenes"))),
            doneTimeout);
    return error.isNull();
}

void Plotloom::reparseTrigger()
{
    Parse();
}

void Plotloom::forgetListRows(const QVector<Character *> &list)
{
    for (Character *c : list)
        if (c->listItem && c->listItem->listWidget() == ui.listWidget)
            c->listItem = nullptr;
}

void Plotloom::Parse()
{
    loadConfig();
    ui.ThreadView->clear();
    // The rows go with the list widget; nothing may keep pointing at them.
    if (analysis.characterList)
        forgetListRows(analysis.characterList->characters);
    forgetListRows(analysis.characters);
    ui.listWidget->clear();

    analysis.buildModel();
    SetText();

    ui.ThreadView->init(analysis.characterList, analysis.viewStep());
    ui.ThreadView->textView = m_textView.get();
    ui.ThreadView->spheresBox = ui.checkBox_Spheres;
    ui.ThreadView->springsBox = ui.checkBox_Springs;
    ui.ThreadView->gridBox = ui.checkBox_DrawGrid;
    ui.ThreadView->flipAxisBox = ui.checkBox_FlipAxis;
    ui.ThreadView->moveToPlaneBox = ui.checkBox_MoveToPlane;
    ui.ThreadView->drawNamesBox = ui.checkBox_DrawNames;
    ui.ThreadView->sceneHeadings.clear();
    for (const SceneText &scene : analysis.sceneTexts())
        ui.ThreadView->sceneHeadings.append(scene.heading);

    for (Character *c : qAsConst(analysis.characterList->characters)) {
        QString text;
        for (const QString &word : c->names)
            text += word + QLatin1Char(' ');
        auto *item = new QListWidgetItem(text);
        item->setData(Qt::BackgroundRole, QBrush(c->color));
        c->listItem = item;
        ui.listWidget->addItem(item);
    }
    ui.pushButton_Reparse->hide();
}

void Plotloom::SetText()
{
    // Without a screenplay, or with one that gave no text, the view says so in its own voice;
    // the reason why is in the message area, never in the place of screenplay text.
    if (analysis.fileName.isEmpty() || (analysis.lines.isEmpty() && !m_openError.isNull())) {
        m_textView->setHtml(welcomePage());
        return;
    }
    m_textView->setHtml(analysis.markup);
    if (analysis.characterList) {
        for (const Character *c : qAsConst(analysis.characterList->characters)) {
            if (c->names.join(QString()).isEmpty())
                continue; // no selector can name an empty class
            const QString selector = classSelector(QStringLiteral("span"), c->className());
            m_textView->setStyle(selector, QStringLiteral("color"), c->color.name());
            m_textView->setStyle(selector, QStringLiteral("font-weight"), QStringLiteral("bold"));
        }
    }
    m_textView->setStyleAlternately(classSelector(QStringLiteral("div"), analysis.sceneClass),
                                    QStringLiteral("background-color"), sceneColorEven.name(),
                                    sceneColorOdd.name());
    const QString heading = classSelector(QStringLiteral("span"), analysis.breakStringClass);
    m_textView->setStyle(heading, QStringLiteral("color"), QStringLiteral("purple"));
    m_textView->setStyle(heading, QStringLiteral("font-weight"), QStringLiteral("bold"));
    m_textView->setStyle(heading, QStringLiteral("font-style"), QStringLiteral("italic"));
}
