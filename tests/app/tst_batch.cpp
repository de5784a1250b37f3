// SPDX-License-Identifier: MIT
#include "apptest.h"

#include <QProcess>
#include <QProgressDialog>
#include <QStatusBar>

#include <utility>

namespace {

// Answers the batch run's two dialogs: the screenplays, then the options with both statistics,
// the latter after the user has looked at it for `hold` ms.
void answerAutomate(ModalAnswers &answers, const QStringList &files, int delay, bool images,
                    int hold = 0)
{
    answers.then([files](QWidget *w) { chooseFiles(w, files); })
        .then([delay, hold, images](QWidget *dialog) {
            QTest::qWait(hold);
            dialog->findChild<QSpinBox *>("Delay Until Write (ms)spinBox")->setValue(delay);
            dialog->findChild<QCheckBox *>("Write Images")->setChecked(images);
            dialog->findChild<QCheckBox *>("Write Scene Stats")->setChecked(true);
            dialog->findChild<QCheckBox *>("Write Character Stats")->setChecked(true);
            ModalAnswers::closeDialog(dialog, true);
        });
}

bool runEnded(const TestWindow &window, const QString &last)
{
    return QFile::exists(last + "-scene.csv") && window.automateFiles.isEmpty();
}

} // namespace

class TestBatch : public QObject {
    Q_OBJECT
private slots:
    void outputsMatchMenusAndTool();
    void newRunReplacesRunningOne();
    void stepWaitsForRunningOperation_data();
    void stepWaitsForRunningOperation();
    void badInputKeepsWindowUsable_data();
    void badInputKeepsWindowUsable();
};

// A batch run skips a screenplay it cannot read and ends saying what it did; it gives images
// holding threads, and statistics equal byte for byte to what the menu entries write for the same
// model; plotloom-batch writes the same exports and markup, and with
// --jobs the same bytes as serially, images included.
void TestBatch::outputsMatchMenusAndTool()
{
    WorkingFolder folder;
    folder.write("colors.txt", "200 40 40\n40 40 200\n40 160 40\n");
    folder.write("characters.txt", "CLARA : 10 20 30\n");
    folder.write("config.txt", "MinNumberOfCharacterInstances 1\n");
    const QStringList names{"two-rooms.txt", "two-rooms.fountain", "crlf.fountain"};
    QStringList plays; // the batch runs the first two, the tool all three
    for (const QString &name : names.mid(0, 2)) {
        plays.append(folder.filePath(name));
        QVERIFY(QFile::copy(PLOTLOOM_TEST_DATA "/exports/" + name, plays.last()));
    }
    plays.append(folder.write(names.at(2), "\xEF\xBB\xBFINT. HALL\r\n\r\nGUY\r\nHi.\r\n\r\n"
                                           "GURL\r\nHo.\r\n\r\nGUY\r\nBye.\r\n"));
    auto window = makeWindow();
    ModalAnswers answers;
    const QStringList batch{plays.at(0), folder.write("empty.txt", ""), plays.at(1)};
    answerAutomate(answers, batch, 300, true);
    window->ui.actionAutomate->trigger();
    QCOMPARE(window->automateFiles, batch);
    QTRY_VERIFY_WITH_TIMEOUT(runEnded(*window, plays.at(1)), 30000);
    QCOMPARE(window->statusBar()->currentMessage(),
             "Batch run ended: 2 screenplays processed, 6 files written. Not read: empty.txt.");
    const QStringList tool =
        QStringList{
            "--scene-stats", "--character-stats", "--markup", "--image", "--breakdown", "--network",
            "--size",        "320x240",           "--settle", "5"} +
        plays;
    QCOMPARE(QProcess::execute(PLOTLOOM_BATCH_TOOL, tool + QStringList{"--output-dir", "serial"}),
             0);
    QCOMPARE(QProcess::execute(PLOTLOOM_BATCH_TOOL,
                               tool + QStringList{"--output-dir", "jobs", "--jobs", "2"}),
             0);

    for (int i = 1; i >= 0; --i) {
        const QImage image(plays.at(i) + ".png");
        int coloured = 0; // threads: neither grey, white nor black
        for (int y = 0; y < image.height(); y += 2)
            for (int x = 0; x < image.width(); x += 2)
                coloured += QColor(image.pixel(x, y)).saturation() > 60;
        QVERIFY2(coloured > 50, qPrintable(names.at(i)));
        if (i == 0)
            openInWindow(*window, plays.at(i));
        window->writeSceneStats("menu-scene.csv");
        window->writeCharacterStats("menu-character.csv");
        window->writeSceneBreakdown("menu-breakdown.csv");
        window->writeCharacterNetwork("menu.graphml");
        for (const QString kind : {"-scene.csv", "-character.csv"})
            QCOMPARE(folder.read(names.at(i) + kind), folder.read("menu" + kind));
        for (const QString kind :
             {"-scene.csv", "-character.csv", "-breakdown.csv", ".graphml", "-edges.csv"})
            QCOMPARE(folder.read("serial/" + names.at(i) + kind), folder.read("menu" + kind));
        QCOMPARE(folder.read("serial/" + names.at(i) + ".html"), window->analysis.markupDocument());
    }
    for (const QString &name : names) {
        QCOMPARE(QImage("serial/" + name + ".png").size(), QSize(320, 240));
        for (const QString kind : {"-scene.csv", "-character.csv", ".html", ".png",
                                   "-breakdown.csv", ".graphml", "-edges.csv"})
            QCOMPARE(folder.read("jobs/" + name + kind), folder.read("serial/" + name + kind));
    }
}

