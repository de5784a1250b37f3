// SPDX-License-Identifier: MIT
#include "plotloom.h"

#include "contrastingrowdelegate.h"
#include "fileio.h"
#include "htmlnames.h"
#include "messagebar.h"
#include "option.h"
#include "savefiledialog.h"
#include "webtextview.h"

#include <QAction>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QImageWriter>
#include <QKeyEvent>
#include <QListWidgetItem>
#include <QMessageBox>
#include <QProgressDialog>
#include <QScreen>
#include <QStatusBar>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebView>

#include <cstdio>
#include <cstdlib>

namespace {

// The reparse button's margins within the thread view.
constexpr int reparseMarginLeft = 30;
constexpr int reparseMarginTop = 20;
constexpr int reparseMarginRight = 19;
constexpr int reparseMarginBottom = 20;

} // namespace

Plotloom::Plotloom(QWidget *parent) : QMainWindow(parent)
{
    loadConfig();
    ui.setupUi(this);
    // The message area sits above the form's widgets, which keep their tree below it.
    QWidget *form = takeCentralWidget();
    auto *central = new QWidget(this);
    auto *column = new QVBoxLayout(central);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    m_messageBar = new MessageBar(central);
    column->addWidget(m_messageBar);
    column->addWidget(form);
    setCentralWidget(central);
    setAcceptDrops(true);
    m_textView = std::make_unique<WebTextView>(ui.webView);
    ui.listWidget->setItemDelegate(new ContrastingRowDelegate(ui.listWidget));
    // The view controls keep the height their font needs; the tabs below take the rest.
    ui.groupBox_2->setMaximumHeight(ui.groupBox_2->minimumSizeHint().height());
    // The form's size suits a large screen; on a smaller one the window starts at the space there.
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        resize(size().boundedTo(screen->availableSize()));
    // The text view would take Ctrl+A (select all) for itself; see eventFilter.
    ui.webView->installEventFilter(this);
    analysis.setProgress(&m_progressDialogs);
    connect(ui.ThreadView, &GraphWidget::imageSaved, this, &Plotloom::imageSaved);

    // Menus and buttons start operations, which never run inside another one (see whenIdle).
    const auto menuOperation = [this](void (Plotloom::*dispatch)(QAction *)) {
        return [this, dispatch](QAction *action) {
            whenIdle([this, dispatch, action] { (this->*dispatch)(action); });
        };
    };
    connect(ui.pushButton_SaveImage, &QPushButton::clicked, this, operation(&Plotloom::saveImage));
    connect(ui.pushButton_WriteSceneStats, &QPushButton::clicked, this,
            operation(qOverload<>(&Plotloom::writeSceneStats)));
    connect(ui.pushButton_WriteCharacterStats, &QPushButton::clicked, this,
            operation(qOverload<>(&Plotloom::writeCharacterStats)));
    connect(ui.menuFile, &QMenu::triggered, this, menuOperation(&Plotloom::filemenuTrigger));
    connect(ui.menuStats, &QMenu::triggered, this, menuOperation(&Plotloom::statsmenuTrigger));
    connect(ui.menuCharacters, &QMenu::triggered, this,
            menuOperation(&Plotloom::charactersmenuTrigger));
    connect(ui.menuBreakStrings, &QMenu::triggered, this,
            menuOperation(&Plotloom::breakstringsmenuTrigger));
    connect(ui.menuOptions, &QMenu::triggered, this, menuOperation(&Plotloom::optionsmenuTrigger));
    connect(ui.menuFonts, &QMenu::triggered, this, menuOperation(&Plotloom::fontsmenuTrigger));

    ui.comboBox_DrawMode->addItem(tr("Force Directed"));
    ui.comboBox_DrawMode->addItem(tr("Color Weaving"));
    ui.comboBox_DrawMode->addItem(tr("Convergence Graph"));
    ui.comboBox_DrawMode->addItem(tr("Increasing Graph"));
    ui.comboBox_DrawMode->addItem(tr("Storyline"));
    connect(ui.ThreadView, &GraphWidget::threadClicked, this, &Plotloom::showThread);

    connect(ui.pushButton_addBreakString, &QPushButton::clicked, this,
            operation(&Plotloom::addBreakString));
    connect(ui.pushButton_removeBreakString, &QPushButton::clicked, this,
            operation(&Plotloom::removeBreakString));
    connect(ui.pushButton_loadBreakString, &QPushButton::clicked, this,
            operation(&Plotloom::loadBreakStringList));
    connect(ui.pushButton_saveBreakString, &QPushButton::clicked, this,
            operation(&Plotloom::saveBreakStringList));
    // Runs after the view's own handler, which has already recoloured the selected characters.
    connect(&ui.ThreadView->colorDialog, &QColorDialog::currentColorChanged, this,
            &Plotloom::currentColorChanged);

    auto *addCharacterAction = new QAction(tr("Add Character"), this);
    auto *addBreakStringAction = new QAction(tr("Add BreakString"), this);
    auto *breakHereAction = new QAction(tr("Break Section Here"), this);
    ui.webView->addAction(addCharacterAction);
    ui.webView->addAction(addBreakStringAction);
    ui.webView->addAction(breakHereAction);
    connect(addCharacterAction, &QAction::triggered, this,
            operation(&Plotloom::textAddCharacterTrigger));
    connect(addBreakStringAction, &QAction::triggered, this,
            operation(&Plotloom::textBreakStringTrigger));
    connect(breakHereAction, &QAction::triggered, this, operation(&Plotloom::textBreakHereTrigger));
    connect(ui.webView, &QWidget::customContextMenuRequested, this,
            &Plotloom::customContextMenuTrigger);

    if (!analysis.loadBreakStrings(QStringLiteral("breakStrings.txt"))) {
        QMessageBox box;
        box.setText(tr("No breakstring file was found."));
        box.setInformativeText(tr("Would you like create a sample breakstring file?"));
        box.setStandardButtons(QMessageBox::Ok | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Ok);
        if (box.exec() == QMessageBox::Ok) {
            analysis.breakStrings += ScreenplayAnalysis::sampleBreakStrings();
            saveBreakStrings(QStringLiteral("breakStrings.txt"));
        }
    }
    resetBreakStringList();

    ui.pushButton_Reparse->hide();
    // The button covers the view at whatever size the view has, with the form's margins.
    auto *reparseCover = new QVBoxLayout(ui.ThreadView);
    reparseCover->setContentsMargins(reparseMarginLeft, reparseMarginTop, reparseMarginRight,
                                     reparseMarginBottom);
    reparseCover->addWidget(ui.pushButton_Reparse);
    ui.pushButton_Reparse->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    connect(ui.pushButton_Reparse, &QPushButton::clicked, this,
            operation(&Plotloom::reparseTrigger));
    analysis.loadCharacters(QStringLiteral("characters.txt"));
    m_textView->setDefaultFontSize(11);
    SetText();
    restoreLayout();
    About();
    setWindowTitle(QStringLiteral("Yarnwise (v %1.%2)").arg(majorVersion).arg(minorVersion));
}

