// SPDX-License-Identifier: MIT
#include "apptest.h"
#include "datatable.h"
#include "viewharness.h"
#include "webtextview.h"

#include <QColorDialog>
#include <QListWidget>

#include <cmath>

namespace {

QStringList sceneTypes(const Plotloom &w)
{
    QStringList types;
    for (const TimeIndex *s : w.analysis.characterList->timeIndices)
        types.append(s->type);
    return types;
}

// Answers the include dialog: adds name, forces a colour on it unless forced is invalid, then
// closes the dialog with ok or cancel.
ModalAnswers::Answer addIncluded(ModalAnswers &answers, const QString &name, const QColor &forced,
                                 bool ok)
{
    return [&answers, name, forced, ok](QWidget *dialog) {
        auto *list = dialog->findChild<QListWidget *>("listWidget");
        answers.then([name](QWidget *input) {
            input->findChild<QLineEdit *>()->setText(name);
            ModalAnswers::accept(input);
        });
        dialog->findChild<QPushButton *>("pushButton_AddIncludeCharacter")->click();
        if (forced.isValid()) {
            list->item(list->count() - 1)->setSelected(true);
            answers.then([forced](QWidget *colors) {
                qobject_cast<QColorDialog *>(colors)->setCurrentColor(forced);
                ModalAnswers::accept(colors);
            });
            dialog->findChild<QPushButton *>("pushButton_ForceColor")->click();
        }
        ModalAnswers::closeDialog(dialog, ok);
    };
}

} // namespace

// Each test starts with a fresh window showing a play of 11 lines: three scenes, two speakers,
// and a boat that nobody discovers.
class TestEditing : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void addCharacterAndRecolour();
    void addBreakStringWithReparseButton();
    void breakSectionHere();
    void includeDialog();
    void includeDialogKeepsCharacterRows();
    void loadColors();
    void emptySelectionAddsNothing_data();
    void emptySelectionAddsNothing();
    void rowTextContrasts_data();
    void rowTextContrasts();

private:
    std::unique_ptr<WorkingFolder> m_folder;
    std::unique_ptr<TestWindow> m_window;
};

void TestEditing::init()
{
    m_folder = std::make_unique<WorkingFolder>();
    m_window = makeWindow();
    openInWindow(*m_window, m_folder->write("play.txt",
                                            screenplay("15 INT. CABIN - NIGHT|37 ANN|25 The ASTRID "
                                                       "is late.|37 BOB|25 Storm.|15 Lanterns on "
                                                       "the quay.|15 EXT. QUAY - NIGHT|37 ANN|25 "
                                                       "There she is, the ASTRID again.|37 BOB|25 "
                                                       "Finally.")));
}

void TestEditing::cleanup()
{
    m_window.reset();
    m_folder.reset();
}

// A character added from the selection gets, once reparsed, a row, a colour, styled spans and
// scene counts; a new colour for a selected row restyles that character's spans only.
void TestEditing::addCharacterAndRecolour()
{
    QVERIFY(m_window->ui.webView->findText("ASTRID"));
    m_window->textAddCharacterTrigger();
    m_window->ui.pushButton_Reparse->click();
    QCOMPARE(m_window->ui.listWidget->count(), 3);
    const Character *boat = m_window->analysis.characterList->characters.at(2);
    QCOMPARE(m_window->ui.listWidget->item(2)->text(), QStringLiteral("ASTRID "));
    QCOMPARE(m_window->ui.listWidget->item(2)->background().color(), boat->color);
    QCOMPARE(styles(*m_window, "span.ASTRID"), styled(boat->color, 2));
    int mentions = 0;
    for (const TimeIndex *s : m_window->analysis.characterList->timeIndices)
        mentions += s->counts.value(2);
    QCOMPARE(mentions, 2);

    const QStringList bob = styles(*m_window, "span.BOB");
    m_window->ui.listWidget->item(0)->setSelected(true); // ANN
    m_window->ui.ThreadView->colorDialog.setCurrentColor(Qt::red);
    QCOMPARE(styles(*m_window, "span.ANN"), styled(Qt::red, 2));
    QCOMPARE(styles(*m_window, "span.BOB"), bob);
}

