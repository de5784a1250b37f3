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
    void archivePageMatchesPlainText();

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

// The archive site's page of a screenplay is its plain text in a <pre> block with <b> before
// every cue; both must give the same characters and scenes.
void TestCorpus::archivePageMatchesPlainText()
{
    ScreenplayAnalysis text;
    ScreenplayAnalysis page;
    for (ScreenplayAnalysis *a : {&text, &page})
        a->breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    text.openScreenplay(corpusFile(QStringLiteral("his-girl-friday-1940.txt")));
    page.openScreenplay(corpusFile(QStringLiteral("his-girl-friday-1940.html")));
    QCOMPARE(page.characterSpaces, text.characterSpaces);
    QCOMPARE(page.characters.size(), text.characters.size());
    for (int i = 0; i < text.characters.size(); ++i) {
        QCOMPARE(page.characters.at(i)->names, text.characters.at(i)->names);
        QCOMPARE(page.characters.at(i)->numInstances, text.characters.at(i)->numInstances);
    }

    text.buildModel();
    page.buildModel();
    const QVector<TimeIndex *> &textScenes = text.characterList->timeIndices;
    const QVector<TimeIndex *> &pageScenes = page.characterList->timeIndices;
    QCOMPARE(pageScenes.size(), textScenes.size());
    // The page has a few more lines (its head and foot), so positions differ by a little.
    const float shift = 20.0f / text.lines.size();
    for (int i = 0; i < textScenes.size(); ++i) {
        QCOMPARE(pageScenes.at(i)->type, textScenes.at(i)->type);
        QCOMPARE(pageScenes.at(i)->counts, textScenes.at(i)->counts);
        QVERIFY(qAbs(pageScenes.at(i)->start - textScenes.at(i)->start) < shift);
    }
}

QTEST_GUILESS_MAIN(TestCorpus)
#include "tst_corpus.moc"
