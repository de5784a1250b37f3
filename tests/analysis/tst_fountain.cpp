// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "corpus.h"
#include "fountain.h"

#include <QTemporaryDir>

namespace {

// Every scene as "type:counts", separated by "|".
QString scenesWithCounts(const CharacterList *list)
{
    QStringList result;
    for (const TimeIndex *t : list->timeIndices) {
        QStringList counts;
        for (const int count : t->counts)
            counts.append(QString::number(count));
        result.append(t->type + ':' + counts.join(','));
    }
    return result.join('|');
}

} // namespace

class TestFountain : public QObject {
    Q_OBJECT
private slots:
    void init();
    void layout_data();
    void layout();
    void castAndScenes_data();
    void castAndScenes();
    void corpusFiles_data();
    void corpusFiles();
    void plainTextOfTheSameLayout();

private:
    QTemporaryDir m_dir;
};

void TestFountain::init()
{
    QDir::setCurrent(m_dir.path());
}

void TestFountain::layout_data()
{
    QTest::addColumn<QString>("source");       // lines separated by "\n"
    QTest::addColumn<QString>("expected");     // "indent text" lines separated by "\n"
    QTest::addColumn<QStringList>("speakers"); // of the cues, in order

    const QStringList none;
    QTest::newRow("nothing") << QString() << QString() << none;
    // A heading is followed by action, not by dialogue; its scene number is dropped.
    QTest::newRow("scene headings")
        << QChar(0xFEFF) + QStringLiteral("EXT. SOMEWHERE - DAY\nSun.\n\nINT./EXT. CAR #12A#\nx\n\n"
                                          "i/e hall\nx\n\nEST. TOWER\nx\n\n.IMAGINED OCEAN\n"
                                          "...and then.\n\n.")
        << "15h EXT. SOMEWHERE - DAY\n15 Sun.\n\n15h INT./EXT. CAR\n15 x\n\n15h i/e hall\n15 x\n\n"
           "15h EST. TOWER\n15 x\n\n15h IMAGINED OCEAN\n15 ...and then.\n\n"
        << none;
    // The speaker is the cue without extensions, "@" and "^", in the case written; a cue that
    // opens no dialogue is none.
    QTest::newRow("cues and dialogue")
        << "\nBRIANNA\nOh, crap.\n\nTOKAMAK (O.S.)\nMs. Polywell\n\nBOB (cont'd)\nYes.\n\n"
           "\t@McCoy\n    \tDammit.  \n\nSTEEL ^\nScrew it.\n\nANNA(V.O.) ^\nNo.\n\n@Nobody\n\n"
           "@(V.O.)\nWho?"
        << "\n37c BRIANNA\n25 Oh, crap.\n\n37c TOKAMAK (O.S.)\n25 Ms. Polywell\n\n37c BOB "
           "(cont'd)\n"
           "25 Yes.\n\n37c McCoy\n25 Dammit.\n\n37c STEEL\n25 Screw it.\n\n37c ANNA(V.O.)\n25 "
           "No.\n\n"
           "37 Nobody\n\n37 (V.O.)\n25 Who?"
        << QStringList{"BRIANNA", "TOKAMAK", "BOB", "McCoy", "STEEL", "ANNA"};
    // Two blanks continue a speech; an empty line or a single blank ends it.
    QTest::newRow("parentheticals, lyrics, end of dialogue")
        << "BOB\n(quietly)\nHello.\n  \n~Happy birthday\n\n~La la\nHe leaves.\n\nSUE\nHi.\n \nBye."
        << "37c BOB\n30 (quietly)\n25 Hello.\n\n25 Happy birthday\n\n15 La la\n15 He leaves.\n\n"
           "37c SUE\n25 Hi.\n\n15 Bye."
        << QStringList{"BOB", "SUE"};
    QTest::newRow("action")
        << "\n!TITLE CARD\nRobots work.\n\n!INT. NOT A HEADING\n\nBOOM\n\nBob\nHello.\n\n"
           "He admires\nA CUTE DOG\nand a cat.\n\nBOSS, 40 (or any age), an ageless,\nfaceless "
           "cloud"
        << "\n15 TITLE CARD\n15 Robots work.\n\n15 INT. NOT A HEADING\n\n15 BOOM\n\n15 Bob\n"
           "15 Hello.\n\n15 He admires\n15 A CUTE DOG\n15 and a cat.\n\n"
           "15 BOSS, 40 (or any age), an ageless,\n15 faceless cloud"
        << none;
    QTest::newRow("transitions, centred text, sections and synopses, page breaks")
        << "# ACT ONE\n\n## Part\n= Bob meets Ann.\n\nCUT TO:\n\n> Burn to white.\n\n===\n\n"
           "> THE END <\n>*x*<\n=====\nThree."
        << "\n\n55 CUT TO:\n\n55 Burn to white.\n\n15 [2]\n\n41 THE END\n44 x\n15 [3]\n15 Three."
        << none;
    QTest::newRow("title page") << "Title:\n\tBarrier\\_15\n  \n\t\"Child\"\nDraft date: 2021\n\n"
                                   "FADE IN:"
                                << "\n15 FADE IN:" << none;
    QTest::newRow("no title page without a title key") << "FADE IN:\n\nINT. X"
                                                       << "15 FADE IN:\n\n15h INT. X" << none;
    // A line that held only boneyard or a note goes, so a note does not part a cue from its
    // speech; a note ends before an empty line; an unterminated opener stays text.
    QTest::newRow("boneyard and notes")
        << "Bob runs. /* cut */ He stops.\n\n/*\nINT. GONE\n\nBOB\nHi.\n*/\n\nKept /* gone\n"
           "gone */ kept.\n\n/* no end\n\nBOB\n[[note]]\nHi. [[check this]]\n\nAction [[a\n"
           "b]] goes on.\n\nAct [[open\n\nMore ]]"
        << "15 Bob runs.  He stops.\n\n\n15 Kept\n15 kept.\n\n15 /* no end\n\n37c BOB\n25 Hi.\n\n"
           "15 Action\n15 goes on.\n\n15 Act [[open\n\n15 More ]]"
        << QStringList{"BOB"};
    QTest::newRow("emphasis")
        << "*Ember One* and **bold**, ***both*** and _under_.\n\n\\*\\*\\* PHASE \\*\\*\\*\n\n"
           "Barrier\\_15 snake_case_name 2*3*4 a * b"
        << "15 Ember One and bold, both and under.\n\n15 *** PHASE ***\n\n"
           "15 Barrier_15 snake_case_name 2*3*4 a * b"
        << none;
    // Action wraps at 60 columns, dialogue at 35, parentheticals at 25; a longer word keeps a
    // line of its own.
    const QString x40(40, 'x');
    QTest::newRow("wrapping") << words(20) + "\n\nBOB\n" + words(20) + "\n(" + words(8) + ")\n" +
                                     x40 + " end"
                              << "15 " + words(12) + "\n15 " + words(8) + "\n\n37c BOB\n25 " +
                                     words(7) + "\n25 " + words(7) + "\n25 " + words(6) + "\n30 (" +
                                     words(5) + "\n30 " + words(3) + ")\n25 " + x40 + "\n25 end"
                              << QStringList{"BOB"};
}

