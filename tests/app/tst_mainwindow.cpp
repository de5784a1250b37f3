// SPDX-License-Identifier: MIT
#include "apptest.h"
#include "rope.h"
#include "stdoutcapture.h"
#include "webtextview.h"

#include <QComboBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QTabBar>
#include <QWebView>

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void firstStart();
    void menus();
    void menuEntriesReachOperations_data();
    void menuEntriesReachOperations();
    void openRealScreenplay();
    void optionsRoundTrip();
    void failedSaveIsShown_data();
    void failedSaveIsShown();
    void shortcutsFromAnywhere_data();
    void shortcutsFromAnywhere();
    void controlsWhole_data();
    void controlsWhole();
};

// Without "breakStrings.txt" a prompt comes first, whose Ok writes the sample; then, without
// network, the About dialog shows its credits at once.
void TestMainWindow::firstStart()
{
    WorkingFolder folder;
    QFile::remove("breakStrings.txt");
    ModalAnswers answers;
    QElapsedTimer clock;
    qint64 aboutAfter = -1;
    QString texts;
    answers
        .then([&](QWidget *w) {
            auto *box = qobject_cast<QMessageBox *>(w);
            texts = box->text() + ' ' + box->informativeText() + '\n';
            box->button(QMessageBox::Ok)->click();
        })
        .then([&](QWidget *w) {
            aboutAfter = clock.elapsed();
            texts += w->findChild<QWebView *>()->page()->mainFrame()->toPlainText();
            ModalAnswers::accept(w);
        });
    clock.start();
    TestWindow window;
    QVERIFY2(texts.startsWith("No breakstring file was found. Would you like create a sample "
                              "breakstring file?\n"),
             qPrintable(texts));
    QVERIFY(texts.contains("for educational and evaluation purposes"));
    QVERIFY(aboutAfter >= 0 && aboutAfter < 5000);
    QCOMPARE(answers.titles.value(1), QStringLiteral("About Yarnwise Version: 0.1"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Yarnwise (v 0.1)"));
    QCOMPARE(folder.read("breakStrings.txt"),
             QByteArray("int.\next.\nINTERIOR\nEXTERIOR\nINT\nEXT\n"));
    QCOMPARE(window.ui.listWidget_BreakString->count(), 6);
}

void TestMainWindow::menus()
{
    WorkingFolder folder;
    auto window = makeWindow();
    QStringList entries;
    for (const QAction *menu : window->menuBar()->actions()) {
        entries.append('[' + menu->text() + ']');
        for (const QAction *a : menu->menu()->actions())
            entries.append((a->text() + ' ' + a->shortcut().toString()).trimmed());
    }
    QCOMPARE(entries.join('|'),
             QStringLiteral("[File]|Open File Ctrl+O|Reparse Ctrl+R|Automate Ctrl+A|Save Image "
                            "Ctrl+I|Save Markup Ctrl+S|About||Quit Ctrl+Q|[Fonts]|Change Font|"
                            "[Characters]|Force Character||Load Colors...||Save Colors|Save "
                            "Colors as...|[BreakStrings]|Add BreakString|Remove BreakString||"
                            "Load BreakStrings...||Save BreakStrings|Save BreakStrings as...|"
                            "[Stats]|Write Scene Stats|Write Character Stats|Write Scene Breakdown|"
                            "Write Character Network|[Options]|Parsing"));
}

// Rows are named after the entries' actions, with the title of the dialog each opens.
void TestMainWindow::menuEntriesReachOperations_data()
{
    QTest::addColumn<QString>("dialogTitle");
    QTest::newRow("actionOpen_File") << QStringLiteral("Select a screenplay");
    QTest::newRow("actionAutomate") << QStringLiteral("Select screenplays");
    QTest::newRow("actionSave_Image") << QStringLiteral("Save Image");
    QTest::newRow("actionSave_markup") << QStringLiteral("Save Markup");
    QTest::newRow("FileMenuAction") << QStringLiteral("About Yarnwise Version: 0.1");
    QTest::newRow("actionChange_Font") << QStringLiteral("Select Font");
    QTest::newRow("actionForce_Character") << QStringLiteral("Included Characters");
    QTest::newRow("actionLoad_Colors") << QStringLiteral("Select a color file");
    QTest::newRow("actionSave") << QStringLiteral("Select a color file");
    QTest::newRow("actionAdd_Break_String") << QStringLiteral("QInputDialog::getText()");
    QTest::newRow("actionLoad_Break_Strings") << QStringLiteral("Select a breakstring file");
    QTest::newRow("actionSave_BreakStrings_as") << QStringLiteral("Select a breakstring file");
    QTest::newRow("actionWrite_Scene_Stats") << QStringLiteral("Write Stats");
    QTest::newRow("actionWrite_Character_Stats") << QStringLiteral("Write Stats");
    QTest::newRow("actionWrite_Scene_Breakdown") << QStringLiteral("Write Stats");
    QTest::newRow("actionWrite_Character_Network") << QStringLiteral("Write Network");
    QTest::newRow("actionParsing") << QStringLiteral("Dialog");
    for (const char *action : {"actionReparse", "actionSave_Colors", "actionSave_Break_Strings",
                               "actionRemove_Break_String", "actionQuit"})
        QTest::newRow(action) << QString();
}

// Every entry reaches its operation and nothing else; a cancelled dialog keeps the screenplay.
void TestMainWindow::menuEntriesReachOperations()
{
    QFETCH(QString, dialogTitle);
    const QString action = QTest::currentDataTag();
    REQUIRE_CORPUS();
    WorkingFolder folder;
    auto window = makeWindow();
    openInWindow(*window, corpusFile(QStringLiteral("trelby-sample-excerpt.txt")));
    window->ui.listWidget_BreakString->item(0)->setSelected(true);
    QFile::remove("breakStrings.txt");
    const QStringList lines = window->lines;
    window->ui.pushButton_Reparse->show(); // until a parse

    ModalAnswers answers;
    window->findChild<QAction *>(action)->trigger();
    QCOMPARE(answers.titles.value(0), dialogTitle);
    QVERIFY(answers.titles.size() <= 2); // Automate's options follow its file dialog
    QCOMPARE(window->lines, lines);
    QCOMPARE(window->ui.pushButton_Reparse->isHidden(), action == "actionReparse");
    QCOMPARE(window->quitStatus, action == "actionQuit" ? 2 : -1);
    const QStringList sample{"int.", "ext.", "INTERIOR", "EXTERIOR", "INT", "EXT"};
    QCOMPARE(window->breakStrings,
             action == "actionRemove_Break_String" ? QStringList(sample.mid(1)) : sample);
    QCOMPARE(folder.read("breakStrings.txt"), action == "actionSave_Break_Strings"
                                                  ? (sample.join('\n') + '\n').toLatin1()
                                                  : "<missing>");
    QCOMPARE(folder.read("colors.txt").count('\n'),
             action == "actionSave_Colors" ? window->characters.size() : 0);
}

// With "NumberSteps 50" in config.txt.
void TestMainWindow::openRealScreenplay()
{
    REQUIRE_CORPUS();
    WorkingFolder folder;
    folder.write("config.txt", "NumberSteps 50\n");
    auto window = makeWindow();
    window->ui.pushButton_Reparse->show();
    openInWindow(*window, corpusFile(QStringLiteral("his-girl-friday-1940.txt")));

    // A row per character in its colour; every mention in that colour and bold, also of names
    // holding a full stop (MRS. BALDWIN) or an apostrophe (HILDY'S VOICE), which a class
    // selector has to escape.
    const QVector<Character *> &cast = window->characterList->characters;
    QCOMPARE(window->ui.listWidget->count(), cast.size());
    for (int i = 0; i < cast.size(); ++i) {
        QCOMPARE(window->ui.listWidget->item(i)->background().color(), cast.at(i)->color);
        const QString selector = "span[class=\"" + cast.at(i)->className() + "\"]";
        const QStringList spans = styles(*window, selector);
        // VOICES is only ever part of longer names, which take the mentions.
        QVERIFY2(!spans.isEmpty() || cast.at(i)->className() == "VOICES", qPrintable(selector));
        QCOMPARE(spans, styled(cast.at(i)->color, spans.size()));
    }
    // Clicking a row selects its character, whether its name has one word or several.
    const auto severalWords = std::find_if(cast.begin(), cast.end(),
                                           [](const Character *c) { return c->names.size() > 1; });
    for (const int row : {1, int(severalWords - cast.begin())}) {
        QListWidget *list = window->ui.listWidget;
        list->scrollToItem(list->item(row));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->item(row)).center());
        QCOMPARE(window->ui.ThreadView->selectedCharacter, row);
    }
    // Scenes white and grey in turn, headings purple.
    const QStringList shades = styles(*window, "div.scene", {"background-color"});
    QCOMPARE(shades.size(), window->characterList->timeIndices.size());
    for (int i = 0; i < shades.size(); ++i)
        QCOMPARE(shades.at(i), QLatin1String(i % 2 ? "rgb(240, 240, 240)" : "rgb(255, 255, 255)"));
    QCOMPARE(styles(*window, "span.breakString", {"color"}).value(0), QLatin1String("purple"));

    // The graph, sampled at steps of 0.02.
    QCOMPARE(window->ui.ThreadView->ropes.size(), size_t(cast.size()));
    QCOMPARE(window->ui.ThreadView->ropes.front()->nodes.size(), size_t(51));
    QVERIFY(window->ui.pushButton_Reparse->isHidden());
}

