// SPDX-License-Identifier: MIT
#include "asuser.h"
#include "screenplayanalysis.h"
#include "stdoutcapture.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The whole analysis of one file, with both exports and the saved markup.
void analyse(ScreenplayAnalysis &a, const QString &path)
{
    a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.openScreenplay(path);
    a.buildModel();
    a.sceneStats();
    a.characterStats();
    a.markupDocument();
}

} // namespace

class TestOddInput : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void singleTenMegabyteLine();
    void fiveThousandSpeakers();
    void nulBytes();
    void folderOrUnreadableScreenplay();
    void settingsFilesThatAreFolders();
    void readOnlyFolderKeepsPreviousFile();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void TestOddInput::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // Open to other users, so that a test acting as one can reach what it is given.
    ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
    QDir::setCurrent(m_dir->path());
}

void TestOddInput::cleanup()
{
    QDir::setCurrent(QDir::tempPath());
}

void TestOddInput::singleTenMegabyteLine()
{
    QByteArray line;
    line.reserve(10 * 1024 * 1024);
    while (line.size() < 10 * 1024 * 1024)
        line += "JOHN said INT to Mary and   [12] then <b>left</b> ";
    writeFile(path("long.txt"), line + '\n');
    ScreenplayAnalysis a;
    a.characters.clear();
    analyse(a, path("long.txt"));
    QCOMPARE(a.lines.size(), 1);
    // The first INT opens a heading that runs to the line's last word.
    QCOMPARE(a.characterList->timeIndices.size(), 2);
    QCOMPARE(a.characterList->timeIndices.last()->stop, 1.0f);
}

void TestOddInput::fiveThousandSpeakers()
{
    QByteArray text;
    for (int i = 0; i < 5000; ++i) {
        const QByteArray name = "SPEAKER" + QByteArray::number(i);
        text += QByteArray(37, ' ') + name + "\n" + QByteArray(25, ' ') + "Hello " + name +
                ".\n" + QByteArray(37, ' ') + name + "\n";
        if (i % 100 == 0)
            text += QByteArray(15, ' ') + "INT. ROOM " + QByteArray::number(i) + "\n";
    }
    writeFile(path("crowd.txt"), text);
    ScreenplayAnalysis a;
    analyse(a, path("crowd.txt"));
    QCOMPARE(a.characters.size(), 5000);
    QCOMPARE(a.characterList->timeIndices.size(), 51);
    QCOMPARE(a.characterStats().count('\n'), 5001);
}

void TestOddInput::nulBytes()
{
    writeFile(path("nul.txt"), QByteArray(1024 * 1024, '\0'));
    ScreenplayAnalysis a;
    analyse(a, path("nul.txt"));
    QVERIFY(a.characters.isEmpty());
    QCOMPARE(a.characterList->timeIndices.size(), 1);
}

void TestOddInput::folderOrUnreadableScreenplay()
{
    QDir(m_dir->path()).mkdir("folder.txt");
    writeFile(path("secret.txt"), QByteArray(37, ' ') + "JOHN\n");
    ::chmod(QFile::encodeName(path("secret.txt")).constData(), 0);
    for (const QString &name : {QStringLiteral("folder.txt"), QStringLiteral("secret.txt")}) {
        ScreenplayAnalysis a;
        {
            UnprivilegedScope user;
            analyse(a, path(name));
        }
        QCOMPARE(a.lines, QStringList{"file not found\n"});
        QVERIFY(a.characters.isEmpty());
    }
}

void TestOddInput::settingsFilesThatAreFolders()
{
    for (const char *name : {"config.txt", "breakStrings.txt", "characters.txt", "colors.txt"})
        QDir(m_dir->path()).mkdir(QLatin1String(name));
    writeFile(path("play.txt"), QByteArray(37, ' ') + "JOHN\n" + QByteArray(37, ' ') + "MARY\n");
    ScreenplayAnalysis a;
    QVERIFY(!a.loadSettings());
    QVERIFY(!a.loadBreakStrings(QStringLiteral("breakStrings.txt")));
    analyse(a, path("play.txt"));
    QCOMPARE(a.minCharacterSpaces, 15);
    QCOMPARE(a.characters.size(), 2);
    StdoutCapture out;
    QVERIFY(!a.saveColors(QStringLiteral("colors.txt")));
    QCOMPARE(out.lines(), QStringList{"could not write colors.txt"});
    QVERIFY(QFileInfo(path("colors.txt")).isDir());
}

void TestOddInput::readOnlyFolderKeepsPreviousFile()
{
    QDir(m_dir->path()).mkdir("locked");
    writeFile(path("play.txt"), QByteArray(37, ' ') + "JOHN\n" + QByteArray(37, ' ') + "MARY\n");
    writeFile(path("locked/scene.csv"), "previous\n");
    ::chmod(QFile::encodeName(path("locked/scene.csv")).constData(), 0666);
    ::chmod(QFile::encodeName(path("locked")).constData(), 0555);
    ScreenplayAnalysis a;
    analyse(a, path("play.txt"));
    QStringList printed;
    {
        UnprivilegedScope user;
        StdoutCapture out;
        a.writeSceneStats(path("locked/scene.csv"));
        a.writeCharacterStats(path("locked/character.csv"));
        printed = out.lines();
    }
    QCOMPARE(printed, (QStringList{"file not found", "file not found"}));
    QCOMPARE(readFile(path("locked/scene.csv")), QByteArray("previous\n"));
    QVERIFY(!QFile::exists(path("locked/character.csv")));
    ::chmod(QFile::encodeName(path("locked")).constData(), 0755);
}

QTEST_GUILESS_MAIN(TestOddInput)
#include "tst_oddinput.moc"