// The edit shows the reparse button over the view, which paints only its background until the
// button is clicked; the reparse then cuts scenes at the new string.
void TestEditing::addBreakStringWithReparseButton()
{
    GraphWidget *view = m_window->ui.ThreadView;
    QPushButton *button = m_window->ui.pushButton_Reparse;
    m_window->ui.comboBox_DrawMode->setCurrentIndex(1); // colour weaving: scenes in colour
    QCOMPARE(sceneTypes(*m_window), (QStringList{"START", "int.", "ext."}));
    QVERIFY(m_window->ui.webView->findText("Lanterns"));
    m_window->textBreakStringTrigger();
    QVERIFY(button->isVisible());
    QVERIFY(button->parentWidget() == view && button->geometry().intersects(view->rect()));

    view->paintGL();
    const QImage blank = readBackBuffer(view);
    QImage background(blank.size(), blank.format());
    background.fill(QColor(blank.pixel(0, 0)));
    QCOMPARE(blank, background);

    button->click();
    QCOMPARE(sceneTypes(*m_window), (QStringList{"START", "int.", "Lanterns", "ext."}));
    view->paintGL();
    QVERIFY(readBackBuffer(view) != blank);
}

void TestEditing::breakSectionHere()
{
    // At the top of an unscrolled view: 0, where no scene opens.
    m_window->customContextMenuTrigger(QPoint(10, 0));
    QTRY_VERIFY(QApplication::activePopupWidget());
    QApplication::activePopupWidget()->actions().last()->trigger(); // "Break Section Here"
    QCOMPARE(m_window->analysis.userBreaks, QVector<float>{0.0f});
    m_window->Parse();
    QCOMPARE(sceneTypes(*m_window), (QStringList{"START", "int.", "ext."}));

    // Inside the text: a scene opens at the first line at or past it.
    m_window->analysis.userBreaks = {0.6f};
    m_window->Parse();
    QCOMPARE(sceneTypes(*m_window), (QStringList{"START", "int.", "ext.", "USER_SET"}));
    QCOMPARE(m_window->analysis.characterList->timeIndices.last()->start, 7.0f / 11.0f);
}

// Cancel keeps characters.txt; Ok saves the aliases read and the forced colour, which the next
// open uses.
void TestEditing::includeDialog()
{
    m_folder->write("characters.txt", "JOHN, JACK\n");
    ModalAnswers answers;
    answers.then(addIncluded(answers, "MRS SMITH", Qt::red, false));
    m_window->ui.actionForce_Character->trigger();
    QCOMPARE(answers.titles.value(0), QStringLiteral("Included Characters"));
    QCOMPARE(m_folder->read("characters.txt"), QByteArray("JOHN, JACK\n"));

    answers.then(addIncluded(answers, "MRS SMITH", Qt::red, true));
    m_window->ui.actionForce_Character->trigger();
    QCOMPARE(m_folder->read("characters.txt"), QByteArray("JOHN, JACK \nMRS SMITH  : 255 0 0\n"));

    openInWindow(*m_window, m_folder->write("smith.txt", screenplay("37 MRS SMITH|37 BOB|37 BOB")));
    QVERIFY(m_window->analysis.characters.contains(m_window->analysis.includeCharacters.last()));
    QCOMPARE(styles(*m_window, "span.MRSSMITH"), styled(Qt::red, 1));
}

// An included character that is also in force keeps its character list row after the dialog,
// so the Color Picker and Load Colors still reach it.
void TestEditing::includeDialogKeepsCharacterRows()
{
    ModalAnswers answers;
    answers.then(addIncluded(answers, "ASTRID", QColor(), false));
    m_window->ui.actionForce_Character->trigger();
    m_window->Parse();
    m_window->Parse();
    m_window->ui.actionForce_Character->trigger(); // cancelled by default
    const int row = m_window->analysis.characterList->characters.indexOf(
        m_window->analysis.includeCharacters.last());
    QVERIFY(row >= 0);
    QListWidgetItem *item = m_window->ui.listWidget->item(row);
    item->setSelected(true);
    m_window->ui.ThreadView->colorDialog.setCurrentColor(Qt::red);
    QCOMPARE(item->background().color(), QColor(Qt::red));
}