// All settings go from config.txt through the dialog back to config.txt; Cancel keeps them. A file
// without the seventh setting reads as before and is written with it. NumberSteps is offered only
// up to the 1000 steps a parse uses.
void TestMainWindow::optionsRoundTrip()
{
    WorkingFolder folder;
    const QByteArray config("Find the Characters in the Text False\nlooseMatch True\n"
                            "CaseSensitivity True\nMinCharacterSpaces 20\n"
                            "MinNumberOfCharacterInstances 3\nNumberSteps 40\n");
    folder.write("config.txt", config);
    auto window = makeWindow();
    ModalAnswers answers;
    for (const bool ok : {false, true})
        answers.then([ok](QWidget *dialog) {
            dialog->findChild<QCheckBox *>("looseMatch")->setChecked(false);
            dialog->findChild<QSpinBox *>("NumberStepsspinBox")->setValue(5000);
            auto *merge = dialog->findChild<QCheckBox *>("MergeCueExtensions");
            QCOMPARE(merge->text(), QStringLiteral("Merge Cue Extensions"));
            merge->setChecked(true);
            ModalAnswers::closeDialog(dialog, ok);
        });
    window->ui.actionParsing->trigger();
    QCOMPARE(folder.read("config.txt"), config);
    QCOMPARE(window->numberSteps, 40);
    QVERIFY(!window->mergeCueExtensions);
    window->ui.actionParsing->trigger();
    QCOMPARE(
        folder.read("config.txt"),
        QByteArray(config).replace("looseMatch True", "looseMatch False").replace(" 40", " 1000") +
            "MergeCueExtensions True\n");
    QCOMPARE(window->numberSteps, 1000);
    QVERIFY(window->mergeCueExtensions);
}

