// SPDX-License-Identifier: MIT
#include "plotloom.h"

#include "contrastingrowdelegate.h"
#include "fileio.h"
#include "htmlnames.h"
#include "option.h"
#include "webtextview.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
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
    connect(ui.ThreadView, &GraphWidget::imageSaved, this,
            [this](const QString &name, const QString &failure) {
                if (!failure.isEmpty())
                    showError(FileError::notWritten(name, failure));
            });

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
            showError(analysis.saveBreakStrings(QStringLiteral("breakStrings.txt")));
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
    About();
    setWindowTitle(QStringLiteral("Yarnwise (v %1.%2)").arg(majorVersion).arg(minorVersion));
}

Plotloom::~Plotloom()
{
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
        showError(analysis.saveColors(QStringLiteral("colors.txt")));
    } else if (text == QLatin1String("Save Colors as...")) {
        const QString path = QFileDialog::getSaveFileName(nullptr, tr("Select a color file"));
        if (!path.isEmpty()) // a cancelled dialog writes nothing
            showError(analysis.saveColors(path));
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
        showError(analysis.saveBreakStrings(QStringLiteral("breakStrings.txt")));
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
    const QString name = QFileDialog::getSaveFileName(
        this, tr("Save Image"), QDir::currentPath(),
        tr("PNG (*.png);;JPEG (*.jpg);;SVG (*.svg);; All files (*.*)"));
    if (const FileError error = analysis.overwriteProblem(name); !error.isNull()) {
        showError(error);
        return;
    }
    // The storyline is drawn again as a vector drawing rather than read back as pixels.
    if (ui.ThreadView->drawMode == GraphWidget::Storyline &&
        name.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive))
        showError(saveWholeFile(name, ui.ThreadView->storylineSvg(), QStringLiteral("file not found")));
    else
        ui.ThreadView->saveImageToFile(name);
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
    writeSceneStats(QFileDialog::getSaveFileName(this, tr("Write Stats"), QDir::currentPath(),
                                                 tr("CSV (*.csv);;All files (*.*)")));
}

void Plotloom::writeSceneStats(const QString &fname)
{
    showError(analysis.writeSceneStats(fname));
}

void Plotloom::writeCharacterStats()
{
    writeCharacterStats(QFileDialog::getSaveFileName(this, tr("Write Stats"), QDir::currentPath(),
                                                     tr("CSV (*.csv);;All files (*.*)")));
}

void Plotloom::writeCharacterStats(const QString &fname)
{
    showError(analysis.writeCharacterStats(fname));
}

void Plotloom::writeSceneBreakdown()
{
    writeSceneBreakdown(QFileDialog::getSaveFileName(this, tr("Write Stats"), QDir::currentPath(),
                                                     tr("CSV (*.csv);;All files (*.*)")));
}

void Plotloom::writeSceneBreakdown(const QString &fname)
{
    showError(analysis.writeSceneBreakdown(fname));
}

void Plotloom::writeCharacterNetwork()
{
    writeCharacterNetwork(QFileDialog::getSaveFileName(this, tr("Write Network"),
                                                       QDir::currentPath(),
                                                       tr("GraphML (*.graphml);;All files (*.*)")));
}

void Plotloom::writeCharacterNetwork(const QString &graphmlName)
{
    showError(analysis.writeCharacterNetwork(graphmlName));
}

void Plotloom::saveMarkup()
{
    const QString name =
        QFileDialog::getSaveFileName(this, tr("Save Markup"), QDir::currentPath(),
                                     tr("html (*.html);;xml (*.xml);; All files (*.*)"));
    showError(analysis.writeMarkup(name));
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
    if (!m_messages) {
        m_messages = std::make_unique<QMessageBox>(QMessageBox::Warning, tr("Plotloom"), QString(),
                                                   QMessageBox::Ok, this);
        m_messages->setModal(false);
    }
    // While the box is open further messages join it, so a batch run does not pile up boxes.
    m_messages->setText(m_messages->isVisible() ? m_messages->text() + QLatin1Char('\n') + line
                                                : line);
    m_messages->show();
}
