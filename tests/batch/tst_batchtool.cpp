// SPDX-License-Identifier: MIT
#include "batchtool.h"
#include "datatable.h"
#include "stdoutcapture.h"
#include "testfiles.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

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
    void hostilePaths_data();
    void hostilePaths();
    void workersThatEndEarly_data();
    void workersThatEndEarly();
    void summary();

private:
    // Runs the tool in the test folder; returns its exit status (-1 when it crashed or hung).
    int runTool(const QStringList &arguments, const QProcessEnvironment &env, QString *output);

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
    // Hostile paths: a named pipe with no writer, an output linked to it, an output linked to a
    // file, and screenplays that have those outputs.
    QVERIFY(mkfifo(QFile::encodeName(m_dir->filePath("pipe.txt")).constData(), 0600) == 0);
    writeFile(m_dir->filePath("null.txt"), play);
    writeFile(m_dir->filePath("linked.txt"), play);
    writeFile(m_dir->filePath("target.csv"), "old");
    QVERIFY(QFile::link("pipe.txt", m_dir->filePath("null.txt-scene.csv")));
    QVERIFY(QFile::link("target.csv", m_dir->filePath("linked.txt-scene.csv")));
}

int TestBatchTool::runTool(const QStringList &arguments, const QProcessEnvironment &env,
                           QString *output)
{
    QProcess tool;
    tool.setWorkingDirectory(m_dir->path());
    tool.setProcessEnvironment(env);
    tool.start(PLOTLOOM_BATCH_TOOL, arguments);
    const bool ended = tool.waitForFinished(120000);
    *output = tool.readAllStandardOutput() + tool.readAllStandardError();
    return ended && tool.exitStatus() == QProcess::NormalExit ? tool.exitCode() : -1;
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
        "[1/3] missing.txt: error: cannot be read: No such file or directory|"
        "[2/3] folder: error: is a folder\n|[3/3] taken.txt: error: |"
        "taken.txt-scene.csv cannot be written: ",
        "taken.txt-character.csv");
    row("play.fdx wrong.fdx", 1,
        "[1/2] play.fdx: 2 characters, 2 scenes|"
        "[2/2] wrong.fdx: error: cannot be read: not a Final Draft document\n",
        "play.fdx-character.csv play.fdx-scene.csv");
    // One worker gets the first and third screenplay, the same file.
    row("--jobs 2 play.txt taken.txt ./play.txt", 1,
        "[1/3] play.txt: 2 characters, 3 scenes|[2/3] taken.txt: error: |"
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
        "[2/3] missing.txt: error: cannot be read", "out/sum.csv out/sum-files.csv");
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
    QString output;
    QCOMPARE(runTool(words, env, &output), status);
    for (const QString &message : messages.split('|'))
        QVERIFY2(output.contains(message), qPrintable(output));
    QVERIFY(!output.contains("--child"));

    // The files written, and those made by init().
    QStringList expected = (written + " play.txt folder/play.txt play.fdx wrong.fdx taken.txt "
                                      "settings/breakStrings.txt null.txt linked.txt target.csv "
                                      "linked.txt-scene.csv null.txt-scene.csv")
                               .split(' ', Qt::SkipEmptyParts);
    expected.sort();
    QStringList files;
    for (QDirIterator it(m_dir->path(), QDir::Files, QDirIterator::Subdirectories); it.hasNext();)
        files.append(QDir(m_dir->path()).relativeFilePath(it.next()));
    files.sort();
    QCOMPARE(files, expected);
}

// Nothing a run reads is written over, nothing but a regular file is read or replaced, and a
// refused run writes nothing at all.
void TestBatchTool::hostilePaths_data()
{
    RunRows::columns();
    row("--summary play.txt play.txt taken.txt", 1, "the output '*play.txt' would write over");
    row("--scene-stats --summary play.txt-scene.csv play.txt", 1,
        "the outputs '*play.txt-scene.csv' and");
    row("--summary nowhere/sum.csv play.txt", 1, "there is no folder '*nowhere'");
    row("pipe.txt", 1, "[1/1] pipe.txt: error: is not a regular file");
    row("/dev/zero", 1, "[1/1] /dev/zero: error: is not a regular file");
    row("--scene-stats null.txt", 1, "null.txt-scene.csv cannot be written: it is not a regular");
    row("--scene-stats linked.txt", 0, "[1/1] linked.txt: 2 characters", "target.csv");
}

