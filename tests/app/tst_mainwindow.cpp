// SPDX-License-Identifier: MIT
#include "apptest.h"
#include "datatable.h"
#include "messagebar.h"
#include "rope.h"
#include "stdoutcapture.h"
#include "viewharness.h"
#include "webtextview.h"

#include <QComboBox>
#include <QLabel>
#include <QMessageBox>
#include <QTabBar>
#include <QToolTip>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>

namespace {

// The visible buttons, labels and boxes of root that are cut off or smaller than their text (for
// a spin box, its longest value) needs.
QStringList cutControls(QWidget *root)
{
    QStringList cut;
    for (QWidget *w : root->findChildren<QWidget *>()) {
        if (w->isVisible() && (qobject_cast<QAbstractButton *>(w) || qobject_cast<QLabel *>(w) ||
                               qobject_cast<QComboBox *>(w) || qobject_cast<QAbstractSpinBox *>(w)))
            if (w->visibleRegion() != QRegion(w->rect()) ||
                w->size().expandedTo(w->minimumSizeHint()) != w->size())
                cut.append(w->objectName());
    }
    return cut;
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void firstStart();
    void menuEntriesReachOperations_data();
    void menuEntriesReachOperations();
    void openScreenplay();
    void optionsRoundTrip();
    void failedSaveIsShown_data();
    void failedSaveIsShown();
    void shortcutsFromAnywhere_data();
    void shortcutsFromAnywhere();
    void controlsWhole();
    void threadTipAndClick();
};

// Without "breakStrings.txt" a prompt offers the sample, whose Ok writes it; then, without
// network, the About dialog shows its credits at once.
void TestMainWindow::firstStart()
{
    WorkingFolder folder;
    QFile::remove("breakStrings.txt");
    ModalAnswers answers;
    QString texts;
    answers
        .then([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            texts = box->text() + ' ' + box->informativeText() + '\n';
            box->button(QMessageBox::Ok)->click();
        })
        .then([&](QWidget *w) {
            texts += w->findChild<QWebView *>()->page()->mainFrame()->toPlainText();
            ModalAnswers::accept(w);
        });
    TestWindow window;
    QVERIFY2(texts.startsWith("No breakstring file was found. Would you like create a sample "
                              "breakstring file?\n"),
             qPrintable(texts));
    QVERIFY(texts.contains("for educational and evaluation purposes"));
    QCOMPARE(answers.titles.value(1), QStringLiteral("About Yarnwise Version: 0.1"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Yarnwise (v 0.1)"));
    QCOMPARE(folder.read("breakStrings.txt"), sampleFile());
    QCOMPARE(window.ui.listWidget_BreakString->count(), 6);
}

// Rows are named after the entries' actions, with their shortcut and the title of the dialog each
// opens (Automate, Parsing, Force Character and Load Colors are driven by the tests of their own).
void TestMainWindow::menuEntriesReachOperations_data()
{
    DataTable<QString, QString>::columns();
    const auto row = &DataTable<QString, QString>::row;
    row("actionOpen_File", "Ctrl+O", "Select a screenplay");
    row("actionReparse", "Ctrl+R", "");
    row("actionSave_Image", "Ctrl+I", "Save Image");
    row("actionSave_markup", "Ctrl+S", "Save Markup");
    row("FileMenuAction", "", "About Yarnwise Version: 0.1");
    row("actionQuit", "Ctrl+Q", "");
    row("actionChange_Font", "", "Select Font");
    row("actionSave_Colors", "", "");
    row("actionSave", "", "Select a color file");
    row("actionAdd_Break_String", "", "QInputDialog::getText()");
    row("actionRemove_Break_String", "", "");
    row("actionLoad_Break_Strings", "", "Select a breakstring file");
    row("actionSave_Break_Strings", "", "");
    row("actionSave_BreakStrings_as", "", "Select a breakstring file");
    row("actionWrite_Scene_Stats", "", "Write Stats");
    row("actionWrite_Character_Stats", "", "Write Stats");
    row("actionWrite_Scene_Breakdown", "", "Write Stats");
    row("actionWrite_Character_Network", "", "Write Network");
}

// Every entry reaches its operation and nothing else; a cancelled dialog keeps the screenplay.
void TestMainWindow::menuEntriesReachOperations()
{
    const auto [shortcut, dialogTitle] = DataTable<QString, QString>::fetch();
    const QString action = QTest::currentDataTag();
    WorkingFolder folder;
    auto window = makeWindow();
    openInWindow(*window, QStringLiteral(PLOTLOOM_TEST_DATA "/exports/two-rooms.txt"));
    window->ui.listWidget_BreakString->item(0)->setSelected(true);
    QFile::remove("breakStrings.txt");
    const QStringList lines = window->analysis.lines;
    window->ui.pushButton_Reparse->show(); // until a parse

    ModalAnswers answers;
    auto *entry = window->findChild<QAction *>(action);
    QCOMPARE(entry->shortcut().toString(), shortcut);
    entry->trigger();
    QCOMPARE(answers.titles.value(0), dialogTitle);
    QCOMPARE(answers.titles.size(), dialogTitle.isEmpty() ? 0 : 1);
    QCOMPARE(window->analysis.lines, lines);
    QCOMPARE(window->ui.pushButton_Reparse->isHidden(), action == "actionReparse");
    QCOMPARE(window->quitStatus, action == "actionQuit" ? 2 : -1);
    const QStringList sample = ScreenplayAnalysis::sampleBreakStrings();
    QCOMPARE(window->analysis.breakStrings,
             action == "actionRemove_Break_String" ? QStringList(sample.mid(1)) : sample);
    QCOMPARE(folder.read("breakStrings.txt"),
             action == "actionSave_Break_Strings" ? sampleFile() : "<missing>");
    QCOMPARE(folder.read("colors.txt").count('\n'),
             action == "actionSave_Colors" ? window->analysis.characters.size() : 0);
}

// With "NumberSteps 50" in config.txt.
void TestMainWindow::openScreenplay()
{
    WorkingFolder folder;
    folder.write("config.txt", "NumberSteps 50\n");
    auto window = makeWindow();
    window->ui.pushButton_Reparse->show();
    const QByteArray play =
        screenplay("15 INT. PRESS ROOM - DAY|37 MRS. BALDWIN|25 Where is Hildy?|"
                   "37 HILDY'S VOICE|25 Out here, Mrs. Baldwin.|"
                   "15 EXT. COURTS - NIGHT|37 BURNS|25 Hildy!|"
                   "37 HILDY'S VOICE|25 Coming.");
    openInWindow(*window, folder.write("play.txt", play));

    // A row per character in its colour; every mention in that colour and bold, also of names
    // holding a full stop (MRS. BALDWIN) or an apostrophe (HILDY'S VOICE), which a class
    // selector has to escape.
    const QVector<Character *> &cast = window->analysis.characterList->characters;
    QListWidget *list = window->ui.listWidget;
    QCOMPARE(list->count(), cast.size());
    for (int i = 0; i < cast.size(); ++i) {
        QCOMPARE(list->item(i)->background().color(), cast.at(i)->color);
        const QString selector = "span[class=\"" + cast.at(i)->className() + "\"]";
        const QStringList spans = styles(*window, selector);
        QVERIFY2(!spans.isEmpty(), qPrintable(selector));
        QCOMPARE(spans, styled(cast.at(i)->color, spans.size()));
    }
    // Clicking a row selects its character, whether its name has one word or several.
    const auto severalWords = std::find_if(cast.begin(), cast.end(),
                                           [](const Character *c) { return c->names.size() > 1; });
    for (const int row : {1, int(severalWords - cast.begin())}) {
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
        QCOMPARE(window->ui.ThreadView->selectedCharacter, row);
    }
    // Scenes white and grey in turn, headings purple.
    const QStringList shades = styles(*window, "div.scene", {"background-color"});
    QCOMPARE(shades.size(), window->analysis.characterList->timeIndices.size());
    for (int i = 0; i < shades.size(); ++i)
        QCOMPARE(shades.at(i), QLatin1String(i % 2 ? "rgb(240, 240, 240)" : "rgb(255, 255, 255)"));
    QCOMPARE(styles(*window, "span.breakString", {"color"}).value(0), QLatin1String("purple"));

    // The graph, sampled at steps of 0.02.
    QCOMPARE(window->ui.ThreadView->ropes.size(), size_t(cast.size()));
    QCOMPARE(window->ui.ThreadView->ropes.front()->nodes.size(), size_t(51));
    QVERIFY(window->ui.pushButton_Reparse->isHidden());
}

// All settings go from config.txt through the dialog back to config.txt, also a value past a spin
// box's own range of 0 to 99; Cancel keeps them. A file without the seventh setting reads as
// before and is written with it. NumberSteps is offered only up to the 1000 steps a parse uses.
// Every control of the dialog is whole.
void TestMainWindow::optionsRoundTrip()
{
    WorkingFolder folder;
    const QByteArray config("Find the Characters in the Text False\nlooseMatch True\n"
                            "CaseSensitivity True\nMinCharacterSpaces 120\n"
                            "MinNumberOfCharacterInstances 3\nNumberSteps 40\n");
    folder.write("config.txt", config);
    auto window = makeWindow();
    ModalAnswers answers;
    QStringList cut;
    for (const bool ok : {false, true})
        answers.then([ok, &cut](QWidget *dialog) {
            cut += cutControls(dialog);
            dialog->findChild<QCheckBox *>("looseMatch")->setChecked(false);
            dialog->findChild<QSpinBox *>("NumberStepsspinBox")->setValue(5000);
            auto *merge = dialog->findChild<QCheckBox *>("MergeCueExtensions");
            QCOMPARE(merge->text(), QStringLiteral("Merge Cue Extensions"));
            merge->setChecked(true);
            ModalAnswers::closeDialog(dialog, ok);
        });
    window->ui.actionParsing->trigger();
    QCOMPARE(folder.read("config.txt"), config);
    QCOMPARE(window->analysis.numberSteps, 40);
    QVERIFY(!window->analysis.mergeCueExtensions);
    window->ui.actionParsing->trigger();
    QCOMPARE(
        folder.read("config.txt"),
        QByteArray(config).replace("looseMatch True", "looseMatch False").replace(" 40", " 1000") +
            "MergeCueExtensions True\n");
    QCOMPARE(window->analysis.numberSteps, 1000);
    QVERIFY(window->analysis.mergeCueExtensions);
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(' ')));
}

// Rows name the file that cannot be written and its standard-output line, which stays.
void TestMainWindow::failedSaveIsShown_data()
{
    DataTable<QString, QString>::columns();
    const auto row = &DataTable<QString, QString>::row;
    row("statistics", "missing/play.csv", "file not found");
    row("image", "missing/play.png", "could not save image missing/play.png");
    row("colours", "colors.txt", "could not write colors.txt");
    row("no colours to save", "colors.txt",
        "colors.txt left as it is: there are no characters to take colours from");
    row("statistics over the screenplay", "play.txt", "file not found");
}

// The window names the file and the reason in its message area.
void TestMainWindow::failedSaveIsShown()
{
    const auto [file, line] = DataTable<QString, QString>::fetch();
    const QString row = QTest::currentDataTag();
    WorkingFolder folder;
    auto window = makeWindow();
    folder.write("colors.txt", "1 2 3\n");
    if (row != "no colours to save") {
        openInWindow(*window, folder.write("play.txt", screenplay("37 ANN|25 Hi.|37 BOB|25 Yo.")));
        if (!file.startsWith("missing/") && file != "play.txt") {
            QFile::remove(file);
            QVERIFY(QDir().mkdir(file)); // a folder in the file's place
        }
    }
    StdoutCapture out;
    if (row.startsWith("statistics")) {
        window->writeSceneStats(file);
    } else if (row == "image") {
        window->ui.ThreadView->saveImageToFile(file);
        window->ui.ThreadView->paintGL();
    } else {
        window->ui.actionSave_Colors->trigger();
    }
    QVERIFY2(out.lines().contains(line), qPrintable(out.lines().join('|')));
    const MessageBar *bar = window->messageBar();
    QVERIFY(bar->isVisible());
    const QString named =
        folder.filePath(file) + (row == "no colours to save" ? " was left as it is: "
                                 : file == "play.txt"        ? " cannot be written: it is the "
                                                               "screenplay that is open"
                                                             : " cannot be written: ");
    QVERIFY2(bar->text().startsWith(named) && bar->text().size() > named.size(),
             qPrintable(bar->text()));
    QCOMPARE(folder.read("colors.txt"), row == "colours" ? "<missing>" : "1 2 3\n");
    if (file == "play.txt")
        QVERIFY(folder.read("play.txt").startsWith(QByteArray(37, ' ') + "ANN"));
}

// Rows name the keys and where the user clicked before pressing them.
void TestMainWindow::shortcutsFromAnywhere_data()
{
    DataTable<QString, QString>::columns();
    const auto row = &DataTable<QString, QString>::row;
    row("Ctrl+O, text view", "webView", "Select a screenplay");
    row("Ctrl+O, character list", "listWidget", "Select a screenplay");
    row("Ctrl+A, editable text view", "webView", "Select screenplays");
}

void TestMainWindow::shortcutsFromAnywhere()
{
    const auto [focus, dialogTitle] = DataTable<QString, QString>::fetch();
    WorkingFolder folder;
    auto window = makeWindow();
    // Editable text, as an HTML screenplay may hold, takes the editing keys (Ctrl+A) first.
    openInWindow(*window, folder.write("play.html", "<body contenteditable='true'><pre>\n" +
                                                        screenplay("37 ANN|25 Hi.|37 BOB|25 Yo.") +
                                                        "</pre></body>"));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get(), 30000));
    auto *target = window->findChild<QWidget *>(focus);
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(20, 20)); // as the user starts reading
    QTRY_VERIFY(target->hasFocus());
    ModalAnswers answers;
    QTest::keySequence(target, QKeySequence(QString(QTest::currentDataTag()).section(',', 0, 0)));
    QTRY_COMPARE(answers.titles.value(0), dialogTitle);
}

