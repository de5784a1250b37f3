// SPDX-License-Identifier: MIT
#include "apptest.h"
#include "corpus.h"
#include "glutsupport.h"
#include "graphwidget.h"

#include <QCheckBox>
#include <QImage>
#include <QProcess>
#include <QSpinBox>

namespace {

// Answers the batch run's two dialogs: the screenplays, then the options.
void answerAutomate(ModalAnswers &answers, const QStringList &files, int delay, bool stats)
{
    answers
        .then([files](QWidget *w) { chooseFiles(w, files); })
        .then([delay, stats](QWidget *dialog) {
            dialog->findChild<QSpinBox *>("Delay Until Write (ms)spinBox")->setValue(delay);
            dialog->findChild<QCheckBox *>("Write Scene Stats")->setChecked(stats);
            dialog->findChild<QCheckBox *>("Write Character Stats")->setChecked(stats);
            ModalAnswers::closeDialog(dialog, true);
        });
}

// Counts the pixels of an image that are clearly coloured (not grey, white or black).
int colouredPixels(const QImage &image)
{
    int count = 0;
    for (int y = 0; y < image.height(); y += 2)
        for (int x = 0; x < image.width(); x += 2)
            if (QColor(image.pixel(x, y)).saturation() > 60)
                ++count;
    return count;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

} // namespace

class TestBatch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void twoScreenplays();
    void newRunReplacesRunningOne();
    void commandLineToolMatchesWindow();
    void badInputKeepsWindowUsable_data();
    void badInputKeepsWindowUsable();
};

void TestBatch::initTestCase()
{
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs);
}

void TestBatch::twoScreenplays()
{
    REQUIRE_CORPUS();
    WorkingFolder folder;
    const QStringList plays{folder.path("trelby-sample-excerpt.txt"),
                            folder.path("cyber-bob-ep1-traffic-control-dogs.fountain")};
    for (const QString &play : plays)
        QVERIFY(QFile::copy(corpusFile(QFileInfo(play).fileName()), play));
    auto window = makeWindow();
    ModalAnswers answers;
    answerAutomate(answers, plays, 300, true);
    window->ui.actionAutomate->trigger();
    QCOMPARE(window->automateFiles.size(), 2);

    const QString lastScenes = plays.last() + "-scene.csv";
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(lastScenes) && window->automateFiles.isEmpty(), 30000);
    for (const QString &play : plays) {
        QImage image(play + ".png");
        QCOMPARE(image.size(), window->ui.ThreadView->size());
        QVERIFY2(colouredPixels(image) > 50, qPrintable(play));
        QVERIFY(QFile::exists(play + "-character.csv"));
    }

    // The outputs equal what the menu entries write for the same model.
    for (int i = plays.size() - 1; i >= 0; --i) {
        if (i < plays.size() - 1)
            openInWindow(*window, plays.at(i));
        window->writeSceneStats(folder.path("menu-scene.csv"));
        window->writeCharacterStats(folder.path("menu-character.csv"));
        QCOMPARE(readAll(plays.at(i) + "-scene.csv"), readAll(folder.path("menu-scene.csv")));
        QCOMPARE(readAll(plays.at(i) + "-character.csv"),
                 readAll(folder.path("menu-character.csv")));
    }
}

void TestBatch::newRunReplacesRunningOne()
{
    WorkingFolder folder;
    folder.write("a.txt", QByteArray(20, ' ') + "A\n" + QByteArray(20, ' ') + "B\n");
    folder.write("b.txt", QByteArray(20, ' ') + "C\n" + QByteArray(20, ' ') + "D\n");
    auto window = makeWindow();
    ModalAnswers answers;
    answerAutomate(answers, {folder.path("a.txt")}, 60000, true);
    answerAutomate(answers, {folder.path("b.txt")}, 200, true);
    window->ui.actionAutomate->trigger();
    QTRY_COMPARE(window->fileName, folder.path("a.txt"));
    window->ui.actionAutomate->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(folder.path("b.txt-scene.csv")), 20000);
    QTRY_VERIFY(window->automateFiles.isEmpty());
    QVERIFY(!QFile::exists(folder.path("a.txt-scene.csv")));
    QVERIFY(!QFile::exists(folder.path("a.txt.png")));
}

void TestBatch::commandLineToolMatchesWindow()
{
    REQUIRE_CORPUS();
    WorkingFolder folder;
    folder.write("colors.txt", "200 40 40\n40 40 200\n40 160 40\n");
    folder.write("characters.txt", "HILDY : 10 20 30\n");
    folder.write("config.txt", "MinNumberOfCharacterInstances 1\n");
    const QString play = folder.path("his-girl-friday-1940.txt");
    QVERIFY(QFile::copy(corpusFile("his-girl-friday-1940.txt"), play));
    auto window = makeWindow();
    openInWindow(*window, play);
    window->writeSceneStats(folder.path("window-scene.csv"));
    window->writeCharacterStats(folder.path("window-character.csv"));
    ModalAnswers answers;
    answers.then([&folder](QWidget *w) { chooseFiles(w, {folder.path("window.html")}); });
    window->saveMarkup();

    QProcess tool;
    tool.setWorkingDirectory(folder.path(QString()));
    tool.start(QStringLiteral(PLOTLOOM_BATCH_TOOL),
               {"--scene-stats", "--character-stats", "--markup", play});
    QVERIFY(tool.waitForFinished(60000));
    QCOMPARE(tool.exitCode(), 0);
    QCOMPARE(readAll(play + "-scene.csv"), readAll(folder.path("window-scene.csv")));
    QCOMPARE(readAll(play + "-character.csv"), readAll(folder.path("window-character.csv")));
    QCOMPARE(readAll(play + ".html"), readAll(folder.path("window.html")));
}

void TestBatch::badInputKeepsWindowUsable_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QByteArray binary;
    for (int i = 0; i < 4096; ++i)
        binary.append(char((i * 7919) & 0xff));
    QByteArray manyRows;
    for (int i = 0; i < 100000; ++i)
        manyRows += QByteArray::number(i) + ",1,\"['A" + QByteArray::number(i % 7) + "']\"\n";
    QTest::newRow("csv unbalanced quotes") << "t.csv" << QByteArray("0,1,\"['A'\n1,\"\"\",\"\n");
    QTest::newRow("csv non-numeric times") << "t.csv" << QByteArray("x,y,\"['A']\"\n,,\"[]\"\n");
    QTest::newRow("csv 100,000 rows") << "t.csv" << manyRows;
    QTest::newRow("xml not well formed") << "t.xml" << QByteArray("<div style='a'><p></div>");
    QTest::newRow("binary as xml") << "t.xml" << binary;
    QTest::newRow("binary as csv") << "t.csv" << binary;
    QTest::newRow("binary as text") << "t.txt" << binary;
}

void TestBatch::badInputKeepsWindowUsable()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    WorkingFolder folder;
    folder.write(name, bytes);
    folder.write("good.txt", QByteArray(20, ' ') + "ANN\n" + QByteArray(20, ' ') + "BOB\n");
    auto window = makeWindow();
    openInWindow(*window, folder.path(name));
    QTest::qWait(50);
    window->ui.ThreadView->updateGL();
    openInWindow(*window, folder.path("good.txt"));
    QCOMPARE(window->characters.size(), 2);
    QCOMPARE(window->ui.listWidget->count(), 2);
}

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    ensureGlutInitialized();
    TestBatch test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_batch.moc"
