// SPDX-License-Identifier: MIT
#include "apptest.h"
#include "datatable.h"
#include "messagebar.h"

#include <QMimeData>
#include <QScreen>
#include <QStatusBar>

namespace {

QString pageText(Plotloom &w)
{
    return w.ui.webView->page()->mainFrame()->toPlainText();
}

QString native(const QString &path)
{
    return QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath());
}

} // namespace

class TestGuidance : public QObject {
    Q_OBJECT
private slots:
    void welcomeThenDrop_data();
    void welcomeThenDrop();
    void saveAddsSuffixAndSaysSo_data();
    void saveAddsSuffixAndSaysSo();
    void badFileKeepsScreenplay_data();
    void badFileKeepsScreenplay();
    void termsHaveToolTips_data();
    void termsHaveToolTips();
    void textViewHoldsTypewriterLines();
    void layoutRemembered_data();
    void layoutRemembered();
};

void TestGuidance::welcomeThenDrop_data()
{
    DataTable<QString, bool>::columns(); // where it is dropped, a file or text
    const auto row = &DataTable<QString, bool>::row;
    row("file on the text view", "webView", true);
    row("file on the character list", "listWidget", true);
    row("text on the thread view", "ThreadView", false);
}

// The welcome says how to open a screenplay and names the example; a dropped file opens and the
// welcome goes.
void TestGuidance::welcomeThenDrop()
{
    const auto [target, file] = DataTable<QString, bool>::fetch();
    WorkingFolder folder;
    const QString example = folder.write("the-night-ferry.txt", screenplay("37 MARGOT|25 Rain."));
    const QString play = folder.write("play.txt", screenplay("37 ANN|25 Hi.|37 BOB|25 Yo."));
    auto window = makeWindow();
    QVERIFY(pageText(*window).contains("Ctrl+O"));
    QVERIFY2(pageText(*window).contains(native(example)), qPrintable(pageText(*window)));

    QMimeData data;
    file ? data.setUrls({QUrl::fromLocalFile(play)}) : data.setText(play);
    auto *widget = window->findChild<QWidget *>(target);
    const QPoint at = widget->mapTo(window.get(), widget->rect().center());
    QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(window->windowHandle(), &enter);
    QCOMPARE(enter.isAccepted(), file);
    if (!file)
        return;
    QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, {});
    QApplication::sendEvent(window->windowHandle(), &drop);
    QTRY_COMPARE(window->analysis.fileName, play);
    QVERIFY(pageText(*window).contains("ANN") && !pageText(*window).contains("Ctrl+O"));
}

void TestGuidance::saveAddsSuffixAndSaysSo_data()
{
    // The entry, the filter chosen (none: the first), the name typed, the files expected and what
    // the status bar says after the first one's path.
    using Rows = DataTable<QString, QString, QString, QStringList, QString>;
    Rows::columns();
    const auto row = &Rows::row;
    row("scene stats", "actionWrite_Scene_Stats", "", "scenes", {"scenes.csv"}, ": 3 scenes.");
    row("name with a suffix", "actionWrite_Scene_Stats", "", "s.txt", {"s.txt"}, ": 3 scenes.");
    row("character stats", "actionWrite_Character_Stats", "", "cast", {"cast.csv"},
        ": 2 characters.");
    row("breakdown", "actionWrite_Scene_Breakdown", "", "parts", {"parts.csv"}, ": 3 scenes.");
    row("network", "actionWrite_Character_Network", "", "net", {"net.graphml", "net-edges.csv"},
        ": 2 characters, the pairs in ");
    row("markup as XML", "actionSave_markup", "xml", "play", {"play.xml"}, ": 3 scenes.");
    row("image", "actionSave_Image", "", "threads", {"threads.png"}, ".");
    row("image as JPEG", "actionSave_Image", "JPEG", "shot", {"shot.jpg"}, ".");
    row("image of no known kind", "actionSave_Image", "All", "threads.v2", {"threads.v2.png"}, ".");
}

