// SPDX-License-Identifier: MIT
#include "corpus.h"
#include "csvrows.h"

#include <QDirIterator>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

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
    void corpusSummary();

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

// Over the corpus, the totals are the same with two jobs as with one, and they are the sums of the
// screenplays' character statistics, whose names lose what Latin-1 cannot hold.
void TestBatchTool::corpusSummary()
{
    REQUIRE_CORPUS();
    const QStringList plays = corpusScreenplays();
    QDir dir(m_dir->path());
    QCOMPARE(
        QProcess::execute(PLOTLOOM_BATCH_TOOL,
                          QStringList{"--summary", dir.filePath("one.csv"), "--character-stats",
                                      "--output-dir", dir.filePath("out")} +
                              plays),
        0);
    QCOMPARE(QProcess::execute(PLOTLOOM_BATCH_TOOL,
                               QStringList{"--jobs", "2", "--summary", dir.filePath("two.csv"),
                                           "--output-dir", dir.filePath("out")} +
                                   plays),
             0);
    QByteArray one = readFile(dir.filePath("one.csv"));
    QCOMPARE(readFile(dir.filePath("two.csv")), one);
    QCOMPARE(readFile(dir.filePath("two-files.csv")), readFile(dir.filePath("one-files.csv")));

    // name -> screenplays, instances, scenes, first, last. Without included characters every
    // instance is a speaker line, so a screenplay's speeches are its characters' instances.
    QMap<QString, QStringList> sums;
    const QVector<QStringList> files = csvRows(readFile(dir.filePath("one-files.csv")));
    QCOMPARE(files.size(), plays.size() + 1);
    for (int i = 0; i < plays.size(); ++i) {
        QCOMPARE(files.at(i + 1).value(0), plays.at(i));
        const QString stats =
            dir.filePath("out/" + QFileInfo(plays.at(i)).fileName()) + "-character.csv";
        const QStringList lines = QString::fromLatin1(readFile(stats)).split('\n').mid(1);
        int speakers = 0;
        int speeches = 0;
        for (const QString &line : lines) {
            // The name may hold commas; the six figures after it do not.
            QStringList fields = line.split(',');
            if (fields.size() < 8)
                continue;
            const QString name = fields.mid(0, fields.size() - 7).join(',').chopped(1);
            const int instances = fields.at(fields.size() - 5).toInt();
            speakers += instances > 0;
            speeches += instances;
            QStringList &sum = sums[name];
            if (sum.isEmpty())
                sum = QStringList{"0", "0", "0", plays.at(i), ""};
            sum[0] = QString::number(sum[0].toInt() + 1);
            sum[1] = QString::number(sum[1].toInt() + instances);
            sum[2] = QString::number(sum[2].toInt() + fields.at(fields.size() - 7).toInt());
            sum[4] = plays.at(i);
        }
        const QStringList expected{QString::number(lines.size() - 1), QString::number(speakers),
                                   QString::number(speeches)};
        QCOMPARE(QStringList(files.at(i + 1).mid(1, 1) + files.at(i + 1).mid(4)), expected);
    }
    const QVector<QStringList> totals = csvRows(one);
    QCOMPARE(totals.value(0),
             QString("Character,Screenplays,Instances,Scenes,First,Last").split(','));
    QMap<QString, QStringList> summed;
    for (const QStringList &row : totals.mid(1)) {
        QCOMPARE(row.size(), 6);
        QStringList &sum = summed[QString::fromLatin1(row.at(0).toLatin1())];
        if (sum.isEmpty())
            sum = row.mid(1);
        else // names that only differ outside Latin-1
            for (int k : {0, 1, 2})
                sum[k] = QString::number(sum.at(k).toInt() + row.at(k + 1).toInt());
    }
    QCOMPARE(summed.size(), sums.size());
    QCOMPARE(summed, sums);
}

QTEST_MAIN(TestBatchTool)
#include "tst_batchtool.moc"