void TestFountain::layout()
{
    QFETCH(QString, source);
    QFETCH(QString, expected);
    QFETCH(QStringList, speakers);
    COMPARE_LAYOUT(fountainLayout(splitLines(source)), laidOut(expected, speakers));
}

// The cast comes from the cues and the scenes from the headings, nothing else: not transitions,
// capitals in dialogue or action, nor break-string words outside headings. Scenes are given as
// "type:counts" per character.
void TestFountain::castAndScenes_data()
{
    QTest::addColumn<QString>("source");
    QTest::addColumn<QString>("cast");
    QTest::addColumn<QString>("scenes");
    QTest::newRow("transitions are no one") << "CUT TO:\n\nINT. A\n\nx\n\nFADE TO BLACK.\n\nCUT TO:"
                                            << ""
                                            << "START:|int.:";
    QTest::newRow("capitals in dialogue are no one") << "BOB\nI OK?\n\nSUE\nFBI.\n\nBOB\nOK."
                                                     << "BOB:2|SUE:1"
                                                     << "START:2,1";
    QTest::newRow("one speaker, forced in mixed case") << "@McCLANE\nYippee."
                                                       << "McCLANE:1"
                                                       << "START:1";
    // ANNA (V.O.) is ANNA: she is present wherever her name is, whichever cue names her.
    QTest::newRow("extensions name the same speaker")
        << "INT. A\n\nANNA (V.O.)\nHi.\n\nANNA (V.O.)\nHo.\n\nEXT. B\n\nANNA\nYes.\n\n"
           "BRIANNA(O.S.)\nNo.\n\nBRIANNA (CONT'D) ^\nNo!"
        << "ANNA:3|BRIANNA:2"
        << "START:0,0|int.:2,0|ext.:1,1";
    // Only headings open scenes, whatever their form; a heading that starts with no break string
    // takes its first word as type.
    QTest::newRow("headings written six ways, and nothing else")
        << "INT./EXT. CAR - DAY\n\n!INT. FORCED ACTION\n\nThe interior is dark.\n\n"
           "I/E HALL\n\nEST. TOWER\n\n.FLASHBACK\n\nint. kitchen\n\nINT/EXT HOUSE"
        << ""
        << "START:|INT./EXT.:|I/E:|EST.:|FLASHBACK:|int.:|INT/EXT:";
}

