// SPDX-License-Identifier: MIT
#include "apptest.h"
#include "glutsupport.h"
#include "graphwidget.h"
#include "htmlnames.h"
#include "viewharness.h"
#include "webtextview.h"

#include <QColorDialog>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QWebElement>
#include <QWebFrame>
#include <QWebView>

namespace {

// A short screenplay: three scenes, two speakers, and a boat that nobody discovers.
const QByteArray play = QByteArray(15, ' ') + "INT. CABIN - NIGHT\n" + QByteArray(37, ' ') +
                        "ANN\n" + QByteArray(25, ' ') + "The ASTRID is late.\n" +
                        QByteArray(37, ' ') + "BOB\n" + QByteArray(25, ' ') + "Storm.\n" +
                        QByteArray(15, ' ') + "Lanterns on the quay.\n" + QByteArray(15, ' ') +
                        "EXT. QUAY - NIGHT\n" + QByteArray(37, ' ') + "ANN\n" +
                        QByteArray(25, ' ') + "There she is, the ASTRID again.\n" +
                        QByteArray(37, ' ') + "BOB\n" + QByteArray(25, ' ') + "Finally.\n";

QWebElementCollection spans(Plotloom &w, const QString &className)
{
    return w.ui.webView->page()->mainFrame()->findAllElements(
        classSelector(QStringLiteral("span"), className));
}

QStringList sceneTypes(const Plotloom &w)
{
    QStringList types;
    for (const TimeIndex *s : w.characterList->timeIndices)
        types.append(s->type);
    return types;
}

void typeText(QWidget *dialog, const QString &text)
{
    dialog->findChild<QLineEdit *>()->setText(text);
    ModalAnswers::closeDialog(dialog, true);
}

void chooseColor(QWidget *dialog, const QColor &color)
{
    qobject_cast<QColorDialog *>(dialog)->setCurrentColor(color);
    ModalAnswers::closeDialog(dialog, true);
}

} // namespace

class TestEditing : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void addCharacterFromSelection();
    void addBreakStringFromSelection();
    void breakSectionHere();
    void reparseButtonCoversBlankView();
    void colourChangeRestylesSpans();
    void includeDialog();
    void includeDialogCancelKeepsFile();
    void loadColorsRecolours();
    void aboutAtStartup();
};