// At 1280 x 800 every control is whole, on every tab.
void TestMainWindow::controlsWhole()
{
    WorkingFolder folder;
    auto window = makeWindow();
    openInWindow(*window, QStringLiteral(PLOTLOOM_TEST_DATA "/exports/two-rooms.txt"));
    window->resize(1280, 800);
    QTRY_COMPARE(window->size(), QSize(1280, 800));
    QStringList cut;
    const QTabBar *tabs = window->ui.tabWidget->tabBar();
    for (int tab = 0; tab < tabs->count(); ++tab) {
        window->ui.tabWidget->setCurrentIndex(tab);
        QApplication::processEvents();
        cut += cutControls(window.get());
        if (!tabs->rect().contains(tabs->tabRect(tab)))
            cut.append(tabs->tabText(tab));
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(' ')));
}

// Resting on a thread names its character and the scene there; clicking it selects the character
// and scrolls the text to that scene.
void TestMainWindow::threadTipAndClick()
{
    WorkingFolder folder;
    const QByteArray padding = QByteArray("|15 The wind blows.").repeated(60);
    const QString path = folder.write(
        "play.txt", screenplay("30 THE PLAY|15 INT. HALL - DAY|37 ANN|25 Hello.|37 BOB|25 Hi." +
                               padding + "|15 EXT. YARD - NIGHT|37 ANN|25 Bye." + padding));
    const auto w = makeWindow();
    openInWindow(*w, path);
    w->ui.comboBox_DrawMode->setCurrentIndex(GraphWidget::Storyline);
    GraphWidget *view = w->ui.ThreadView;
    QCOMPARE(view->drawMode, int(GraphWidget::Storyline));
    view->paintGL();
    const QImage frame = readBackBuffer(view);
    const Character *ann = w->analysis.characterList->characters.at(0);
    QCOMPARE(ann->names, QStringList{"ANN"});
    // ANN's line near the end of the text, in the last scene.
    const int x = frame.width() * 9 / 10;
    int y = 0;
    while (y < frame.height() && !near(frame.pixelColor(x, y), ann->color))
        ++y;
    QVERIFY(y < frame.height());
    const QPoint at(x, y);

    QHelpEvent help(QEvent::ToolTip, at, view->mapToGlobal(at));
    QApplication::sendEvent(view, &help);
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("<qt>ANN<br>Scene 3: EXT. YARD - NIGHT</qt>"));

    QTest::mouseClick(view, Qt::LeftButton, {}, at);
    QCOMPARE(w->ui.listWidget->currentItem(), ann->listItem);
    const QWebElement yard = w->ui.webView->page()->mainFrame()->findAllElements("div.scene").at(2);
    QVERIFY(yard.toPlainText().contains("EXT. YARD"));
    QTRY_COMPARE(w->textView()->scrollValue(),
                 std::min(yard.geometry().top(), w->textView()->scrollMaximum()));
    QVERIFY(w->textView()->scrollValue() > 0);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