// Rows name the file that cannot be written and its standard-output line, which stays.
void TestMainWindow::failedSaveIsShown_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("line");
    QTest::newRow("statistics") << "missing/play.csv"
                                << "file not found";
    QTest::newRow("image") << "missing/play.png"
                           << "could not save image missing/play.png";
    QTest::newRow("colours") << "colors.txt"
                             << "could not write colors.txt";
    QTest::newRow("no colours to save") << "colors.txt"
                                        << "colors.txt left as it is: there are no characters to "
                                           "take colours from";
}

// The window names the file and the reason in a box that blocks neither it nor a batch run.
void TestMainWindow::failedSaveIsShown()
{
    QFETCH(QString, file);
    QFETCH(QString, line);
    const QString row = QTest::currentDataTag();
    WorkingFolder folder;
    auto window = makeWindow();
    folder.write("colors.txt", "1 2 3\n");
    if (row != "no colours to save") {
        openInWindow(*window, folder.write("play.txt", screenplay("37 ANN|25 Hi.|37 BOB|25 Yo.")));
        if (!file.startsWith("missing/")) {
            QFile::remove(file);
            QVERIFY(QDir().mkdir(file)); // a folder in the file's place
        }
    }
    StdoutCapture out;
    if (row == "statistics") {
        window->writeSceneStats(file);
    } else if (row == "image") {
        window->ui.ThreadView->saveImageToFile(file);
        window->ui.ThreadView->paintGL();
    } else {
        window->ui.actionSave_Colors->trigger();
    }
    QVERIFY2(out.lines().contains(line), qPrintable(out.lines().join('|')));
    auto *box = window->findChild<QMessageBox *>();
    QVERIFY(box && box->isVisible() && !box->isModal());
    const QString named = folder.filePath(file) + " was not saved: ";
    QVERIFY2(box->text().startsWith(named) && box->text().size() > named.size() + 5,
             qPrintable(box->text()));
    QCOMPARE(folder.read("colors.txt"), row == "colours" ? "<missing>" : "1 2 3\n");
}

