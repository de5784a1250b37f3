// SPDX-License-Identifier: MIT
#include "analysistest.h"

namespace {

// Lines from "indent:WORDS" pieces separated by "|", e.g. "20:JOHN|20:MARY".
QStringList cues(const QString &pieces)
{
    QStringList lines;
    for (const QString &piece : pieces.split('|')) {
        const int colon = piece.indexOf(':');
        lines.append(QString(piece.left(colon).toInt(), ' ') + piece.mid(colon + 1));
    }
    return lines;
}

} // namespace

class TestDiscovery : public QObject {
    Q_OBJECT
private slots:
    void speakers_data();
    void speakers();
    void colors_data();
    void colors();
};

void TestDiscovery::speakers_data()
{
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("included"); // names separated by "|"
    QTest::addColumn<int>("minInstances");
    QTest::addColumn<bool>("merge");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("spaces");

    const QString none;
    QTest::newRow("15 blanks is action, 16 a speaker")
        << "15:ANN|15:ANN|16:BOB|16:CAL" << none << 0 << false << "BOB:1|CAL:1" << 16;
    QTest::newRow("lower-case words are no speaker, capital notes are")
        << "20:John|20:JOHN (quietly)|20:JOHN (V.O.)|20:JOHN" << none << 0 << false
        << "JOHN:2|JOHN (V.O.):1" << 20;
    QTest::newRow("most shared indentation wins")
        << "20:A|20:B|20:C|25:D|25:E" << none << 0 << false << "A:1|B:1|C:1" << 20;
    QTest::newRow("tie goes to the deeper indentation")
        << "20:A|20:B|25:D|25:E" << none << 0 << false << "D:1|E:1" << 25;
    QTest::newRow("no shared indentation keeps nobody")
        << "20:A|25:B|30:C" << none << 0 << false << none << 0;
    QTest::newRow("ranked by instances, minimum is strict")
        << "20:A|20:B|20:C|20:B|20:C|20:B" << none << 1 << false << "B:3|C:2" << 20;
    QTest::newRow("blank-only line ignored, last speaker line sets the indentation")
        << "30:|30:A|20:A|20:B" << none << 0 << false << "A:2|B:1" << 20;
    QTest::newRow("included speaker counted twice")
        << "20:MRS SMITH|20:BOB"
        << "MRS SMITH" << 0 << false << "MRS SMITH:2|BOB:1" << 20;
    // Included characters count at every mention, the longest name winning, even for a partial
    // match ("Mrs Jones"). Her last mention is at indentation 0, so no two characters share one
    // and the indentation filter keeps only those at 0.
    QTest::newRow("included characters count every mention")
        << "20:MRS SMITH|20:BOB|0:I saw mrs smith and Mrs Jones"
        << "MRS|MRS SMITH" << 0 << false << "MRS SMITH:4" << 0;
    // Beyond ASCII, upper case is what upper-casing leaves as it is: ß becomes SS.
    QTest::newRow("capitals beyond ASCII")
        << QString::fromUtf8("20:ÉMILE|20:Émile|20:STRAßE|20:ÉMILE|20:BOB") << none << 0 << false
        << QString::fromUtf8("ÉMILE:2|BOB:1") << 20;
    // Merged, a speaker line's name ends at its first "(", with or without a blank before it.
    QTest::newRow("merged extensions") << "20:JOHN (V.O.)|20:JOHN(CONT'D)|20:JOHN|20:VOICE OUTSIDE "
                                          "(PINKUS)|20:(V.O.)|20:JOHN (O.S.) X"
                                       << none << 0 << true << "JOHN:4|VOICE OUTSIDE:1" << 20;
}

void TestDiscovery::speakers()
{
    QFETCH(QString, lines);
    QFETCH(QString, included);
    QFETCH(int, minInstances);
    QFETCH(bool, merge);
    QFETCH(QString, expected);
    QFETCH(int, spaces);
    ScreenplayAnalysis a;
    for (const QString &name : included.split('|', Qt::SkipEmptyParts))
        a.includeCharacters.append(a.newCharacter(name.split(' ')));
    a.lines = cues(lines);
    a.minNumberOfCharacterInstances = minInstances;
    a.mergeCueExtensions = merge;
    a.findCharacters();
    QCOMPARE(castSummary(a.characters), expected);
    QCOMPARE(a.characterSpaces, spaces);
}

// Characters take the colours list in rank order, the last colour repeating; a forced colour
// stays (the included character itself joins the list); with no list, hues spread evenly over
// the ranks ("hN" stands for hue N).
void TestDiscovery::colors_data()
{
    QTest::addColumn<QString>("lines");
    QTest::addColumn<QString>("palette");
    QTest::addColumn<bool>("forceA");
    QTest::addColumn<QString>("expected");
    QTest::newRow("list in rank order")
        << "20:C|20:A|20:B|20:A|20:B|20:A|20:D"
        << "#ff0000 #00ff00" << false << "#ff0000 #00ff00 #00ff00 #00ff00";
    QTest::newRow("forced colour kept") << "20:A|20:A|20:B"
                                        << "#ff0000" << true << "#010203 #ff0000";
    QTest::newRow("generated hues") << "20:A|20:A|20:B|20:C|20:D"
                                    << "" << false << "h0 h90 h180 h270";
}

void TestDiscovery::colors()
{
    QFETCH(QString, lines);
    QFETCH(QString, palette);
    QFETCH(bool, forceA);
    QFETCH(QString, expected);
    ScreenplayAnalysis a;
    if (forceA) {
        a.includeCharacters = {a.newCharacter({QStringLiteral("A")})};
        a.includeCharacters[0]->color = QColor(1, 2, 3);
        a.includeCharacters[0]->colorSet = true;
    }
    for (const QString &name : palette.split(' ', Qt::SkipEmptyParts))
        a.colors.append(QColor(name));
    a.lines = cues(lines);
    a.findCharacters();
    const QStringList colors = expected.split(' ');
    QCOMPARE(a.characters.size(), colors.size());
    for (int k = 0; k < colors.size(); ++k) {
        const QColor c = a.characters.at(k)->color;
        if (colors.at(k).startsWith('#')) {
            QCOMPARE(c.name(), colors.at(k));
        } else {
            QCOMPARE(c.hsvHue(), colors.at(k).mid(1).toInt());
            QCOMPARE(c.hsvSaturation(), 200);
            QVERIFY(c.value() >= 150 && c.value() <= 205);
        }
    }
}

QTEST_GUILESS_MAIN(TestDiscovery)
#include "tst_discovery.moc"
