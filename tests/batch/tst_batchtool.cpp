// SPDX-License-Identifier: MIT
#include "corpus.h"
#include "screenplayanalysis.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

struct Run {
    int status = -1;
    QString out;
    QString err;
};

// Runs the tool in folder with the given arguments; display false takes the display away.
Run runTool(const QString &folder, const QStringList &arguments, bool display = true)
{
    QProcess process;
    process.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!display) {
        env.remove(QStringLiteral("DISPLAY"));
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
    }
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(PLOTLOOM_BATCH_TOOL), arguments);
    Run run;
    if (!process.waitForFinished(120000))
        return run;
    run.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -2;
    run.out = QString::fromLocal8Bit(process.readAllStandardOutput());
    run.err = QString::fromLocal8Bit(process.readAllStandardError());
    return run;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

const QByteArray play = QByteArray(15, ' ') + "INT. ROOM - DAY\n" + QByteArray(37, ' ') +
                        "ANN\n" + QByteArray(25, ' ') + "Hello, Bob.\n" + QByteArray(37, ' ') +
                        "BOB\n" + QByteArray(25, ' ') + "Hello.\n" + QByteArray(15, ' ') +
                        "EXT. YARD - NIGHT\n" + QByteArray(37, ' ') + "ANN\n" +
                        QByteArray(25, ' ') + "Bye.\n";

} // namespace

class TestBatchTool : public QObject {
    Q_OBJECT
private slots:
    void init();
    void usageErrors_data();
    void usageErrors();
    void helpAndVersion();
    void defaultWritesBothStatistics();
    void outputsEqualTheAnalysis();
    void parallelEqualsSerial();
    void failuresNamedAndCounted();
    void imageNeedsDisplay();
    void corpusThroughput();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void TestBatchTool::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    writeFile(path("play.txt"), play);
    writeFile(path("breakStrings.txt"), "int.\next.\n");
    writeFile(path("colors.txt"), "255 0 0\n0 0 255\n");
}

void TestBatchTool::usageErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");
    QTest::newRow("no screenplay") << QStringList{} << "no screenplay given";
    QTest::newRow("unknown option") << QStringList{"--colour", "play.txt"} << "Unknown option";
    QTest::newRow("unknown mode") << QStringList{"--mode", "spiral", "play.txt"}
                                  << "unknown mode 'spiral'";
    QTest::newRow("bad size") << QStringList{"--size", "1024", "play.txt"} << "bad size '1024'";
    QTest::newRow("no jobs") << QStringList{"--jobs", "0", "play.txt"} << "bad job count '0'";
    QTest::newRow("missing settings") << QStringList{"--settings", "nowhere", "play.txt"}
                                      << "no settings folder 'nowhere'";
    QTest::newRow("missing output folder") << QStringList{"--output-dir", "nowhere", "play.txt"}
                                           << "no output folder 'nowhere'";
}

void TestBatchTool::usageErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    const Run run = runTool(m_dir->path(), arguments);
    QCOMPARE(run.status, 2);
    QVERIFY2(run.err.contains(message), qPrintable(run.err));
    QVERIFY(run.err.contains("plotloom-batch --help"));
    QVERIFY(!QFile::exists(path("play.txt-scene.csv")));
}

void TestBatchTool::helpAndVersion()
{
    const Run help = runTool(m_dir->path(), {"--help"});
    QCOMPARE(help.status, 0);
    for (const char *option : {"--scene-stats", "--character-stats", "--markup", "--image",
                               "--mode", "--size", "--settle", "--settings", "--output-dir",
                               "--jobs", "--version"})
        QVERIFY2(help.out.contains(QLatin1String(option)), option);
    QVERIFY(!help.out.contains("--child"));
    const Run version = runTool(m_dir->path(), {"--version"});
    QCOMPARE(version.status, 0);
    QCOMPARE(version.out.trimmed(), QStringLiteral("plotloom-batch 0.1"));
}

void TestBatchTool::defaultWritesBothStatistics()
{
    QFile::remove(path("breakStrings.txt"));
    const Run run = runTool(m_dir->path(), {"play.txt"}, false);
    QCOMPARE(run.status, 0);
    QVERIFY(QFile::exists(path("play.txt-scene.csv")));
    QVERIFY(QFile::exists(path("play.txt-character.csv")));
    QVERIFY(!QFile::exists(path("play.txt.html")));
    QVERIFY(run.err.contains("no breakStrings.txt"));
    QVERIFY(run.err.contains("[1/1] play.txt: 2 characters, 3 scenes"));
}

