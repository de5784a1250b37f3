// SPDX-License-Identifier: MIT
#include "apptest.h"
#include "corpus.h"
#include "glutsupport.h"
#include "graphwidget.h"
#include "htmlnames.h"
#include "rope.h"
#include "webtextview.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QListWidget>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSpinBox>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>

namespace {

QWebElement firstElement(Plotloom &w, const QString &selector)
{
    return w.ui.webView->page()->mainFrame()->findFirstElement(selector);
}

QStringList menuEntries(QMenu *menu)
{
    QStringList entries;
    for (const QAction *a : menu->actions())
        entries.append(a->isSeparator() ? QStringLiteral("-")
                                        : a->text() + (a->shortcut().isEmpty()
                                                           ? QString()
                                                           : " " + a->shortcut().toString()));
    return entries;
}

void clickMessageBox(QWidget *w, QMessageBox::StandardButton which)
{
    if (auto *box = qobject_cast<QMessageBox *>(w))
        box->button(which)->click();
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void firstStartPrompt_data();
    void firstStartPrompt();
    void menus();
    void menuEntriesReachOperations_data();
    void menuEntriesReachOperations();
    void openRealScreenplay();
    void namesWithSelectorCharactersStyled();
    void pageScriptDoesNotRun();
    void configuredStep();
    void optionsRoundTrip();
    void cancelledOpenKeepsScreenplay();
};

void TestMainWindow::firstStartPrompt_data()
{
    QTest::addColumn<bool>("create");
    QTest::newRow("Ok writes the sample") << true;
    QTest::newRow("No writes nothing") << false;
}

void TestMainWindow::firstStartPrompt()
{
    QFETCH(bool, create);
    WorkingFolder folder(false);
    ModalAnswers answers;
    QString promptText;
    answers
        .then([&](QWidget *w) {
            if (auto *box = qobject_cast<QMessageBox *>(w))
                promptText = box->text() + '|' + box->informativeText();
            clickMessageBox(w, create ? QMessageBox::Ok : QMessageBox::No);
        })
        .accept();
    TestWindow window;
    QCOMPARE(promptText, QStringLiteral("No breakstring file was found.|Would you like create a "
                                        "sample breakstring file?"));
    QCOMPARE(answers.titles.at(1), QStringLiteral("About Yarnwise Version: 0.1"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Yarnwise (v 0.1)"));
    if (create) {
        QCOMPARE(folder.read("breakStrings.txt"),
                 QByteArray("int.\next.\nINTERIOR\nEXTERIOR\nINT\nEXT\n"));
        QCOMPARE(window.ui.listWidget_BreakString->count(), 6);
    } else {
        QVERIFY(!QFile::exists(folder.path("breakStrings.txt")));
        QVERIFY(window.breakStrings.isEmpty());
    }
}

void TestMainWindow::menus()
{
    WorkingFolder folder;
    auto window = makeWindow();
    const QList<QAction *> bar = window->menuBar()->actions();
    QStringList titles;
    for (const QAction *a : bar)
        titles.append(a->text());
    QCOMPARE(titles, (QStringList{"File", "Fonts", "Characters", "BreakStrings", "Stats",
                                  "Options"}));
    QCOMPARE(menuEntries(window->ui.menuFile),
             (QStringList{"Open File Ctrl+O", "Reparse Ctrl+R", "Automate Ctrl+A",
                          "Save Image Ctrl+I", "Save Markup Ctrl+S", "About", "-",
                          "Quit Ctrl+Q"}));
    QCOMPARE(menuEntries(window->ui.menuFonts), QStringList{"Change Font"});
    QCOMPARE(menuEntries(window->ui.menuCharacters),
             (QStringList{"Force Character", "-", "Load Colors...", "-", "Save Colors",
                          "Save Colors as..."}));
    QCOMPARE(menuEntries(window->ui.menuBreakStrings),
             (QStringList{"Add BreakString", "Remove BreakString", "-", "Load BreakStrings...",
                          "-", "Save BreakStrings", "Save BreakStrings as..."}));
    QCOMPARE(menuEntries(window->ui.menuStats),
             (QStringList{"Write Scene Stats", "Write Character Stats"}));
    QCOMPARE(menuEntries(window->ui.menuOptions), QStringList{"Parsing"});
    QCOMPARE(window->ui.actionOpen_File->shortcutContext(), Qt::WidgetShortcut);
    QCOMPARE(window->ui.actionOpen_File->whatsThis(), QStringLiteral("Open a file"));
    QCOMPARE(window->ui.actionQuit->shortcutContext(), Qt::WindowShortcut);
    QCOMPARE(window->ui.comboBox_DrawMode->count(), 4);
    QCOMPARE(window->ui.comboBox_DrawMode->itemText(3), QStringLiteral("Increasing Graph"));
}

void TestMainWindow::menuEntriesReachOperations_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("dialogTitle");
    QTest::newRow("Open File") << "actionOpen_File" << "Select a screenplay";
    QTest::newRow("Automate") << "actionAutomate" << "Select screenplays";
    QTest::newRow("Save Image") << "actionSave_Image" << "Save Image";
    QTest::newRow("Save Markup") << "actionSave_markup" << "Save Markup";
    QTest::newRow("About") << "FileMenuAction" << "About Yarnwise Version: 0.1";
    QTest::newRow("Change Font") << "actionChange_Font" << "Select Font";
    QTest::newRow("Force Character") << "actionForce_Character" << "Included Characters";
    QTest::newRow("Load Colors") << "actionLoad_Colors" << "Select a color file";
    QTest::newRow("Save Colors as") << "actionSave" << "Select a color file";
    QTest::newRow("Add BreakString") << "actionAdd_Break_String" << "QInputDialog::getText()";
    QTest::newRow("Load BreakStrings") << "actionLoad_Break_Strings"
                                       << "Select a breakstring file";
    QTest::newRow("Save BreakStrings as") << "actionSave_BreakStrings_as"
                                          << "Select a breakstring file";
    QTest::newRow("Write Scene Stats") << "actionWrite_Scene_Stats" << "Write Stats";
    QTest::newRow("Write Character Stats") << "actionWrite_Character_Stats" << "Write Stats";
    QTest::newRow("Parsing") << "actionParsing" << "Dialog";
    // Entries that open no dialog.
    QTest::newRow("Reparse") << "actionReparse" << "";
    QTest::newRow("Save Colors") << "actionSave_Colors" << "";
    QTest::newRow("Save BreakStrings") << "actionSave_Break_Strings" << "";
    QTest::newRow("Remove BreakString") << "actionRemove_Break_String" << "";
    QTest::newRow("Quit") << "actionQuit" << "";
}

void TestMainWindow::menuEntriesReachOperations()
{
    QFETCH(QString, action);
    QFETCH(QString, dialogTitle);
    REQUIRE_CORPUS();
    WorkingFolder folder;
    auto window = makeWindow();
    openInWindow(*window, corpusFile(QStringLiteral("trelby-sample-excerpt.txt")));
    window->ui.listWidget_BreakString->item(0)->setSelected(true);
    QFile::remove(folder.path("breakStrings.txt"));
    QFile::remove(folder.path("colors.txt"));

    ModalAnswers answers; // every dialog is rejected; Automate's second one too
    auto *a = window->findChild<QAction *>(action);
    QVERIFY(a);
    const CharacterList *before = window->characterList;
    a->trigger();
    if (!dialogTitle.isEmpty()) {
        QVERIFY(!answers.titles.isEmpty());
        QCOMPARE(answers.titles.first(), dialogTitle);
    } else if (action == QLatin1String("actionReparse")) {
        QVERIFY(window->characterList != before);
    } else if (action == QLatin1String("actionSave_Colors")) {
        QCOMPARE(folder.read("colors.txt").count('\n'), window->characters.size());
    } else if (action == QLatin1String("actionSave_Break_Strings")) {
        QCOMPARE(folder.read("breakStrings.txt"), (window->breakStrings.join('\n') + '\n').toLatin1());
    } else if (action == QLatin1String("actionRemove_Break_String")) {
        QCOMPARE(window->breakStrings.size(), 5);
        QVERIFY(!window->breakStrings.contains(QStringLiteral("int.")));
    } else if (action == QLatin1String("actionQuit")) {
        QCOMPARE(window->quitStatus, 2);
    }
    QVERIFY(answers.titles.size() <= 2);
}

void TestMainWindow::openRealScreenplay()
{
    REQUIRE_CORPUS();
    WorkingFolder folder;
    auto window = makeWindow();
    window->ui.pushButton_Reparse->show();
    openInWindow(*window, corpusFile(QStringLiteral("his-girl-friday-1940.txt")));

    // One coloured row per character, in order.
    const QVector<Character *> &cast = window->characterList->characters;
    QCOMPARE(window->ui.listWidget->count(), cast.size());
    QCOMPARE(window->ui.listWidget->item(0)->text(), QStringLiteral("HILDY "));
    QCOMPARE(window->ui.listWidget->item(0)->background().color(), cast.at(0)->color);
    QCOMPARE(cast.at(0)->listItem, window->ui.listWidget->item(0));

    // Every character's mentions in its colour and bold.
    for (const Character *c : cast) {
        const QWebElement span = firstElement(*window, "span." + c->className());
        if (span.isNull())
            continue;
        QCOMPARE(span.styleProperty("color", QWebElement::InlineStyle),
                 QStringLiteral("rgb(%1, %2, %3)")
                     .arg(c->color.red())
                     .arg(c->color.green())
                     .arg(c->color.blue()));
        QCOMPARE(span.styleProperty("font-weight", QWebElement::InlineStyle),
                 QStringLiteral("bold"));
    }
    // Scenes shaded white and grey in turn, headings purple, bold and italic.
    const QWebElementCollection scenes =
        window->ui.webView->page()->mainFrame()->findAllElements("div.scene");
    QCOMPARE(scenes.count(), window->characterList->timeIndices.size());
    for (int i = 0; i < 4; ++i)
        QCOMPARE(scenes.at(i).styleProperty("background-color", QWebElement::InlineStyle),
                 i % 2 ? QStringLiteral("rgb(240, 240, 240)")
                       : QStringLiteral("rgb(255, 255, 255)"));
    const QWebElement heading = firstElement(*window, "span.breakString");
    QCOMPARE(heading.styleProperty("color", QWebElement::InlineStyle), QStringLiteral("purple"));
    QCOMPARE(heading.styleProperty("font-style", QWebElement::InlineStyle),
             QStringLiteral("italic"));

    // The thread view holds the graph at the configured step, with the window's controls.
    GraphWidget *view = window->ui.ThreadView;
    QVERIFY(view->graphReady && view->graphBuilt);
    QCOMPARE(view->ropes.size(), size_t(cast.size()));
    QCOMPARE(view->ropes.front()->nodes.size(), size_t(101));
    QCOMPARE(view->flipAxisBox, static_cast<QAbstractButton *>(window->ui.checkBox_FlipAxis));
    QVERIFY(view->textView);
    QVERIFY(window->ui.pushButton_Reparse->isHidden());
    QVERIFY(window->progress->isHidden());
}

void TestMainWindow::namesWithSelectorCharactersStyled()
{
    WorkingFolder folder;
    folder.write("play.txt", QByteArray(37, ' ') + "DR. GRANT\n" + QByteArray(37, ' ') +
                                 "O'BRIEN\n" + QByteArray(37, ' ') + "DR. GRANT\n" +
                                 QByteArray(37, ' ') + "O'BRIEN\n");
    folder.write("colors.txt", "255 0 0\n0 0 255\n");
    auto window = makeWindow();
    openInWindow(*window, folder.path("play.txt"));
    QCOMPARE(window->characters.size(), 2);
    for (const Character *c : qAsConst(window->characters)) {
        const QString selector = "span." + cssIdentifier(c->className());
        const QWebElementCollection spans =
            window->ui.webView->page()->mainFrame()->findAllElements(selector);
        QCOMPARE(spans.count(), 2);
        QCOMPARE(spans.at(1).styleProperty("font-weight", QWebElement::InlineStyle),
                 QStringLiteral("bold"));
        QVERIFY(!spans.at(1).styleProperty("color", QWebElement::InlineStyle).isEmpty());
        QCOMPARE(spans.at(1).toPlainText().trimmed(), c->names.join(' '));
    }
}

void TestMainWindow::pageScriptDoesNotRun()
{
    WorkingFolder folder;
    folder.write("page.html",
                 "<html><head><title>Original</title>\n"
                 "<script>document.title = 'changed by script';</script>\n"
                 "</head><body onload=\"document.title = 'changed on load'\">\n<pre>\n" +
                     QByteArray(37, ' ') + "JOHN\n</pre></body></html>\n");
    auto window = makeWindow();
    openInWindow(*window, folder.path("page.html"));
    QTest::qWait(100);
    QCOMPARE(window->textView()->title(), QStringLiteral("Original"));
}

void TestMainWindow::configuredStep()
{
    WorkingFolder folder;
    folder.write("config.txt", "NumberSteps 50\n");
    folder.write("play.txt", "a\nb\nc\nd\n");
    auto window = makeWindow();
    openInWindow(*window, folder.path("play.txt"));
    QCOMPARE(window->numberSteps, 50);
    // 0, 0.02, ... 1 sampled: 51 steps, whatever characters there are.
    window->addCharacter({QStringLiteral("a")});
    window->Parse();
    QCOMPARE(window->ui.ThreadView->ropes.front()->nodes.size(), size_t(51));
}

void TestMainWindow::optionsRoundTrip()
{
    WorkingFolder folder;
    auto window = makeWindow();
    ModalAnswers answers;
    answers.then([](QWidget *dialog) {
        for (const char *name : {"Find the Characters in the Text", "looseMatch",
                                 "CaseSensitivity"}) {
            auto *box = dialog->findChild<QCheckBox *>(QLatin1String(name));
            box->setChecked(!box->isChecked());
        }
        dialog->findChild<QSpinBox *>("MinCharacterSpacesspinBox")->setValue(20);
        dialog->findChild<QSpinBox *>("MinNumberOfCharacterInstancesspinBox")->setValue(3);
        dialog->findChild<QSpinBox *>("NumberStepsspinBox")->setValue(40);
        QCOMPARE(dialog->findChild<QLabel *>("NumberStepslabel")->text(),
                 QStringLiteral("NumberSteps"));
        ModalAnswers::closeDialog(dialog, true);
    });
    window->ui.actionParsing->trigger();
    QCOMPARE(folder.read("config.txt"),
             QByteArray("Find the Characters in the Text False\nlooseMatch True\n"
                        "CaseSensitivity True\nMinCharacterSpaces 20\n"
                        "MinNumberOfCharacterInstances 3\nNumberSteps 40\n"));
    window->findCharactersInText = true;
    window->numberSteps = 100;
    QVERIFY(window->loadConfig());
    QVERIFY(!window->findCharactersInText);
    QCOMPARE(window->numberSteps, 40);

    // Cancel changes nothing.
    answers.reject();
    window->ui.actionParsing->trigger();
    QCOMPARE(folder.read("config.txt").count('\n'), 6);
    QCOMPARE(window->minCharacterSpaces, 20);
}

void TestMainWindow::cancelledOpenKeepsScreenplay()
{
    REQUIRE_CORPUS();
    WorkingFolder folder;
    auto window = makeWindow();
    openInWindow(*window, corpusFile(QStringLiteral("trelby-sample-excerpt.txt")));
    const QStringList lines = window->lines;
    ModalAnswers answers;
    window->ui.actionOpen_File->trigger();
    QCOMPARE(answers.titles, QStringList{"Select a screenplay"});
    QCOMPARE(window->lines, lines);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ensureGlutInitialized();
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
