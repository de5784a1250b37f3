// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "stdoutcapture.h"

#include <QTemporaryDir>

namespace {

// A 200-line text with five scenes, a two-word name, a Latin-1 name, a name outside Latin-1
// and a character who never appears.
void buildModel(ScreenplayAnalysis &a)
{
    a.lines = QString(199, '\n').split('\n');
    for (const char *name : {"JOHN", "MRS SMITH", "ÉMILE", "ΖΕΔ"})
        a.characters.append(a.newCharacter(QString::fromUtf8(name).split(' ')));
    a.characters.at(0)->numInstances = 7;
    a.characters.at(1)->numInstances = 3;
    a.characterList = new CharacterList(a.characters);
    const float starts[] = {0.0f, 1.0f / 3.0f, 0.5f, 0.75f, 0.9f};
    const char *types[] = {"START", "INT", "EXT", "USER_SET", "fight"};
    const QVector<QVector<int>> counts{
        {2, 0, 0, 0}, {0, 1, 0, 0}, {3, 0, 1, 0}, {1, 2, 0, 0}, {0, 0, 0, 0}};
    const QVector<QVector<int>> pages{{}, {3, 4}, {4}, {4, 5}, {}};
    for (int i = 0; i < 5; ++i) {
        TimeIndex *s = a.characterList->openScene(starts[i], types[i]);
        s->counts = counts[i];
        s->pages = pages[i];
    }
    a.characterList->timeIndices.last()->stop = 1.0f;
}

} // namespace

class TestStats : public QObject {
    Q_OBJECT
private slots:
    void init();
    void exports_data();
    void exports();
    void cancelledDialog();

private:
    QTemporaryDir m_dir;
};

void TestStats::init()
{
    QDir::setCurrent(m_dir.path());
}

void TestStats::exports_data()
{
    QTest::addColumn<bool>("scenes");
    QTest::addColumn<bool>("parsed");
    QTest::addColumn<QByteArray>("expected");
    const QString data = QStringLiteral(PLOTLOOM_TEST_DATA);
    QTest::newRow("scene statistics") << true << true << readFile(data + "/stats/scene.csv");
    QTest::newRow("character statistics")
        << false << true << readFile(data + "/stats/character.csv");
    // Exports before any parse write the header line alone.
    QTest::newRow("scene header only")
        << true << false
        << QByteArray("SceneNumber,Type,NumCharacters,Start,Stop,"
                      "Length,NumLines,startPage,endPage,Characters,\n");
    QTest::newRow("character header only")
        << false << false
        << QByteArray(
               "characters,NumScenes,NumDialogueLines,NumInstances,PerInvolved,Start,Stop,\n");
}

void TestStats::exports()
{
    QFETCH(bool, scenes);
    QFETCH(bool, parsed);
    QFETCH(QByteArray, expected);
    ScreenplayAnalysis a;
    if (parsed)
        buildModel(a);
    const QString out = QStringLiteral("out.csv");
    for (int round = 0; round < 2; ++round) { // a second export writes the same bytes
        if (scenes)
            a.writeSceneStats(out);
        else
            a.writeCharacterStats(out);
        QCOMPARE(readFile(out), expected);
    }
}

// An empty name (a cancelled file dialog) is reported at once.
void TestStats::cancelledDialog()
{
    ScreenplayAnalysis a;
    StdoutCapture out;
    a.writeSceneStats(QString());
    QCOMPARE(out.lines(), QStringList{"file not found"});
}

QTEST_GUILESS_MAIN(TestStats)
#include "tst_stats.moc"
