// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "asuser.h"
#include "stdoutcapture.h"

#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

void setMode(const QString &path, mode_t mode)
{
    ::chmod(QFile::encodeName(path).constData(), mode);
}

const QByteArray twoSpeakers = QByteArray(37, ' ') + "JOHN\n" + QByteArray(37, ' ') + "MARY\n";

} // namespace

class TestOddInput : public QObject {
    Q_OBJECT
private slots:
    void init();
    void screenplays_data();
    void screenplays();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString path(const QString &name) const { return m_dir->filePath(name); }
};

void TestOddInput::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // Open to other users, so that a test acting as one can reach what it is given.
    setMode(m_dir->path(), 0755);
    QDir::setCurrent(m_dir->path());
}

// Huge, strange or unreadable screenplays go through the whole analysis; one that cannot be read
// gives the line "file not found".
void TestOddInput::screenplays_data()
{
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("mode"); // file permissions, or -1 for a folder of that name
    QTest::addColumn<int>("characters");
    QTest::addColumn<int>("scenes");

    // The first INT opens a heading that runs to the line's last word.
    QByteArray line;
    while (line.size() < 10 * 1024 * 1024)
        line += "JOHN said INT to Mary and   [12] then <b>left</b> ";
    QTest::newRow("a single 10 MB line") << line + '\n' << 0644 << 0 << 2;

    QByteArray crowd;
    for (int i = 0; i < 5000; ++i) {
        const QByteArray name = "SPEAKER" + QByteArray::number(i);
        crowd += QByteArray(37, ' ') + name + "\n" + QByteArray(25, ' ') + "Hello " + name + ".\n" +
                 QByteArray(37, ' ') + name + "\n";
        if (i % 100 == 0)
            crowd += QByteArray(15, ' ') + "INT. ROOM " + QByteArray::number(i) + "\n";
    }
    QTest::newRow("5,000 distinct speakers") << crowd << 0644 << 5000 << 51;
    QTest::newRow("1 MB of NUL bytes") << QByteArray(1024 * 1024, '\0') << 0644 << 0 << 1;
    QTest::newRow("a folder") << QByteArray() << -1 << 0 << 1;
    QTest::newRow("an unreadable file") << twoSpeakers << 0 << 0 << 1;
}

void TestOddInput::screenplays()
{
    QFETCH(QByteArray, text);
    QFETCH(int, mode);
    QFETCH(int, characters);
    QFETCH(int, scenes);
    if (mode < 0) {
        QDir(m_dir->path()).mkdir("play.txt");
    } else {
        writeFile(path("play.txt"), text);
        setMode(path("play.txt"), mode_t(mode));
    }
    ScreenplayAnalysis a;
    {
        UnprivilegedScope user;
        openAndParse(a, path("play.txt"));
    }
    if (mode <= 0)
        QCOMPARE(a.lines, QStringList{"file not found\n"});
    QCOMPARE(a.characters.size(), characters);
    QCOMPARE(a.characterList->timeIndices.size(), scenes);
    QCOMPARE(a.characterList->timeIndices.last()->stop, 1.0f);
    QCOMPARE(a.characterStats().count('\n'), characters + 1);
    QCOMPARE(a.sceneStats().count('\n'), scenes + 1);
    QVERIFY(a.markupDocument().endsWith("</div>"));
}

QTEST_GUILESS_MAIN(TestOddInput)
#include "tst_oddinput.moc"
