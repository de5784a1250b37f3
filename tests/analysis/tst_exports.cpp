// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "corpus.h"
#include "sceneheading.h"
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

class TestExports : public QObject {
    Q_OBJECT
private slots:
    void init();
    void statistics_data();
    void statistics();
    void cancelledDialog();
    void goldenFiles_data();
    void goldenFiles();
    void headings_data();
    void headings();
    void barrier15Headings_data();
    void barrier15Headings();

private:
    QTemporaryDir m_dir;
};

void TestExports::init()
{
    QDir::setCurrent(m_dir.path());
}

void TestExports::statistics_data()
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

void TestExports::statistics()
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

// An empty name (a cancelled file dialog) is reported at once, once per export, and writes
// no edge list named "-edges.csv".
void TestExports::cancelledDialog()
{
    ScreenplayAnalysis a;
    StdoutCapture out;
    a.writeSceneStats(QString());
    a.writeSceneBreakdown(QString());
    a.writeCharacterNetwork(QString());
    QCOMPARE(out.lines(), QStringList({"file not found", "file not found", "file not found"}));
    QVERIFY(!QFile::exists("-edges.csv"));
}

// A plain-text and a Fountain screenplay: speakers by their speaker lines or cues, exchanges
// (A B A A B makes three), characters present without speaking, one who links the others, in the
// Fountain one a character who shares no scene; a name outside ASCII; headings with a comma,
// quotes, a qualifier, a forced one. Colours are fixed by colors.txt. With nothing parsed, the
// headers alone and a graph without nodes.
void TestExports::goldenFiles_data()
{
    QTest::addColumn<QString>("screenplay");
    QTest::newRow("plain text") << "two-rooms.txt";
    QTest::newRow("Fountain") << "two-rooms.fountain";
    QTest::newRow("nothing parsed") << "";
}

void TestExports::goldenFiles()
{
    QFETCH(QString, screenplay);
    const QString data = QStringLiteral(PLOTLOOM_TEST_DATA "/exports/");
    writeFile("colors.txt", "200 40 40\n40 40 200\n40 160 40\n10 20 30\n");
    ScreenplayAnalysis a;
    if (!screenplay.isEmpty())
        openAndParse(a, data + screenplay);
    const QString name = screenplay.isEmpty() ? QStringLiteral("none") : screenplay;
    a.writeSceneBreakdown("breakdown.csv");
    a.writeCharacterNetwork("network.graphml");
    QCOMPARE(readFile("breakdown.csv"), readFile(data + name + "-breakdown.csv"));
    QCOMPARE(readFile("network.graphml"), readFile(data + name + ".graphml"));
    QCOMPARE(readFile("network-edges.csv"), readFile(data + name + "-edges.csv"));
}

// Heading forms besides those of barrier15 (below), as "setting|location|time of day".
void TestExports::headings_data()
{
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("parts");
    QTest::newRow("double dash without blanks") << "EXT. PARK--DAY"
                                                << "EXT|PARK|DAY";
    QTest::newRow("inside and out") << "INT./EXT. CAR - DAY"
                                    << "INT/EXT|CAR|DAY";
    QTest::newRow("I/E, lower case") << "i/e hall - night"
                                     << "INT/EXT|hall|night";
    QTest::newRow("spelled out, time of several words") << "INTERIOR HOUSE - LATER THAT NIGHT"
                                                        << "INT|HOUSE|LATER THAT NIGHT";
    QTest::newRow("numbered day") << "EXTERIOR ROAD - DAY 2"
                                  << "EXT|ROAD|DAY 2";
    QTest::newRow("establishing shot") << "EST. TOWER - DAWN"
                                       << "|TOWER|DAWN";
    QTest::newRow("hyphen within a word, full stop after the time") << "INT. X-RAY ROOM - DAY."
                                                                    << "INT|X-RAY ROOM|DAY";
    QTest::newRow("last part not a time") << "INT. PRESS ROOM - CRIMINAL COURTS BLDG - DAY CLOSE"
                                          << "INT|PRESS ROOM - CRIMINAL COURTS BLDG - DAY CLOSE|";
    QTest::newRow("a word that starts like a prefix") << "INTERCUT - PHONE"
                                                      << "|INTERCUT - PHONE|";
    QTest::newRow("no prefix, no time") << "FLASHBACK"
                                        << "|FLASHBACK|";
}