void TestEditing::initTestCase()
{
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

void TestEditing::addCharacterFromSelection()
{
    WorkingFolder folder;
    folder.write("play.txt", play);
    auto window = makeWindow();
    openInWindow(*window, folder.path("play.txt"));
    QCOMPARE(window->characters.size(), 2);
    QVERIFY(window->ui.webView->findText("ASTRID"));
    QCOMPARE(window->textView()->selectedText(), QStringLiteral("ASTRID"));
    window->textAddCharacterTrigger();
    QVERIFY(window->ui.pushButton_Reparse->isVisible());
    window->ui.pushButton_Reparse->click();

    QCOMPARE(window->ui.listWidget->count(), 3);
    QCOMPARE(window->ui.listWidget->item(2)->text(), QStringLiteral("ASTRID "));
    const QWebElementCollection boat = spans(*window, "ASTRID");
    QCOMPARE(boat.count(), 2);
    QCOMPARE(boat.at(0).styleProperty("font-weight", QWebElement::InlineStyle),
             QStringLiteral("bold"));
    int mentions = 0;
    for (const TimeIndex *s : window->characterList->timeIndices)
        mentions += s->counts.value(2);
    QCOMPARE(mentions, 2);
    QVERIFY(window->ui.pushButton_Reparse->isHidden());
}

void TestEditing::addBreakStringFromSelection()
{
    WorkingFolder folder;
    folder.write("play.txt", play);
    auto window = makeWindow();
    openInWindow(*window, folder.path("play.txt"));
    QCOMPARE(sceneTypes(*window), (QStringList{"START", "int.", "ext."}));
    QVERIFY(window->ui.webView->findText("Lanterns"));
    window->textBreakStringTrigger();
    QCOMPARE(window->breakStrings.last(), QStringLiteral("Lanterns"));
    window->reparseTrigger();
    QCOMPARE(sceneTypes(*window), (QStringList{"START", "int.", "Lanterns", "ext."}));
}

void TestEditing::breakSectionHere()
{
    WorkingFolder folder;
    folder.write("play.txt", play);
    auto window = makeWindow();
    openInWindow(*window, folder.path("play.txt"));
    window->customContextMenuTrigger(QPoint(10, 0));
    QTRY_VERIFY(QApplication::activePopupWidget());
    QApplication::activePopupWidget()->close();
    window->textBreakHereTrigger();
    QCOMPARE(window->userBreaks, QVector<float>{0.0f});
    window->Parse();
    QCOMPARE(sceneTypes(*window), (QStringList{"START", "int.", "ext."}));

    // A break inside the text opens a scene at the first line at or past it.
    window->userBreaks = {0.6f};
    window->Parse();
    QCOMPARE(sceneTypes(*window), (QStringList{"START", "int.", "ext.", "USER_SET"}));
    const float position = window->characterList->timeIndices.last()->start;
    QCOMPARE(position, 7.0f / 11.0f);
}

void TestEditing::reparseButtonCoversBlankView()
{
    WorkingFolder folder;
    folder.write("play.txt", play);
    auto window = makeWindow();
    openInWindow(*window, folder.path("play.txt"));
    GraphWidget *view = window->ui.ThreadView;
    window->ui.comboBox_DrawMode->setCurrentIndex(1); // colour weaving: scenes in colour
    view->paintGL();
    const QImage drawn = readBackBuffer(view);

    QVERIFY(window->ui.webView->findText("Storm."));
    window->textBreakStringTrigger();
    QPushButton *button = window->ui.pushButton_Reparse;
    QVERIFY(button->isVisible());
    QCOMPARE(button->parentWidget(), static_cast<QWidget *>(view));
    QVERIFY(button->geometry().intersects(view->rect()));
    view->paintGL();
    const QImage blank = readBackBuffer(view);
    const QRgb background = blank.pixel(0, 0);
    for (int y = 0; y < blank.height(); y += 17)
        for (int x = 0; x < blank.width(); x += 17)
            QCOMPARE(blank.pixel(x, y), background);
    QVERIFY(drawn != blank);

    button->click();
    QVERIFY(view->graphBuilt);
}

void TestEditing::colourChangeRestylesSpans()
{
    WorkingFolder folder;
    folder.write("play.txt", play);
    auto window = makeWindow();
    openInWindow(*window, folder.path("play.txt"));
    const QString bobBefore =
        spans(*window, "BOB").at(0).styleProperty("color", QWebElement::InlineStyle);
    window->ui.listWidget->item(0)->setSelected(true); // ANN
    window->ui.ThreadView->colorDialog.setCurrentColor(QColor(255, 0, 0));
    for (const QWebElement &span : spans(*window, "ANN"))
        QCOMPARE(span.styleProperty("color", QWebElement::InlineStyle),
                 QStringLiteral("rgb(255, 0, 0)"));
    QCOMPARE(spans(*window, "BOB").at(0).styleProperty("color", QWebElement::InlineStyle),
             bobBefore);
    QCOMPARE(window->characters.at(0)->color, QColor(255, 0, 0));
}

void TestEditing::includeDialog()
{
    WorkingFolder folder;
    folder.write("play.txt", QByteArray(37, ' ') + "MRS SMITH\n" + QByteArray(37, ' ') +
                                 "BOB\n" + QByteArray(37, ' ') + "BOB\n");
    auto window = makeWindow();
    ModalAnswers answers;
    QStringList rows;
    answers.then([&](QWidget *dialog) {
        auto *list = dialog->findChild<QListWidget *>("listWidget");
        QTimer::singleShot(0, dialog, [&answers, list, dialog, &rows] {
            answers.then([](QWidget *input) { typeText(input, "MRS SMITH"); });
            dialog->findChild<QPushButton *>("pushButton_AddIncludeCharacter")->click();
            rows.append(list->item(0)->text());
            list->item(0)->setSelected(true);
            answers.then([](QWidget *colors) { chooseColor(colors, Qt::red); });
            dialog->findChild<QPushButton *>("pushButton_ForceColor")->click();
            rows.append(list->item(0)->text());
            ModalAnswers::closeDialog(dialog, true);
        });
    });
    window->ui.actionForce_Character->trigger();
    QCOMPARE(answers.titles.first(), QStringLiteral("Included Characters"));
    QCOMPARE(rows, (QStringList{"MRS SMITH ", "MRS SMITH  [forced color]"}));
    QCOMPARE(folder.read("characters.txt"), QByteArray("MRS SMITH  : 255 0 0\n"));
    QVERIFY(!window->includeCharacters.first()->listItem);

    openInWindow(*window, folder.path("play.txt"));
    QCOMPARE(window->characters.size(), 2);
    const Character *smith = window->includeCharacters.first();
    QVERIFY(window->characters.contains(const_cast<Character *>(smith)));
    QCOMPARE(smith->names, (QStringList{"MRS", "SMITH"}));
    QCOMPARE(smith->color, QColor(Qt::red));
    QCOMPARE(spans(*window, "MRSSMITH").at(0).styleProperty("color", QWebElement::InlineStyle),
             QStringLiteral("rgb(255, 0, 0)"));
}

void TestEditing::includeDialogCancelKeepsFile()
{
    WorkingFolder folder;
    folder.write("characters.txt", "JOHN\n");
    auto window = makeWindow();
    ModalAnswers answers;
    answers.then([&](QWidget *dialog) {
        QTimer::singleShot(0, dialog, [&answers, dialog] {
            answers.then([](QWidget *input) { typeText(input, "MARY"); });
            dialog->findChild<QPushButton *>("pushButton_AddIncludeCharacter")->click();
            ModalAnswers::closeDialog(dialog, false);
        });
    });
    window->ui.actionForce_Character->trigger();
    QCOMPARE(window->includeCharacters.size(), 2); // kept in memory until the next load
    QCOMPARE(folder.read("characters.txt"), QByteArray("JOHN\n"));
}

void TestEditing::loadColorsRecolours()
{
    WorkingFolder folder;
    QByteArray text;
    for (const char *name : {"A", "B", "C", "D", "E"})
        text += QByteArray(37, ' ') + name + "\n" + QByteArray(37, ' ') + name + "\n";
    folder.write("play.txt", text);
    folder.write("three.txt", "255 0 0\n0 255 0\n0 0 255\n");
    auto window = makeWindow();
    openInWindow(*window, folder.path("play.txt"));
    QCOMPARE(window->characters.size(), 5);
    ModalAnswers answers;
    answers.then([&folder](QWidget *w) { chooseFiles(w, {folder.path("three.txt")}); });
    window->ui.actionLoad_Colors->trigger();
    const QVector<QColor> expected{Qt::red, Qt::green, Qt::blue, Qt::blue, Qt::blue};
    for (int i = 0; i < 5; ++i) {
        QCOMPARE(window->characters.at(i)->color, expected.at(i));
        QCOMPARE(window->characters.at(i)->listItem->background().color(), expected.at(i));
    }
}

void TestEditing::aboutAtStartup()
{
    WorkingFolder folder;
    ModalAnswers answers;
    QElapsedTimer clock;
    qint64 shownAfter = -1;
    QString pageText;
    answers.then([&](QWidget *dialog) {
        shownAfter = clock.elapsed();
        pageText = dialog->findChild<QWebView *>("webView")->page()->mainFrame()->toPlainText();
        dialog->findChild<QPushButton *>("pushButton")->click();
    });
    clock.start();
    TestWindow window;
    QCOMPARE(answers.titles, QStringList{"About Yarnwise Version: 0.1"});
    QVERIFY(shownAfter >= 0 && shownAfter < 5000);
    QVERIFY(pageText.contains("educational and evaluation purposes"));
    QCOMPARE(window.windowTitle(), QStringLiteral("Yarnwise (v 0.1)"));
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ensureGlutInitialized();
    TestEditing test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_editing.moc"