void TestGuidance::saveAddsSuffixAndSaysSo()
{
    const auto [action, filter, typed, files, detail] =
        DataTable<QString, QString, QString, QStringList, QString>::fetch();
    WorkingFolder folder;
    auto window = makeWindow();
    openInWindow(*window, folder.write("play.txt", screenplay("15 INT. HALL|37 ANN|25 Hi.|15 EXT. "
                                                              "YARD|37 BOB|25 Yo.|37 ANN|25 No.")));
    ModalAnswers answers;
    answers.then([&](QWidget *w) {
        auto *dialog = qobject_cast<QFileDialog *>(w);
        for (const QString &f : dialog->nameFilters())
            if (!filter.isEmpty() && f.contains(filter))
                dialog->selectNameFilter(f);
        chooseFiles(w, {folder.filePath(typed)});
    });
    window->findChild<QAction *>(action)->trigger();
    for (const QString &name : files)
        QTRY_VERIFY2(QFileInfo(folder.filePath(name)).size() > 0, qPrintable(name));
    // Nothing else: breakStrings.txt, the screenplay and the files expected.
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files).size(), 2 + files.size());
    QTRY_VERIFY2(window->statusBar()->currentMessage().startsWith(
                     "Saved " + native(folder.filePath(files.first())) + detail),
                 qPrintable(window->statusBar()->currentMessage()));
}

void TestGuidance::badFileKeepsScreenplay_data()
{
    DataTable<QByteArray, QString, bool>::columns(); // bytes, what is wrong, a screenplay was open
    const auto row = &DataTable<QByteArray, QString, bool>::row;
    const QByteArray program = QByteArray("\x7f"
                                          "ELF\x02\x01\x01",
                                          7) +
                               QByteArray(64, '\0') + "WORD SIZE -1 -C QUOTING_STYLE\n";
    row("empty", "", "x.txt is empty", true);
    row("a program, nothing open", program, "x.txt is not a text screenplay", false);
    row("missing", "<none>", "x.txt cannot be read: No such file or directory", true);
}

// The message area names the file and what is wrong; the text view (the screenplay, or the
// welcome), the characters and the title stay as they were.
void TestGuidance::badFileKeepsScreenplay()
{
    const auto [bytes, wrong, wasOpen] = DataTable<QByteArray, QString, bool>::fetch();
    WorkingFolder folder;
    auto window = makeWindow();
    if (wasOpen)
        openInWindow(*window, folder.write("play.txt", screenplay("37 ANN|25 Hi.|37 BOB|25 Yo.")));
    if (bytes != "<none>")
        folder.write("x.txt", bytes);
    const QString page = pageText(*window);
    const QString title = window->windowTitle();
    const int rows = window->ui.listWidget->count();

    openInWindow(*window, folder.filePath("x.txt"));
    QVERIFY(window->messageBar()->isVisible());
    QCOMPARE(window->messageBar()->text(), folder.filePath(wrong) + '.');
    QCOMPARE(pageText(*window), page);
    QCOMPARE(window->windowTitle(), title);
    QCOMPARE(window->ui.listWidget->count(), rows);
}

void TestGuidance::termsHaveToolTips_data()
{
    DataTable<QString, QStringList>::columns(); // the menu entry whose dialog holds them, or none
    const auto row = &DataTable<QString, QStringList>::row;
    row("window", "",
        {"comboBox_DrawMode", "doubleSpinBox_ActiveThreadSize", "doubleSpinBox_InactiveThreadSize",
         "doubleSpinBox_ThreadTransparency", "pushButton", "checkBox_Spheres", "checkBox_Springs",
         "checkBox_DrawGrid", "checkBox_MoveToPlane", "checkBox_DrawNames", "checkBox_FlipAxis",
         "doubleSpinBox_DrawM", "label_6", "doubleSpinBox_DrawExp", "label_7"});
    row("parsing", "actionParsing",
        {"Find the Characters in the Text", "looseMatch", "CaseSensitivity",
         "MinCharacterSpaceslabel", "MinCharacterSpacesspinBox",
         "MinNumberOfCharacterInstancesspinBox", "NumberStepsspinBox", "MergeCueExtensions"});
    row("automate", "actionAutomate",
        {"Delay Until Write (ms)label", "Delay Until Write (ms)spinBox", "Write Images",
         "Write Scene Stats", "Write Character Stats"});
}

