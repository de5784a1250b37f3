// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "corpus.h"
#include "csvrows.h"
#include "sceneheading.h"

#include <QTemporaryDir>

class TestExports : public QObject {
    Q_OBJECT
private slots:
    void init();
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

// A plain-text and a Fountain screenplay of three scenes each: speakers by their speaker lines or
// cues, exchanges (A B A A B makes three), a character present without speaking, one alone in a
// scene, a name outside ASCII, headings with a comma and with quotes. Colours are fixed by
// colors.txt. With nothing parsed, the headers alone and a graph without nodes.
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
    const QVector<QStringList> rows = csvRows(a.sceneBreakdown());
    QCOMPARE(rows.size(), a.headingLines.size() + 2);
    QCOMPARE(rows.at(1).value(4), QString());
    int found = 0;
    for (int k = 0; k < a.headingLines.size(); ++k) {
        const QStringList &row = rows.at(k + 2);
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
