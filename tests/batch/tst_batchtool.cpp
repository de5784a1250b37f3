// SPDX-License-Identifier: MIT
#include "batchtool.h"
#include "datatable.h"
#include "stdoutcapture.h"
#include "testfiles.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A run of the tool: its arguments after any NAME=value settings of the environment ("$DISPLAY"
// is the test's own display), exit status, messages ('|' between) and new files (' ').
using RunRows = DataTable<QString, int, QString, QString>;
void row(const char *arguments, int status, const char *messages, const char *written = "")
{
    RunRows::row(arguments, arguments, status, messages, written);
}

} // namespace

class TestBatchTool : public QObject {
    Q_OBJECT
private slots:
    void init();
    void runs_data();
    void runs();
    void workerThatCannotStart_data();
    void workerThatCannotStart();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

// A fresh folder without break strings: a play with two speakers and two headings, a Final Draft
// play with two speakers and one heading, a copy whose scene statistics cannot be written, a
// document that is not Final Draft's, a folder holding another play of the same name, and
// settings that break at "ext." only.
void TestBatchTool::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    for (const char *name : {"taken.txt-scene.csv", "folder", "settings", "out"})
        QDir(m_dir->path()).mkdir(name);
    const QByteArray cue(37, ' ');
    const QByteArray play = "INT. ROOM - DAY\n" + cue + "ANN\nHello, Bob.\n" + cue +
                            "BOB\nHello.\nEXT. YARD - NIGHT\n" + cue + "ANN\nBye.\n";
    const QString para = QStringLiteral("<Paragraph Type=\"%1\"><Text>%2</Text></Paragraph>");
    const QByteArray fdx =
        ("<FinalDraft><Content>" + para.arg("Scene Heading", "INT. ROOM") +
         para.arg("Character", "ANN") + para.arg("Character", "BOB") + "</Content></FinalDraft>")
            .toUtf8();
    for (const auto &[name, bytes] : {std::pair("play.txt", play),
                                      {"taken.txt", play},
                                      {"folder/play.txt", play},
                                      {"settings/breakStrings.txt", "ext.\n"},
                                      {"play.fdx", fdx},
                                      {"wrong.fdx", "<html/>"}})
        writeFile(m_dir->filePath(name), bytes);
}

void TestBatchTool::runs_data()
{
    RunRows::columns();
    row("--help", 0,
        "--scene-stats|--character-stats|--markup|--image|--breakdown|--network|--storyline|"
        "--summary|--mode|"
        "--size|--settle|--settings|--output-dir|--jobs|--version");
    row("", 2, "plotloom-batch: no screenplay given\nTry 'plotloom-batch --help'.");
    row("--mode spiral play.txt", 2, "unknown mode 'spiral'|--help");
    row("--size 4097x4096 play.txt", 2, "bad size '4097x4096'|at most 4096x4096|--help");
    row("--settle 10001 play.txt", 2, "bad frame count '10001'; give 0 to 10000 frames|--help");
    row("--jobs 0 play.txt", 2, "bad job count '0'|--help");
    row("--settings nowhere play.txt", 2, "no settings folder 'nowhere'|--help");
    row("--output-dir out play.txt folder/play.txt", 2,
        "'play.txt' and 'folder/play.txt' would write the same outputs in 'out'|--help");
    row("--output-dir taken.txt/out play.txt", 1,
        "cannot create the output folder 'taken.txt/out':|taken.txt is not a folder");
    row("play.txt", 0, "no breakStrings.txt|[1/1] play.txt: 2 characters, 3 scenes",
        "play.txt-character.csv play.txt-scene.csv");
    // The output folder is made with its parents, from the folder the tool started in; the same
    // file named twice is no clash.
    row("--markup --settings settings --output-dir new/deeper play.txt ./play.txt", 0,
        "[1/2] play.txt: 2 characters, 2 scenes|[2/2] ./play.txt: 2 characters, 2 scenes",
        "new/deeper/play.txt.html");
    row("missing.txt folder taken.txt", 1,
        "[1/3] missing.txt: error: no such file|[2/3] folder: error: is a folder|"
        "[3/3] taken.txt: error: cannot write",
        "taken.txt-character.csv");
    row("play.fdx wrong.fdx", 1,
        "[1/2] play.fdx: 2 characters, 2 scenes|"
        "[2/2] wrong.fdx: error: not a Final Draft document\n",
        "play.fdx-character.csv play.fdx-scene.csv");
    // One worker gets the first and third screenplay, the same file.
    row("--jobs 2 play.txt taken.txt ./play.txt", 1,
        "[1/3] play.txt: 2 characters, 3 scenes|[2/3] taken.txt: error: cannot write|"
        "[3/3] ./play.txt: 2 characters, 3 scenes",
        "play.txt-character.csv play.txt-scene.csv taken.txt-character.csv");
    // Without an X display to draw on, the other outputs are still written.
    row("WAYLAND_DISPLAY=wayland-0 --image --scene-stats play.txt", 1, "--image needs a display",
        "play.txt-scene.csv");
    row("QT_QPA_PLATFORM=xcb --image --scene-stats play.txt", 1, "--image needs a display",
        "play.txt-scene.csv");
    row("DISPLAY=:65000 --jobs 2 --image --character-stats play.txt taken.txt", 1,
        "--image needs a display, and the display ':65000' cannot be reached|"
        "[2/2] taken.txt: 2 characters",
        "play.txt-character.csv taken.txt-character.csv");
    row("DISPLAY=$DISPLAY --image --mode color-weaving --settle 101 --size 64x48 play.txt", 0,
        "[1/1] play.txt: settling, frame 100 of 101|[1/1] play.txt: 2 characters", "play.txt.png");
    row("DISPLAY=$DISPLAY --image --mode storyline --settle 1 --size 64x48 play.txt", 0,
        "[1/1] play.txt: 2 characters", "play.txt.png");
    // Workers write the storyline too.
    row("--storyline --jobs 2 play.txt ./folder/play.txt", 0, "[2/2] ./folder/play.txt",
        "play.txt-storyline.csv play.txt-storyline.svg folder/play.txt-storyline.csv "
        "folder/play.txt-storyline.svg");
    row("--summary", 2, "Missing value after '--summary'|--help");
    row("--breakdown --network --output-dir out play.txt", 0,
        "[1/1] play.txt: 2 characters, 3 scenes",
        "out/play.txt-breakdown.csv out/play.txt-edges.csv out/play.txt.graphml");
    // The screenplays that were read are summed up, even when another output fails.
    row("--jobs 2 --summary out/sum.csv play.txt missing.txt taken.txt", 1,
        "[2/3] missing.txt: error: no such file", "out/sum.csv out/sum-files.csv");
    row("--summary nowhere/sum.csv play.txt", 1, "cannot write");
}