void TestExports::headings()
{
    QFETCH(QString, heading);
    QFETCH(QString, parts);
    const SceneHeading h = SceneHeading::parse(heading);
    QCOMPARE(h.setting + '|' + h.location + '|' + h.timeOfDay, parts);
}

// Every heading form of barrier15, as "setting|location|time of day".
void TestExports::barrier15Headings_data()
{
    QTest::addColumn<QString>("heading");
    QTest::addColumn<QString>("parts");
    QTest::newRow("time of day") << "INT. SHIPYARD OBSERVATION DECK - DAY"
                                 << "INT|SHIPYARD OBSERVATION DECK|DAY";
    QTest::newRow("no time of day") << "EXT. EMBER ONE IN HERCULANEUM SHIPYARD"
                                    << "EXT|EMBER ONE IN HERCULANEUM SHIPYARD|";
    QTest::newRow("time of two words") << "EXT. PALACE COURTYARD - EARLY EVENING"
                                       << "EXT|PALACE COURTYARD|EARLY EVENING";
    QTest::newRow("parenthesis in the place") << "EXT. ABOVE ASHLON (CAPITAL CITY) - DAY"
                                              << "EXT|ABOVE ASHLON (CAPITAL CITY)|DAY";
    QTest::newRow("whose view, after the time") << "INT. GRAND HALL - NIGHT (JEFF)"
                                                << "INT|GRAND HALL (JEFF)|NIGHT";
    QTest::newRow("part of the place after a dash") << "INT. VIRTUAL CONTROL ENVIRONMENT - HELM"
                                                    << "INT|VIRTUAL CONTROL ENVIRONMENT - HELM|";
    QTest::newRow("point of view after a dash") << "EXT. SPACE - BRIANNA'S POV"
                                                << "EXT|SPACE - BRIANNA'S POV|";
    QTest::newRow("forced heading") << "IMAGINED ENDLESS OCEAN"
                                    << "|IMAGINED ENDLESS OCEAN|";
    QTest::newRow("full stops in the place") << "INT. H.M.S. EXCALIBUR HANGER - DAY"
                                             << "INT|H.M.S. EXCALIBUR HANGER|DAY";
}

// The breakdown has a row per heading line, besides the opening scene, holding that heading, and
// INT or EXT exactly where the heading says so.
void TestExports::barrier15Headings()
{
    REQUIRE_CORPUS();
    QFETCH(QString, heading);
    QFETCH(QString, parts);
    ScreenplayAnalysis a;
    openAndParse(a, corpusFile("barrier15-the-phoenix-child-2021.fountain"));
    // No field of this file holds a comma or a quote.
    const QStringList rows = QString::fromUtf8(a.sceneBreakdown()).split("\r\n");
    QCOMPARE(rows.size(), a.headingLines.size() + 3);
    QCOMPARE(rows.at(1).split(',').value(4), QString());
    QCOMPARE(rows.last(), QString());
    int found = 0;
    for (int k = 0; k < a.headingLines.size(); ++k) {
        const QStringList row = rows.at(k + 2).split(',');
        QCOMPARE(row.size(), 11);
        QCOMPARE(row.at(4), a.lines.at(a.headingLines.at(k)).trimmed());
        QCOMPARE(row.at(5), row.at(4).left(3) == "INT" || row.at(4).left(3) == "EXT"
                                ? row.at(4).left(3)
                                : QString());
        if (row.at(4) == heading) {
            QCOMPARE(row.mid(5, 3).join('|'), parts);
            ++found;
        }
    }
    QVERIFY(found > 0);
}

QTEST_GUILESS_MAIN(TestExports)
#include "tst_exports.moc"