Plotloom::~Plotloom()
{
    if (m_shown)
        saveLayout();
    // The view keeps a pointer to the list, which the analysis deletes after this body.
    ui.ThreadView->clear();
    ui.ThreadView->textView = nullptr;
}

void Plotloom::whenIdle(std::function<void()> op)
{
    if (busy())
        m_deferredOperations.push_back(std::move(op));
    else
        runOperation(op);
}

std::function<void()> Plotloom::operation(void (Plotloom::*slot)())
{
    return [this, slot] { whenIdle([this, slot] { (this->*slot)(); }); };
}

void Plotloom::runOperation(const std::function<void()> &op)
{
    ++m_operations;
    op();
    --m_operations;
    // From the event loop, so that the waiting operation does not run inside this one's caller.
    if (!busy() && !m_deferredOperations.empty())
        QTimer::singleShot(0, this, &Plotloom::runDeferredOperation);
}

void Plotloom::runDeferredOperation()
{
    if (busy() || m_deferredOperations.empty())
        return;
    const std::function<void()> op = std::move(m_deferredOperations.front());
    m_deferredOperations.pop_front();
    runOperation(op);
}

bool Plotloom::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == this) {
        const QEvent::Type type = event->type();
        if (type == QEvent::Show && !m_shown) {
            m_shown = true;
            placeSplitters();
        } else if (isVisible() && (type == QEvent::Resize || type == QEvent::Move ||
                                   type == QEvent::WindowStateChange))
            m_layoutSaver.start();
        return QMainWindow::eventFilter(watched, event);
    }
    // The text view would take a dropped file as a page to go to; the window opens it instead.
    if (watched == ui.webView &&
        (event->type() == QEvent::DragEnter || event->type() == QEvent::DragMove ||
         event->type() == QEvent::Drop)) {
        auto *drop = static_cast<QDropEvent *>(event);
        if (droppedFiles(drop->mimeData()).isEmpty())
            return QMainWindow::eventFilter(watched, event);
        if (event->type() == QEvent::Drop)
            dropEvent(drop);
        else
            drop->acceptProposedAction();
        return true;
    }
    // The menus' shortcuts come before the text view's own keys.
    if (watched == ui.webView && event->type() == QEvent::ShortcutOverride) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const QKeySequence pressed(int(key->modifiers()) | key->key());
        for (const QAction *action : findChildren<QAction *>()) {
            if (action->shortcut() == pressed && !pressed.isEmpty()) {
                event->ignore();
                return true;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Plotloom::filemenuTrigger(QAction *action)
{
    printLine("got here!");
    const QString text = action->text();
    if (text == QLatin1String("Open File"))
        OpenFile();
    else if (text == QLatin1String("Reparse"))
        Parse();
    else if (text == QLatin1String("Automate"))
        Automate();
    else if (text == QLatin1String("Save Image"))
        saveImage();
    else if (text == QLatin1String("Save Markup"))
        saveMarkup();
    else if (text == QLatin1String("About"))
        About();
    else if (text == QLatin1String("Quit"))
        quit(2);
}

void Plotloom::statsmenuTrigger(QAction *action)
{
    const QString text = action->text();
    if (text == QLatin1String("Write Scene Stats"))
        writeSceneStats();
    else if (text == QLatin1String("Write Character Stats"))
        writeCharacterStats();
    else if (text == QLatin1String("Write Scene Breakdown"))
        writeSceneBreakdown();
    else if (text == QLatin1String("Write Character Network"))
        writeCharacterNetwork();
}

void Plotloom::charactersmenuTrigger(QAction *action)
{
    const QString text = action->text();
    if (text == QLatin1String("Force Character")) {
        includeCharactersDialog();
    } else if (text == QLatin1String("Load Colors...")) {
        loadColorsAndRecolor();
    } else if (text == QLatin1String("Save Colors")) {
        saveColors(QStringLiteral("colors.txt"));
    } else if (text == QLatin1String("Save Colors as...")) {
        const QString path = QFileDialog::getSaveFileName(nullptr, tr("Select a color file"));
        if (!path.isEmpty()) // a cancelled dialog writes nothing
            saveColors(path);
    }
}

void Plotloom::breakstringsmenuTrigger(QAction *action)
{
    const QString text = action->text();
    if (text == QLatin1String("Add BreakString"))
        addBreakString();
    else if (text == QLatin1String("Remove BreakString"))
        removeBreakString();
    else if (text == QLatin1String("Load BreakStrings..."))
        loadBreakStringList();
    else if (text == QLatin1String("Save BreakStrings"))
        saveBreakStrings(QStringLiteral("breakStrings.txt"));
    else if (text == QLatin1String("Save BreakStrings as..."))
        saveBreakStringList();
}

void Plotloom::fontsmenuTrigger(QAction *action)
{
    if (action->text() != QLatin1String("Change Font"))
        return;
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, QFont(QStringLiteral("Helvetica [Cronyx]"), 10));
    if (!ok)
        return;
    // The page's text takes the family too, not only the size.
    m_textView->setFont(font);
}

void Plotloom::quit(int status)
{
    std::fflush(stdout);
    std::exit(status);
}

void Plotloom::saveImage()
{
    printLine("do we get here??");
    const bool storyline = ui.ThreadView->drawMode == GraphWidget::Storyline;
    const QString filter = storyline
                               ? tr("PNG (*.png);;JPEG (*.jpg);;SVG (*.svg);; All files (*.*)")
                               : tr("PNG (*.png);;JPEG (*.jpg);; All files (*.*)");
    const QString name = imageName(SaveFileDialog::ask(this, tr("Save Image"), filter));
    if (const FileError error = analysis.overwriteProblem(name); !error.isNull()) {
        showError(error);
        return;
    }
    if (name.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        // The storyline is drawn again as a vector drawing rather than read back as pixels.
        if (!storyline)
            showError(FileError::notWritten(name, tr("only the Storyline mode is drawn as SVG")));
        else
            reportSaved(saveWholeFile(name, ui.ThreadView->storylineSvg(),
                                      QStringLiteral("file not found")),
                        name);
        return;
    }
    ui.ThreadView->saveImageToFile(name);
}

QString Plotloom::imageName(const QString &name)
{
    // A name the image writers do not know is saved as PNG rather than refused.
    const QByteArray suffix = QFileInfo(name).suffix().toLower().toLatin1();
    if (name.isEmpty() || suffix == "svg" || QImageWriter::supportedImageFormats().contains(suffix))
        return name;
    return name + QStringLiteral(".png");
}

void Plotloom::imageSaved(const QString &name, const QString &failure)
{
    if (!failure.isEmpty()) {
        showError(FileError::notWritten(name, failure));
        return;
    }
    ++m_imagesSaved;
    reportSaved({}, name);
}

void Plotloom::showThread(int character, float position)
{
    const CharacterList *list = analysis.characterList;
    if (!list || character < 0 || character >= list->characters.size())
        return;
    if (QListWidgetItem *row = list->characters.at(character)->listItem) {
        ui.listWidget->setCurrentItem(row);
        ui.listWidget->scrollToItem(row);
    }
    const QVector<TimeIndex *> &scenes = list->timeIndices;
    int scene = 0;
    while (scene + 1 < scenes.size() && scenes.at(scene + 1)->start <= position)
        ++scene;
    m_textView->scrollToScene(scene, classSelector(QStringLiteral("div"), analysis.sceneClass),
                              position);
}

void Plotloom::writeSceneStats()
{
    writeSceneStats(
        SaveFileDialog::ask(this, tr("Write Stats"), tr("CSV (*.csv);;All files (*.*)")));
}

void Plotloom::writeSceneStats(const QString &fname)
{
    reportSaved(analysis.writeSceneStats(fname), fname,
                counted(sceneCount(), tr("scene"), tr("scenes")));
}

void Plotloom::writeCharacterStats()
{
    writeCharacterStats(
        SaveFileDialog::ask(this, tr("Write Stats"), tr("CSV (*.csv);;All files (*.*)")));
}

void Plotloom::writeCharacterStats(const QString &fname)
{
    reportSaved(analysis.writeCharacterStats(fname), fname,
                counted(characterCount(), tr("character"), tr("characters")));
}

void Plotloom::writeSceneBreakdown()
{
    writeSceneBreakdown(
        SaveFileDialog::ask(this, tr("Write Stats"), tr("CSV (*.csv);;All files (*.*)")));
}

void Plotloom::writeSceneBreakdown(const QString &fname)
{
    reportSaved(analysis.writeSceneBreakdown(fname), fname,
                counted(sceneCount(), tr("scene"), tr("scenes")));
}

void Plotloom::writeCharacterNetwork()
{
    writeCharacterNetwork(
        SaveFileDialog::ask(this, tr("Write Network"), tr("GraphML (*.graphml);;All files (*.*)")));
}

void Plotloom::writeCharacterNetwork(const QString &graphmlName)
{
    const QString edges = QDir::toNativeSeparators(
        QFileInfo(ScreenplayAnalysis::edgeListName(graphmlName)).absoluteFilePath());
    reportSaved(analysis.writeCharacterNetwork(graphmlName), graphmlName,
                tr("%1, the pairs in %2")
                    .arg(counted(characterCount(), tr("character"), tr("characters")), edges));
}

void Plotloom::saveMarkup()
{
    const QString name = SaveFileDialog::ask(this, tr("Save Markup"),
                                             tr("html (*.html);;xml (*.xml);; All files (*.*)"));
    reportSaved(analysis.writeMarkup(name), name, counted(sceneCount(), tr("scene"), tr("scenes")));
}

void Plotloom::saveColors(const QString &path)
{
    reportSaved(analysis.saveColors(path), path,
                counted(analysis.characters.size(), tr("colour"), tr("colours")));
}

void Plotloom::saveBreakStrings(const QString &path)
{
    reportSaved(analysis.saveBreakStrings(path), path,
                counted(analysis.breakStrings.size(), tr("break string"), tr("break strings")));
}

int Plotloom::sceneCount() const
{
    return analysis.characterList ? analysis.characterList->timeIndices.size() : 0;
}

int Plotloom::characterCount() const
{
    return analysis.characterList ? analysis.characterList->characters.size() : 0;
}

QString Plotloom::counted(int n, const QString &one, const QString &many)
{
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? one : many);
}

void Plotloom::reportSaved(const FileError &error, const QString &path, const QString &detail)
{
    if (!error.isNull()) {
        showError(error);
        return;
    }
    if (path.isEmpty())
        return;
    const QString shown = QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
    statusBar()->showMessage(detail.isEmpty() ? tr("Saved %1.").arg(shown)
                                              : tr("Saved %1: %2.").arg(shown, detail),
                             doneTimeout);
}

void Plotloom::showError(const FileError &error)
{
    // No name is a cancelled file dialog: nothing to tell.
    if (error.isNull() || error.path.isEmpty())
        return;
    FileError shown = error;
    shown.path = QDir::toNativeSeparators(QFileInfo(error.path).absoluteFilePath());
    const QString line = shown.message() + QLatin1Char('.');
    statusBar()->showMessage(line, messageTimeout);
    m_messageBar->add(line);
}