// The exit status, the messages, and exactly the files asked for.
void TestBatchTool::runs()
{
    const auto [arguments, status, messages, written] = RunRows::fetch();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(name);
    QStringList words = arguments.split(' ', Qt::SkipEmptyParts);
    while (!words.isEmpty() && words.first().contains('=')) {
        QString value = words.first().section('=', 1);
        if (value == "$DISPLAY") {
            value = qEnvironmentVariable("DISPLAY");
            if (value.isEmpty())
                QSKIP("no display to draw on");
        }
        env.insert(words.takeFirst().section('=', 0, 0), value);
    }
    QProcess tool;
    tool.setWorkingDirectory(m_dir->path());
    tool.setProcessEnvironment(env);
    tool.start(PLOTLOOM_BATCH_TOOL, words);
    QVERIFY(tool.waitForFinished(120000));
    const QString output = tool.readAllStandardOutput() + tool.readAllStandardError();
    QCOMPARE(tool.exitStatus(), QProcess::NormalExit);
    QCOMPARE(tool.exitCode(), status);
    for (const QString &message : messages.split('|'))
        QVERIFY2(output.contains(message), qPrintable(output));
    QVERIFY(!output.contains("--child"));

    QStringList expected = written.split(' ', Qt::SkipEmptyParts);
    expected << "play.txt"
             << "folder/play.txt"
             << "play.fdx"
             << "wrong.fdx"
             << "settings/breakStrings.txt"
             << "taken.txt";
    expected.sort();
    QStringList files;
    for (QDirIterator it(m_dir->path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files.append(QDir(m_dir->path()).relativeFilePath(it.next()));
    files.sort();
    QCOMPARE(files, expected);
}

// A worker process that cannot start (here: no such program; in use: the process limit
// reached) fails its screenplays instead of leaving the run waiting for ever.
void TestBatchTool::workerThatCannotStart_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("fails at once") << QString();
    QTest::newRow("fails after fork") << QStringLiteral("/nonexistent/plotloom-batch");
}

void TestBatchTool::workerThatCannotStart()
{
    QFETCH(QString, program);
    BatchOptions options;
    options.sceneStats = true;
    options.jobs = 2;
    options.screenplays = QStringList{m_dir->filePath("play.txt"), m_dir->filePath("taken.txt")};
    StdoutCapture err(STDERR_FILENO);
    QCOMPARE(runBatch(options, program), int(BatchFailed));
    const QString output = err.text();
    QVERIFY2(output.contains("a worker process could not start") &&
                 output.contains("[1/2] " + options.screenplays.at(0) + ": error: not processed") &&
                 output.contains("[2/2] " + options.screenplays.at(1) + ": error: not processed"),
             qPrintable(output));
}

QTEST_MAIN(TestBatchTool)
#include "tst_batchtool.moc"