// A cancelled dialog changes no colour, also not to the colours loaded before; three colours for
// five characters give the last two the third.
void TestEditing::loadColors()
{
    const QString three = m_folder->write("three.txt", "255 0 0\n0 255 0\n0 0 255\n");
    m_folder->write("colors.txt", "9 9 9\n");
    openInWindow(*m_window, m_folder->write("five.txt", screenplay("37 A|37 A|37 B|37 B|37 C|"
                                                                   "37 C|37 D|37 D|37 E|37 E")));
    const auto shown = [this] { // each character's colour and its row's
        QVector<QColor> result;
        for (const Character *c : qAsConst(m_window->analysis.characters))
            result << c->color << c->listItem->background().color();
        return result;
    };
    QCOMPARE(shown().size(), 10);
    m_window->analysis.characters.at(0)->color = Qt::yellow; // picked
    const QVector<QColor> picked = shown();
    ModalAnswers answers;
    m_window->ui.actionLoad_Colors->trigger();
    QCOMPARE(shown(), picked);
    answers.then([three](QWidget *w) { chooseFiles(w, {three}); });
    m_window->ui.actionLoad_Colors->trigger();
    const QColor red(Qt::red), green(Qt::green), blue(Qt::blue);
    QCOMPARE(shown(),
             (QVector<QColor>{red, red, green, green, blue, blue, blue, blue, blue, blue}));
}

void TestEditing::emptySelectionAddsNothing_data()
{
    DataTable<int, QString>::columns(); // the text view's action, the selection
    DataTable<int, QString>::row("Add Character, nothing selected", 0, "");
    DataTable<int, QString>::row("Add BreakString, nothing selected", 1, "");
    DataTable<int, QString>::row("Add BreakString, blanks selected", 1, "      ");
}

// An empty character would name every speaker line, an empty break string every indented one.
void TestEditing::emptySelectionAddsNothing()
{
    const auto [action, selection] = DataTable<int, QString>::fetch();
    if (!selection.isEmpty())
        QVERIFY(m_window->ui.webView->findText(selection));
    QCOMPARE(m_window->textView()->selectedText(), selection);
    const int characters = m_window->analysis.characters.size();
    const QStringList breakStrings = m_window->analysis.breakStrings;
    m_window->ui.webView->actions().at(action)->trigger();
    QCOMPARE(m_window->analysis.characters.size(), characters);
    QCOMPARE(m_window->analysis.breakStrings, breakStrings);
    QVERIFY(m_window->ui.pushButton_Reparse->isHidden());
}

void TestEditing::rowTextContrasts_data()
{
    QTest::addColumn<bool>("dialog");
    QTest::newRow("character list") << false;
    QTest::newRow("included characters") << true;
}

// Every row's text, dark or light, contrasts with the row's colour at least 4.5 : 1 (red takes
// dark text, by a narrow margin).
void TestEditing::rowTextContrasts()
{
    QFETCH(bool, dialog);
    const QVector<QColor> colours{Qt::black,         Qt::white, Qt::yellow,
                                  QColor(0, 0, 128), Qt::gray,  Qt::red};
    QByteArray lines, names;
    for (int i = 0; i < colours.size(); ++i) {
        const QColor &c = colours.at(i);
        names += QByteArray("37 N") + char('A' + i) + "|37 N" + char('A' + i) + '|';
        lines +=
            QString::asprintf("N%c : %d %d %d\n", 'A' + i, c.red(), c.green(), c.blue()).toLatin1();
    }
    m_folder->write("characters.txt", lines);
    openInWindow(*m_window, m_folder->write("play.txt", screenplay(names.chopped(1))));
    const auto luminance = [](const QColor &c) {
        const auto linear = [](double v) {
            return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) +
               0.0722 * linear(c.blueF()) + 0.05;
    };
    QStringList poor;
    const auto check = [&](QListWidget *list) {
        QCOMPARE(list->count(), colours.size());
        list->doItemsLayout();
        const QImage image = list->viewport()->grab().toImage();
        for (int i = 0; i < list->count(); ++i) {
            const QRect row = list->visualItemRect(list->item(i));
            const double back = luminance(list->item(i)->background().color());
            double best = 1.0; // the text's strongest contrast against its row
            for (int y = row.top(); y <= row.bottom(); ++y)
                for (int x = row.left(); x <= row.right(); ++x) {
                    const double text = luminance(image.pixelColor(x, y));
                    best = std::max(best, std::max(text, back) / std::min(text, back));
                }
            if (best < 4.5)
                poor.append(list->item(i)->text());
        }
    };
    ModalAnswers answers;
    answers.then([&](QWidget *w) {
        check(w->findChild<QListWidget *>("listWidget"));
        ModalAnswers::closeDialog(w, false);
    });
    if (dialog)
        m_window->ui.actionForce_Character->trigger();
    else
        check(m_window->ui.listWidget);
    QCOMPARE(answers.titles.size(), dialog ? 1 : 0);
    QVERIFY2(poor.isEmpty(), qPrintable(poor.join(',')));
}

QTEST_MAIN(TestEditing)
#include "tst_editing.moc"
