// SPDX-License-Identifier: MIT
#include "screenplayanalysis.h"
#include "stdoutcapture.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void addScene(CharacterList *list, float start, float stop, const QString &type,
              const QVector<int> &counts, const QVector<int> &pages)
{
    auto *s = new TimeIndex;
    s->start = start;
    s->stop = stop;
    s->type = type;
    s->counts = counts;
    s->pages = pages;
    list->timeIndices.append(s);
}

// A 200-line text with five scenes, a two-word name, a Latin-1 name, a name outside Latin-1
// and a character who never appears.
void buildModel(ScreenplayAnalysis &a)
{
    for (int i = 0; i < 200; ++i)
        a.lines.append(QString());
    const QStringList names{"JOHN", "MRS SMITH", QString::fromUtf8("ÉMILE"),
                            QString::fromUtf8("ΖΕΔ")};
    for (const QString &name : names)
        a.characters.append(a.newCharacter(name.split(' ')));
    a.characters.at(0)->numInstances = 7;
    a.characters.at(1)->numInstances = 3;
    a.characterList = new CharacterList(a.characters);
    CharacterList *l = a.characterList;
    addScene(l, 0.0f, 1.0f / 3.0f, "START", {2, 0, 0, 0}, {});
    addScene(l, 1.0f / 3.0f, 0.5f, "INT", {0, 1, 0, 0}, {3, 4});
    addScene(l, 0.5f, 0.75f, "EXT", {3, 0, 1, 0}, {4});
    addScene(l, 0.75f, 0.9f, "USER_SET", {1, 2, 0, 0}, {4, 5});
    addScene(l, 0.9f, 1.0f, "fight", {0, 0, 0, 0}, {});
}

} // namespace

class TestStats : public QObject {
    Q_OBJECT
private slots:
    void init();
    void golden_data();
    void golden();
    void characterFieldsStored();
    void noModelWritesHeader();
    void noScenes();
    void truncatedLineCount();
    void unopenableFile();

private:
    QTemporaryDir m_dir;
};

void TestStats::init()
{
    QDir::setCurrent(m_dir.path());
}

void TestStats::golden_data()
{
    QTest::addColumn<bool>("scenes");
    QTest::addColumn<QString>("golden");
    QTest::newRow("scene statistics") << true << "stats/scene.csv";
    QTest::newRow("character statistics") << false << "stats/character.csv";
}

void TestStats::golden()
{
    QFETCH(bool, scenes);
    QFETCH(QString, golden);
    ScreenplayAnalysis a;
    buildModel(a);
    const QString out = QStringLiteral("out.csv");
    for (int round = 0; round < 2; ++round) { // a second export writes the same bytes
        if (scenes)
            a.writeSceneStats(out);
        else
            a.writeCharacterStats(out);
        QCOMPARE(readFile(out), readFile(QStringLiteral(PLOTLOOM_TEST_DATA "/") + golden));
    }
}

void TestStats::characterFieldsStored()
{
    ScreenplayAnalysis a;
    buildModel(a);
    a.characterStats();
    const Character *john = a.characters.at(0);
    QCOMPARE(john->numScenes, 3);
    QCOMPARE(john->numDialogueLines, 6);
    QCOMPARE(john->start, 0.0f);
    QCOMPARE(john->stop, 0.9f);
    const Character *absent = a.characters.at(3);
    QCOMPARE(absent->numScenes, 0);
    QCOMPARE(absent->start, -1.0f);
    QCOMPARE(absent->stop, -1.0f);
}

void TestStats::noModelWritesHeader()
{
    ScreenplayAnalysis a;
    a.writeSceneStats(QStringLiteral("scene.csv"));
    a.writeCharacterStats(QStringLiteral("character.csv"));
    QCOMPARE(readFile(QStringLiteral("scene.csv")),
             QByteArray("SceneNumber,Type,NumCharacters,Start,Stop,Length,NumLines,startPage,"
                        "endPage,Characters,\n"));
    QCOMPARE(readFile(QStringLiteral("character.csv")),
             QByteArray("characters,NumScenes,NumDialogueLines,NumInstances,PerInvolved,Start,"
                        "Stop,\n"));
}

void TestStats::noScenes()
{
    ScreenplayAnalysis a;
    a.characters = {a.newCharacter({QStringLiteral("JOHN")})};
    a.characters.first()->numInstances = 7;
    a.characterList = new CharacterList(a.characters);
    QCOMPARE(a.characterStats().split('\n').at(1), QByteArray("JOHN ,0,0,7,0,-1,-1,"));
    QCOMPARE(a.sceneStats().count('\n'), 1);
}

void TestStats::truncatedLineCount()
{
    ScreenplayAnalysis a;
    for (int i = 0; i < 25; ++i)
        a.lines.append(QString());
    a.characterList = new CharacterList;
    addScene(a.characterList, 0.0f, 0.1f, "START", {}, {12});
    QCOMPARE(a.sceneStats().split('\n').at(1), QByteArray("0,START,0,0,0.1,0.1,2,12,12,,"));
}

void TestStats::unopenableFile()
{
    ScreenplayAnalysis a;
    buildModel(a);
    StdoutCapture out;
    a.writeSceneStats(QString());
    a.writeCharacterStats(m_dir.path());
    QCOMPARE(out.lines(), (QStringList{"file not found", "file not found"}));
    QCOMPARE(a.characters.at(0)->numScenes, 0); // nothing computed
}

QTEST_GUILESS_MAIN(TestStats)
#include "tst_stats.moc"