// Each control labelled with one of the program's own terms explains it in one sentence.
void TestGuidance::termsHaveToolTips()
{
    const auto [action, names] = DataTable<QString, QStringList>::fetch();
    WorkingFolder folder;
    auto window = makeWindow();
    QStringList unexplained;
    const auto check = [&](QWidget *root) {
        for (const QString &name : names) {
            const auto *w = root->findChild<QWidget *>(name);
            const QString tip = w ? w->toolTip() : QString();
            if (!tip.endsWith('.') || tip.contains(". "))
                unexplained.append(name + ": " + tip);
        }
    };
    ModalAnswers answers;
    if (action == "actionAutomate") // no screenplay chosen, so no run starts
        answers.then([](QWidget *w) { ModalAnswers::closeDialog(w, false); });
    answers.then([&](QWidget *dialog) {
        check(dialog);
        ModalAnswers::closeDialog(dialog, false);
    });
    if (action.isEmpty())
        check(window.get());
    else
        window->findChild<QAction *>(action)->trigger();
    QCOMPARE(answers.titles.size(), action.isEmpty() ? 0 : action == "actionAutomate" ? 2 : 1);
    QVERIFY2(unexplained.isEmpty(), qPrintable(unexplained.join('\n')));
}

// At 1280 x 720 a line of 60 typewriter columns fits the text view; one of 105 wraps.
void TestGuidance::textViewHoldsTypewriterLines()
{
    WorkingFolder folder;
    const auto window = makeWindow({1280, 720});
    const QByteArray line(45, 'x'); // after the 15 blanks of the action margin
    openInWindow(*window,
                 folder.write("play.txt", screenplay("15 INT. A|15 x|15 INT. B|15 " + line +
                                                     "|15 INT. C|15 " + line + line)));
    const QWebElementCollection scenes =
        window->ui.webView->page()->mainFrame()->findAllElements("div.scene");
    QCOMPARE(scenes.count(), 4);
    const int oneLine = scenes.at(1).geometry().height();
    QCOMPARE(scenes.at(2).geometry().height(), oneLine);
    QVERIFY(scenes.at(3).geometry().height() > oneLine);
}

void TestGuidance::layoutRemembered_data()
{
    DataTable<QRect, bool>::columns(); // the geometry left, taken by the next window
    const auto row = &DataTable<QRect, bool>::row;
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    const QRect inside = screen.adjusted(40, 30, -40, -30);
    row("fits the screen", inside, true);
    row("partly off the screen", inside.translated(screen.width() / 2, 0), false);
    row("larger than the screen", screen.adjusted(-10, 0, 10, 10), false);
}

// A window's geometry and splitters come back in the next one, unless the geometry no longer fits
// a screen; then the next window starts as a first one does.
void TestGuidance::layoutRemembered()
{
    const auto [geometry, restored] = DataTable<QRect, bool>::fetch();
    WorkingFolder folder;
    const auto textWidth = [](const Plotloom &w) { return w.ui.splitter->sizes().value(0); };
    const int firstText = textWidth(*makeWindow(QSize()));
    int dragged = 0;
    {
        const auto window = makeWindow(QSize());
        window->setGeometry(geometry);
        QTRY_COMPARE(window->geometry(), geometry);
        QApplication::processEvents(); // the new size reaches the splitter
        // As a drag of the first handle leaves them: the sizes fill the splitter. On a small
        // screen the views' minimum widths may leave room to drag one way only.
        const QList<int> sizes = window->ui.splitter->sizes();
        for (const int by : {50, -50}) {
            window->ui.splitter->setSizes({sizes[0] + by, sizes[1] - by, sizes[2]});
            if (textWidth(*window) != sizes[0])
                break;
        }
        dragged = textWidth(*window);
        QVERIFY(dragged != firstText);
    }
    const auto next = makeWindow(QSize());
    QCOMPARE(next->geometry() == geometry, restored);
    QCOMPARE(textWidth(*next), restored ? dragged : firstText);
}

QTEST_MAIN(TestGuidance)
#include "tst_guidance.moc"