void TestBatchTool::outputsEqualTheAnalysis()
{
    // The tool reads its settings from --settings and writes where --output-dir says, with the
    // bytes the window's exports write for the same screenplay and settings.
    QDir(m_dir->path()).mkdir("settings");
    QDir(m_dir->path()).mkdir("out");
    for (const char *name : {"breakStrings.txt", "colors.txt"})
        QVERIFY(QFile::rename(path(name), path(QStringLiteral("settings/") + name)));
    writeFile(path("settings/config.txt"), "NumberSteps 20\n");
    const Run run = runTool(m_dir->path(), {"--scene-stats", "--character-stats", "--markup",
                                            "--settings", "settings", "--output-dir", "out",
                                            "play.txt"});
    QCOMPARE(run.status, 0);

    QDir::setCurrent(path("settings"));
    ScreenplayAnalysis a;
    a.loadSettings();
    a.loadBreakStrings(QStringLiteral("breakStrings.txt"));
    a.openScreenplay(path("play.txt"));
    a.loadSettings();
    a.buildModel();
    QCOMPARE(readFile(path("out/play.txt-scene.csv")), a.sceneStats());
    QCOMPARE(readFile(path("out/play.txt-character.csv")), a.characterStats());
    QCOMPARE(readFile(path("out/play.txt.html")), a.markupDocument());
    QVERIFY(readFile(path("out/play.txt.html")).contains("span.ANN{ color: #ff0000 }"));
    QDir::setCurrent(QDir::tempPath());
}

void TestBatchTool::parallelEqualsSerial()
{
    REQUIRE_CORPUS();
    QDir(m_dir->path()).mkdir("serial");
    QDir(m_dir->path()).mkdir("parallel");
    QStringList plays;
    for (const char *name : {"trelby-sample-excerpt.txt", "cyber-bob-ep1-traffic-control-dogs.fountain",
                             "utf8-bom-crlf-snippet.fountain"})
        plays.append(corpusFile(QLatin1String(name)));
    const QStringList options{"--scene-stats", "--character-stats", "--markup", "--image",
                              "--size", "320x240", "--settle", "5"};
    const Run serial = runTool(m_dir->path(), options + QStringList{"--output-dir", "serial"} + plays);
    const Run parallel = runTool(m_dir->path(), options + QStringList{"--jobs", "2", "--output-dir",
                                                                      "parallel"} + plays);
    QCOMPARE(serial.status, 0);
    QCOMPARE(parallel.status, 0);
    QCOMPARE(parallel.err.count('\n'), serial.err.count('\n'));
    const QStringList outputs = QDir(path("serial")).entryList(QDir::Files);
    QCOMPARE(outputs.size(), 12);
    for (const QString &name : outputs)
        QVERIFY2(readFile(path("serial/" + name)) == readFile(path("parallel/" + name)),
                 qPrintable(name));
    QVERIFY(QImage(path("serial/trelby-sample-excerpt.txt.png")).size() == QSize(320, 240));
}

void TestBatchTool::failuresNamedAndCounted()
{
    QDir(m_dir->path()).mkdir("folder");
    QDir(m_dir->path()).mkdir("blocked");
    // An output path taken by a folder cannot be written.
    QDir(m_dir->path()).mkdir("play.txt-scene.csv");
    const Run run = runTool(m_dir->path(), {"missing.txt", "folder", "play.txt"});
    QCOMPARE(run.status, 1);
    QVERIFY(run.err.contains("[1/3] missing.txt: error: no such file"));
    QVERIFY(run.err.contains("[2/3] folder: error: is a folder"));
    QVERIFY(run.err.contains("[3/3] play.txt: error: cannot write"));
    QVERIFY(QFile::exists(path("play.txt-character.csv"))); // the other output is written
}

void TestBatchTool::imageNeedsDisplay()
{
    const Run run = runTool(m_dir->path(), {"--image", "--scene-stats", "play.txt"}, false);
    QCOMPARE(run.status, 1);
    QVERIFY(run.err.contains("--image needs a display"));
    QVERIFY(QFile::exists(path("play.txt-scene.csv")));
    QVERIFY(!QFile::exists(path("play.txt.png")));
}

void TestBatchTool::corpusThroughput()
{
    REQUIRE_CORPUS();
    const Run run = runTool(m_dir->path(), corpusScreenplays() + QStringList{"--output-dir", "."},
                            false);
    QCOMPARE(run.status, 0);
    QCOMPARE(run.err.count(QStringLiteral(" characters, ")), corpusScreenplays().size());
}

QTEST_MAIN(TestBatchTool)
#include "tst_batchtool.moc"