void TestMainWindow::shortcutsFromAnywhere_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QString>("dialogTitle");
    QTest::newRow("Ctrl+O, text view") << "webView"
                                       << "Ctrl+O"
                                       << "Select a screenplay";
    QTest::newRow("Ctrl+O, character list") << "listWidget"
                                            << "Ctrl+O"
                                            << "Select a screenplay";
    QTest::newRow("Ctrl+A, editable text view") << "webView"
                                                << "Ctrl+A"
                                                << "Select screenplays";
}

void TestMainWindow::shortcutsFromAnywhere()
{
    QFETCH(QString, focus);
    QFETCH(QString, keys);
    QFETCH(QString, dialogTitle);
    WorkingFolder folder;
    auto window = makeWindow();
    // Editable text, as an HTML screenplay may hold, takes the editing keys (Ctrl+A) first.
    openInWindow(*window, folder.write("play.html", "<body contenteditable='true'><pre>\n" +
                                                        screenplay("37 ANN|25 Hi.|37 BOB|25 Yo.") +
                                                        "</pre></body>"));
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window.get()));
    auto *target = window->findChild<QWidget *>(focus);
    QTest::mouseClick(target, Qt::LeftButton, {}, QPoint(20, 20)); // as the user starts reading
    QTRY_VERIFY(target->hasFocus());
    ModalAnswers answers;
    QTest::keySequence(target, QKeySequence(keys));
    QTRY_COMPARE(answers.titles.value(0), dialogTitle);
}

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

void TestMainWindow::controlsWhole_data()
{
    QTest::addColumn<QString>("shown"); // the window's size, or the action opening a dialog
    QTest::newRow("window 1280 x 800") << "1280x800";
    QTest::newRow("window 1920 x 1080") << "1920x1080";
    QTest::newRow("Options dialog") << "actionParsing";
    QTest::newRow("batch options dialog") << "actionAutomate";
}

// Every control is whole, on every tab; the spin boxes show their longest values.
void TestMainWindow::controlsWhole()
{
    QFETCH(QString, shown);
    REQUIRE_CORPUS();
    WorkingFolder folder;
    auto window = makeWindow();
    QStringList cut;
    if (shown.startsWith("action")) {
        ModalAnswers answers;
        if (shown == "actionAutomate")
            answers.then([](QWidget *files) { ModalAnswers::closeDialog(files, false); });
        answers.then([&cut](QWidget *dialog) {
            cut = cutControls(dialog);
            ModalAnswers::closeDialog(dialog, false);
        });
        window->findChild<QAction *>(shown)->trigger();
        QCOMPARE(answers.titles.last(), QStringLiteral("Dialog"));
    } else {
        openInWindow(*window, corpusFile(QStringLiteral("his-girl-friday-1940.txt")));
        const QSize size(shown.section('x', 0, 0).toInt(), shown.section('x', 1).toInt());
        window->resize(size);
        QTRY_COMPARE(window->size(), size);
        const QTabBar *tabs = window->ui.tabWidget->tabBar();
        for (int tab = 0; tab < tabs->count(); ++tab) {
            window->ui.tabWidget->setCurrentIndex(tab);
            QApplication::processEvents();
            cut += cutControls(window.get());
            if (!tabs->rect().contains(tabs->tabRect(tab)))
                cut.append(tabs->tabText(tab));
        }
    }
    QVERIFY2(cut.isEmpty(), qPrintable(cut.join(' ')));
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