void TestFountain::castAndScenes()
{
    QFETCH(QString, source);
    QFETCH(QString, cast);
    QFETCH(QString, scenes);
    writeFile("play.fountain", source.toUtf8());
    ScreenplayAnalysis a;
    openAndParse(a, "play.fountain");
    QCOMPARE(castSummary(a.characters), cast);
    QCOMPARE(scenesWithCounts(a.characterList), scenes);
}

// The corpus Fountain files: exactly the cast of their cues (27 people speak in barrier15), no
// title page, escapes, byte-order mark or carriage return left (one file has both), and one
// scene from each heading line on, besides the opening one.
void TestFountain::corpusFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("speakers");
    QTest::addColumn<QString>("leadingCast");
    QTest::addColumn<int>("headings");
    QTest::newRow("barrier15") << "barrier15-the-phoenix-child-2021.fountain" << 27
                               << "BRIANNA:229|SAMANTHA:145|TOKAMAK:59|CAPTAIN LE GUIN:55|" << 115;
    QTest::newRow("byte-order mark, CR LF")
        << "utf8-bom-crlf-snippet.fountain" << 2 << "GUY:2|GURL:1" << 1;
}

void TestFountain::corpusFiles()
{
    REQUIRE_CORPUS();
    QFETCH(QString, file);
    QFETCH(int, speakers);
    QFETCH(QString, leadingCast);
    QFETCH(int, headings);
    ScreenplayAnalysis a;
    openAndParse(a, corpusFile(file));
    QCOMPARE(a.characters.size(), speakers);
    QVERIFY2(castSummary(a.characters).startsWith(leadingCast),
             qPrintable(castSummary(a.characters)));
    for (const QString &line : qAsConst(a.lines))
        QVERIFY2(!line.startsWith("Title:") && !line.contains("\\_") &&
                     !line.contains(QChar(0xFEFF)) && !line.contains('\r'),
                 qPrintable(line));
    const QVector<TimeIndex *> &scenes = a.characterList->timeIndices;
    QCOMPARE(a.headingLines.size(), headings);
    QCOMPARE(scenes.size(), headings + 1);
    for (int k = 0; k < headings; ++k)
        QCOMPARE(scenes.at(k + 1)->start, float(a.headingLines.at(k)) / float(a.lines.size()));
}

// The Fountain reader's own layout, read as a typewritten screenplay with extensions merged,
// gives the same cast with the same counts: the structure only spares the guesswork.
void TestFountain::plainTextOfTheSameLayout()
{
    REQUIRE_CORPUS();
    const QString fountain = corpusFile("barrier15-the-phoenix-child-2021.fountain");
    QStringList source = QString::fromUtf8(readFile(fountain)).split('\n');
    writeFile("laid-out.txt", fountainLayout(source).lines.join('\n').toUtf8());
    ScreenplayAnalysis structured;
    ScreenplayAnalysis typewritten;
    openAndParse(structured, fountain);
    typewritten.mergeCueExtensions = true;
    typewritten.minCharacterSpaces = 30;
    openAndParse(typewritten, "laid-out.txt");
    QCOMPARE(typewritten.characters.size(), 27);
    QCOMPARE(castSummary(typewritten.characters), castSummary(structured.characters));
}

QTEST_GUILESS_MAIN(TestFountain)
#include "tst_fountain.moc"
