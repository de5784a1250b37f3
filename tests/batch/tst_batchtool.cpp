// SPDX-License-Identifier: MIT
#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A run of the tool: its arguments, exit status, messages ('|' between) and new files (' ').
void row(const char *arguments, int status, const char *messages, const char *written = "")
{
    QTest::newRow(arguments) << QString(arguments) << status << QString(messages)
                             << QString(written);
}

} // namespace

class TestBatchTool : public QObject {
    Q_OBJECT
private slots:
    void init();
    void runs_data();
    void runs();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// A fresh folder without break strings: a play with two speakers and two headings, a copy whose
// scene statistics cannot be written, a folder, and settings that break at "ext." only.
void TestBatchTool::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    for (const char *name : {"taken.txt-scene.csv", "folder", "settings", "out"})
        QDir(m_dir->path()).mkdir(name);
    const QByteArray speaker(37, ' ');
    for (const char *name : {"play.txt", "taken.txt", "settings/breakStrings.txt"}) {
        QFile file(m_dir->filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(QByteArray(name).startsWith("settings")
                       ? "ext.\n"
                       : "INT. ROOM - DAY\n" + speaker + "ANN\nHello, Bob.\n" + speaker +
                             "BOB\nHello.\nEXT. YARD - NIGHT\n" + speaker + "ANN\nBye.\n");
    }
}

void TestBatchTool::runs_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("messages");
    QTest::addColumn<QString>("written");
    row("--help", 0,
        "--scene-stats|--character-stats|--markup|--image|--breakdown|--network|--summary|--mode|"
        "--size|--settle|--settings|--output-dir|--jobs|--version");
    row("--version", 0, "plotloom-batch 0.1\n");
    row("", 2, "plotloom-batch: no screenplay given\nTry 'plotloom-batch --help'.");
    row("--colour play.txt", 2, "Unknown option|--help");
    row("--mode spiral play.txt", 2, "unknown mode 'spiral'|--help");
    row("--size 1024 play.txt", 2, "bad size '1024'|--help");
    row("--jobs 0 play.txt", 2, "bad job count '0'|--help");
    row("--settings nowhere play.txt", 2, "no settings folder 'nowhere'|--help");
    row("--output-dir nowhere play.txt", 2, "no output folder 'nowhere'|--help");
    row("play.txt", 0, "no breakStrings.txt|[1/1] play.txt: 2 characters, 3 scenes",
        "play.txt-character.csv play.txt-scene.csv");
    row("--markup --settings settings --output-dir out play.txt", 0,
        "[1/1] play.txt: 2 characters, 2 scenes", "out/play.txt.html");
    row("missing.txt folder taken.txt", 1,
        "[1/3] missing.txt: error: no such file|[2/3] folder: error: is a folder|"
        "[3/3] taken.txt: error: cannot write",
        "taken.txt-character.csv");
    row("--jobs 2 play.txt taken.txt", 1,
        "[1/2] play.txt: 2 characters, 3 scenes|[2/2] taken.txt: error: cannot write",
        "play.txt-character.csv play.txt-scene.csv taken.txt-character.csv");
    row("--image --scene-stats play.txt", 1, "--image needs a display", "play.txt-scene.csv");
    row("--summary", 2, "Missing value after '--summary'|--help");
    row("--breakdown --network --output-dir out play.txt", 0,
        "[1/1] play.txt: 2 characters, 3 scenes",
        "out/play.txt-breakdown.csv out/play.txt-edges.csv out/play.txt.graphml");
    // The screenplays that were read are summed up, even when another output fails.
    row("--jobs 2 --summary out/sum.csv play.txt missing.txt taken.txt", 1,
        "[2/3] missing.txt: error: no such file", "out/sum.csv out/sum-files.csv");
    row("--summary nowhere/sum.csv play.txt", 1, "cannot write");
}

// Without a display: the exit status, the messages, and exactly the files asked for.
void TestBatchTool::runs()
{
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(QString, messages);
    QFETCH(QString, written);
    QProcess tool;
    tool.setWorkingDirectory(m_dir->path());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    tool.setProcessEnvironment(env);
    tool.start(PLOTLOOM_BATCH_TOOL, arguments.split(' ', Qt::SkipEmptyParts));
    QVERIFY(tool.waitForFinished(120000));
    const QString output = tool.readAllStandardOutput() + tool.readAllStandardError();
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), status);
    for (const QString &message : messages.split('|'))
        QVERIFY2(output.contains(message), qPrintable(output));
    QVERIFY(!output.contains("--child"));

    QStringList expected = written.split(' ', Qt::SkipEmptyParts);
    expected << "play.txt"
             << "settings/breakStrings.txt"
             << "taken.txt";
    expected.sort();
    QStringList files;
    for (QDirIterator it(m_dir->path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files.append(QDir(m_dir->path()).relativeFilePath(it.next()));
    files.sort();
    QCOMPARE(files, expected);
}

QTEST_MAIN(TestBatchTool)
#include "tst_batchtool.moc"