// The first run's step must not act, neither while the second run's dialogs are open nor after:
// the second run's own step writes its outputs, after its delay.
void TestBatch::newRunReplacesRunningOne()
{
    WorkingFolder folder;
    const QString a = folder.write("a.txt", screenplay("20 A|20 B"));
    const QString b = folder.write("b.txt", screenplay("20 C|20 D"));
    constexpr int secondDelay = 1500;
    auto window = makeWindow();
    ModalAnswers answers;
    answerAutomate(answers, {a}, 1000, true);              // long enough to reach the second run
    answerAutomate(answers, {b}, secondDelay, true, 1500); // the first step falls due in the dialog
    window->ui.actionAutomate->trigger();
    QTRY_COMPARE(window->analysis.fileName, a);
    window->ui.actionAutomate->trigger();
    QElapsedTimer second;
    second.start();
    QTRY_VERIFY_WITH_TIMEOUT(runEnded(*window, b), 20000);
    QVERIFY(second.elapsed() >= secondDelay);
    QVERIFY(!QFile::exists(a + "-scene.csv"));
    QVERIFY(!QFile::exists(a + ".png"));
}

void TestBatch::stepWaitsForRunningOperation_data()
{
    QTest::addColumn<QString>("stage");
    QTest::newRow("discovery of an opened file") << "Finding characters:";
    QTest::newRow("parse of an opened file") << "Parsing Text";
    QTest::newRow("Options dialog") << QString();
}

// A batch step falls due while the user's open (or dialog) runs the event loop; it runs only after
// that has ended, and the run then goes on to its end.
void TestBatch::stepWaitsForRunningOperation()
{
    QFETCH(QString, stage);
    WorkingFolder folder;
    const QString a = folder.write("a.txt", screenplay("20 A|20 B"));
    const QString b = folder.write("b.txt", screenplay("20 C|20 D"));
    const QString c = folder.write("c.txt", screenplay("20 E|20 F|20 E"));
    constexpr int delay = 800; // falls due inside the hold, after the file dialog
    auto window = makeWindow();
    ModalAnswers answers;
    answerAutomate(answers, {a, b}, delay, false);
    window->ui.actionAutomate->trigger();
    QTRY_COMPARE(window->analysis.fileName, a);
    QElapsedTimer sinceStep; // the next step falls due within `delay` of this
    sinceStep.start();
    bool still = false; // nothing moved while held
    const auto hold = [&] {
        const QString file = window->analysis.fileName;
        const QStringList text = window->analysis.lines;
        const QStringList batch = window->automateFiles;
        QTest::qWait(std::max(0, int(delay + 400 - sinceStep.elapsed())));
        still = window->analysis.fileName == file && window->analysis.lines == text &&
                window->automateFiles == batch;
    };
    if (stage.isEmpty()) {
        answers.then([&](QWidget *dialog) {
            hold();
            ModalAnswers::closeDialog(dialog, false);
        });
        window->ui.actionParsing->trigger();
    } else {
        // Holds once, inside the first progress stage of c whose label starts with `stage`,
        // where a long stage would run the event loop.
        std::function<void()> once = hold;
        ProgressTap tap(*window, [&](int) {
            const auto &progress = window->progress;
            if (once && window->analysis.fileName == c && progress &&
                progress->labelText().startsWith(stage))
                std::exchange(once, nullptr)();
        });
        answers.then([c](QWidget *w) { chooseFiles(w, {c}); });
        window->ui.actionOpen_File->trigger();
    }
    QVERIFY(still);
    QTRY_VERIFY_WITH_TIMEOUT(runEnded(*window, b), 10000);
}

void TestBatch::badInputKeepsWindowUsable_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 7919) & 0xff));
    QTest::newRow("binary") << binary;
    QTest::newRow("empty file") << QByteArray();
}

// Neither a Reparse with nothing open nor an odd file leaves a progress dialog behind, which would
// show itself seconds later, window-modal; a good screenplay opens after it.
void TestBatch::badInputKeepsWindowUsable()
{
    QFETCH(QByteArray, bytes);
    WorkingFolder folder;
    auto window = makeWindow();
    window->ui.actionReparse->trigger();
    QCOMPARE(window->findChildren<QProgressDialog *>().size(), 0);
    openInWindow(*window, folder.write("odd.txt", bytes));
    QCOMPARE(window->findChildren<QProgressDialog *>().size(), 0);
    window->ui.ThreadView->updateGL();
    openInWindow(*window, folder.write("good.txt", screenplay("20 ANN|20 BOB")));
    QCOMPARE(window->analysis.characters.size(), 2);
    QCOMPARE(window->ui.listWidget->count(), 2);
}

QTEST_MAIN(TestBatch)
#include "tst_batch.moc"
