// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "corpus.h"

#include <QTemporaryDir>

// Every real screenplay goes through reading, discovery, markup and both exports.
class TestCorpus : public QObject {
    Q_OBJECT
private slots:
    void init();
    void wholePipeline_data();
    void wholePipeline();
    void hisGirlFriday();

private:
    QTemporaryDir m_dir;
};

void TestCorpus::init()
{
    REQUIRE_CORPUS();
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
    openAndParse(a, path);
    QVERIFY(!a.lines.isEmpty());

    // The scenes cover the text from 0 to 1 without gaps.
    const QVector<TimeIndex *> &scenes = a.characterList->timeIndices;
    QVERIFY(!scenes.isEmpty());
    QCOMPARE(scenes.first()->start, 0.0f);
    QCOMPARE(scenes.last()->stop, 1.0f);
    for (int i = 1; i < scenes.size(); ++i)
        QCOMPARE(scenes.at(i)->start, scenes.at(i - 1)->stop);
    QVERIFY(a.markup.startsWith(QLatin1String("<div class='scene'>")));
    QVERIFY(a.markup.endsWith(QLatin1String("<br></div>")));

    a.writeSceneStats(QStringLiteral("scene.csv"));
    a.writeCharacterStats(QStringLiteral("character.csv"));
    QCOMPARE(readFile(QStringLiteral("scene.csv")).count('\n'), scenes.size() + 1);
    QCOMPARE(readFile(QStringLiteral("character.csv")).count('\n'),
             a.characterList->characters.size() + 1);
}

// HILDY and BURNS lead the plain text. The archive site's page of it is the same text in a <pre>
// block with <b> before every cue; both must give the same characters and scenes. THE REPORTERS
// is present where the reporters are named, not wherever "the" is.
void TestCorpus::hisGirlFriday()
{
    ScreenplayAnalysis text;
    ScreenplayAnalysis page;
    openAndParse(text, corpusFile(QStringLiteral("his-girl-friday-1940.txt")));
    openAndParse(page, corpusFile(QStringLiteral("his-girl-friday-1940.html")));
    QVERIFY(text.characters.size() >= 20);
    QCOMPARE(text.characters.at(0)->names, QStringList{"HILDY"});
    QCOMPARE(text.characters.at(1)->names, QStringList{"BURNS"});
    QCOMPARE(text.characterSpaces, 37);
    QCOMPARE(page.characterSpaces, text.characterSpaces);
    QCOMPARE(castSummary(page.characters), castSummary(text.characters));
    const int reporters = text.characters.indexOf(text.addCharacter({"THE", "REPORTERS"}));
    int reportersPresent = 0;
    for (const TimeIndex *scene : text.characterList->timeIndices)
        reportersPresent += scene->counts.value(reporters) > 0;
    QVERIFY2(reportersPresent > 0 && reportersPresent <= 10,
             qPrintable(QString::number(reportersPresent)));

    const QVector<TimeIndex *> &textScenes = text.characterList->timeIndices;
    const QVector<TimeIndex *> &pageScenes = page.characterList->timeIndices;
    QVERIFY(textScenes.size() > 20);
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