void TestBatchTool::hostilePaths()
{
    const auto [arguments, status, message, changed] = RunRows::fetch();
    const QDir dir(m_dir->path());
    QHash<QString, QByteArray> before;
    // Links are left out: one of them reaches the pipe, which no read may wait on.
    for (const QString &name : dir.entryList(QDir::Files | QDir::NoSymLinks))
        before.insert(name, readFile(dir.filePath(name)));
    QString output;
    QCOMPARE(runTool(arguments.split(' '), QProcessEnvironment::systemEnvironment(), &output),
             status);
    int at = 0; // the parts of the message between '*', in order
    for (const QString &part : message.split('*'))
        QVERIFY2((at = output.indexOf(part, at)) >= 0, qPrintable(output));
    // Every file keeps its bytes but the one written through the link; no file is new.
    QStringList names = before.keys();
    names.sort();
    QCOMPARE(dir.entryList(QDir::Files | QDir::NoSymLinks), names);
    for (auto file = before.cbegin(); file != before.cend(); ++file)
        if (file.key() != changed)
            QVERIFY2(readFile(dir.filePath(file.key())) == file.value(), qPrintable(file.key()));
    QCOMPARE(readFile(dir.filePath("target.csv")) != "old", changed == "target.csv");
    QCOMPARE(QFileInfo(dir.filePath("linked.txt-scene.csv")).symLinkTarget(),
             dir.filePath("target.csv"));
    QCOMPARE(QFileInfo(dir.filePath("null.txt-scene.csv")).symLinkTarget(),
             dir.filePath("pipe.txt"));
    QVERIFY(!QFileInfo(dir.filePath("pipe.txt")).isFile()); // still the pipe
}

// A worker that cannot start, or that dies after its first screenplay, leaves no screenplay
// unaccounted for: what it had done is in the summary, each one it had not is named, and the run
// fails. The dying worker is the tool itself given only its first screenplay, then killed.
void TestBatchTool::workersThatEndEarly_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("reason");
    QTest::newRow("cannot start at once") << QString() << "its worker process could not start";
    QTest::newRow("cannot start after fork")
        << QStringLiteral("/nonexistent/plotloom-batch") << "its worker process could not start";
    QTest::newRow("dies after its first")
        << QStringLiteral("dying-worker.sh") << "its worker process ended abnormally";
}

void TestBatchTool::workersThatEndEarly()
{
    QFETCH(QString, program);
    QFETCH(QString, reason);
    const bool dying = program.endsWith(".sh");
    if (dying) {
        program = m_dir->filePath(program);
        writeFile(program,
                  "#!/bin/sh\n"
                  "# The arguments up to the record file and the first screenplay.\n"
                  "n=0; for a in \"$@\"; do n=$((n+1)); [ \"$a\" = --record ] && break; done\n"
                  "\"" PLOTLOOM_BATCH_TOOL "\" $(echo \"$@\" | cut -d' ' -f1-$((n+2)))\n"
                  "kill -KILL $$\n");
        QFile(program).setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    }
    BatchOptions options;
    options.jobs = 2;
    options.summary = m_dir->filePath("out/sum.csv");
    for (const char *name : {"play.txt", "taken.txt", "null.txt", "linked.txt"})
        options.screenplays.append(m_dir->filePath(name));
    StdoutCapture err(STDERR_FILENO);
    QCOMPARE(runBatch(options, program), int(BatchFailed));
    const QString output = err.text();
    // Each worker had two screenplays; a dying one did the first of them.
    const QString summary = readFile(m_dir->filePath("out/sum-files.csv"));
    QCOMPARE(summary.count('\n') - 1, dying ? 2 : 0);
    QCOMPARE(output.count(": error: not processed: " + reason), dying ? 2 : 4);
    for (const QString &path : options.screenplays)
        QCOMPARE(summary.contains(path) + output.count(path + ": error: not processed"), 1);
}

// The summary sums each character over the screenplays, as the workers report them: ANN speaks
// three times in two of three scenes, BOB once.
void TestBatchTool::summary()
{
    const QByteArray cue(37, ' ');
    writeFile(m_dir->filePath("three.txt"), "INT. ROOM - DAY\n" + cue + "ANN\nHello, Bob.\n" + cue +
                                                "BOB\nHello.\n" + cue +
                                                "ANN\nAnd bye.\n"
                                                "EXT. YARD - NIGHT\n" +
                                                cue + "ANN\nBye.\n");
    QString output;
    QCOMPARE(runTool({"--jobs", "2", "--summary", "out/sum.csv", "three.txt", "./three.txt"},
                     QProcessEnvironment::systemEnvironment(), &output),
             0);
    QCOMPARE(readFile(m_dir->filePath("out/sum.csv")),
             "Character,Screenplays,Instances,Scenes,First,Last\r\n"
             "ANN,2,6,4,three.txt,./three.txt\r\nBOB,2,2,2,three.txt,./three.txt\r\n");
    QCOMPARE(readFile(m_dir->filePath("out/sum-files.csv")),
             "Screenplay,Characters,Scenes,Lines,Speakers,Speeches\r\n"
             "three.txt,2,3,10,2,4\r\n./three.txt,2,3,10,2,4\r\n");
}

QTEST_MAIN(TestBatchTool)
#include "tst_batchtool.moc"
