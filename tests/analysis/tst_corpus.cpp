// SPDX-License-Identifier: MIT
#include "corpus.h"
#include "screenplayanalysis.h"

#include <QTemporaryDir>
#include <QtTest>

// Every real screenplay goes through reading, discovery, markup and both exports.
class TestCorpus : public QObject {
    Q_OBJECT
private slots:
    void init();
    void wholePipeline_data();
    void wholePipeline();
    void hisGirlFridayPrincipals();

private:
    QTemporaryDir m_dir;
};

void TestCorpus::init()
{
    REQUIRE_CORPUS();
    QVERIFY(m_dir.isValid());
    QDir::setCurrent(m_dir.path());
}

void TestCorpus::wholePipeline_data()
{
    QTest::addColumn<QString>("path");
    for (const QString &path : corpusScreenplays())
        QTest::newRow(qPrintable(QFileInfo(path).fileName())) << path;
}

void TestCorpus::wholePipeline()
{
    QFETCH(QString, path);
    ScreenplayAnalysis a;
    a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.openScreenplay(path);
    QVERIFY(!a.lines.isEmpty());
    a.buildModel();

    const QVector<TimeIndex *> &scenes = a.characterList->timeIndices;
    QVERIFY(!scenes.isEmpty());
    QCOMPARE(scenes.first()->start, 0.0f);
    QCOMPARE(scenes.last()->stop, 1.0f);
    for (int i = 1; i < scenes.size(); ++i)
        QCOMPARE(scenes.at(i)->start, scenes.at(i - 1)->stop);
    for (const TimeIndex *s : scenes)
        QVERIFY(s->counts.size() <= a.characterList->characters.size());
    QVERIFY(a.markup.startsWith(QLatin1String("<div class='scene'>")));
    QVERIFY(a.markup.endsWith(QLatin1String("<br></div>")));

    a.writeSceneStats(QStringLiteral("scene.csv"));
    a.writeCharacterStats(QStringLiteral("character.csv"));
    QFile scene(QStringLiteral("scene.csv"));
    QVERIFY(scene.open(QIODevice::ReadOnly));
    const QList<QByteArray> sceneLines = scene.readAll().split('\n');
    QCOMPARE(sceneLines.size(), scenes.size() + 2); // header, scenes, empty piece after the last
    QFile character(QStringLiteral("character.csv"));
    QVERIFY(character.open(QIODevice::ReadOnly));
    QCOMPARE(character.readAll().count('\n'), a.characterList->characters.size() + 1);
}

void TestCorpus::hisGirlFridayPrincipals()
{
    ScreenplayAnalysis a;
    a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.openScreenplay(corpusFile(QStringLiteral("his-girl-friday-1940.txt")));
    QVERIFY(a.characters.size() >= 20);
    QCOMPARE(a.characterSpaces, 37);
    QCOMPARE(a.characters.at(0)->names, QStringList{QStringLiteral("HILDY")});
    QCOMPARE(a.characters.at(1)->names, QStringList{QStringLiteral("BURNS")});
    a.buildModel();
    QVERIFY(a.characterList->timeIndices.size() > 20);
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
