// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "corpus.h"
#include "fountain.h"

#include <QTemporaryDir>

namespace {

// n words "word" separated by single blanks.
QString words(int n)
{
    return QStringLiteral("word ").repeated(n).trimmed();
}

// The lines of text separated by "\n"; none for no text.
QStringList lines(const QString &text)
{
    return text.isEmpty() ? QStringList{} : text.split('\n');
}

// Laid-out lines from "indent text" pieces separated by "\n"; an empty piece stays empty.
QStringList laidOut(const QString &pieces)
{
    QStringList lines;
    for (const QString &piece : ::lines(pieces)) {
        const int blank = piece.indexOf(' ');
        lines.append(piece.isEmpty()
                         ? piece
                         : QString(piece.left(blank).toInt(), ' ') + piece.mid(blank + 1));
    }
    return lines;
}

} // namespace

class TestFountain : public QObject {
    Q_OBJECT
private slots:
    void init();
    void layout_data();
    void layout();
    void corpusFiles_data();
    void corpusFiles();

private:
    QTemporaryDir m_dir;
};

void TestFountain::init()
{
    QDir::setCurrent(m_dir.path());
}

void TestFountain::layout_data()
{
    QTest::addColumn<QString>("source");   // lines separated by "\n"
    QTest::addColumn<QString>("expected"); // "indent text" lines separated by "\n"

    QTest::newRow("nothing") << QString() << QString();
    // A heading is followed by action, not by dialogue; its scene number is dropped.
    QTest::newRow("scene headings")
        << QChar(0xFEFF) + QStringLiteral("EXT. SOMEWHERE - DAY\nSun.\n\nINT./EXT. CAR #12A#\nx\n\n"
                                          "i/e hall\nx\n\nEST. TOWER\nx\n\n.IMAGINED OCEAN\n"
                                          "...and then.")
        << "15 EXT. SOMEWHERE - DAY\n15 Sun.\n\n15 INT./EXT. CAR\n15 x\n\n15 i/e hall\n15 x\n\n"
           "15 EST. TOWER\n15 x\n\n15 IMAGINED OCEAN\n15 ...and then.";
    QTest::newRow("cues and dialogue")
        << "\nBRIANNA\nOh, crap.\n\nTOKAMAK (O.S.)\nMs. Polywell\n\nBOB (cont'd)\nYes.\n\n"
           "\t@McCoy\n    \tDammit.  \n\nSTEEL ^\nScrew it."
        << "\n37 BRIANNA\n25 Oh, crap.\n\n37 TOKAMAK (O.S.)\n25 Ms. Polywell\n\n37 BOB (cont'd)\n"
           "25 Yes.\n\n37 McCoy\n25 Dammit.\n\n37 STEEL\n25 Screw it.";
    // Two blanks continue a speech; an empty line or a single blank ends it.
    QTest::newRow("parentheticals, lyrics, end of dialogue")
        << "BOB\n(quietly)\nHello.\n  \n~Happy birthday\n\n~La la\nHe leaves.\n\nSUE\nHi.\n \nBye."
        << "37 BOB\n30 (quietly)\n25 Hello.\n\n25 Happy birthday\n\n15 La la\n15 He leaves.\n\n"
           "37 SUE\n25 Hi.\n\n15 Bye.";
    QTest::newRow("action")
        << "\n!TITLE CARD\nRobots work.\n\nBOOM\n\nBob\nHello.\n\nHe admires\nA CUTE DOG\n"
           "and a cat.\n\nBOSS, 40 (or any age), an ageless,\nfaceless cloud"
        << "\n15 TITLE CARD\n15 Robots work.\n\n15 BOOM\n\n15 Bob\n15 Hello.\n\n15 He admires\n"
           "15 A CUTE DOG\n15 and a cat.\n\n15 BOSS, 40 (or any age), an ageless,\n"
           "15 faceless cloud";
    QTest::newRow("transitions, centred text, sections and synopses, page breaks")
        << "# ACT ONE\n\n## Part\n= Bob meets Ann.\n\nCUT TO:\n\n> Burn to white.\n\n===\n\n"
           "> THE END <\n>*x*<\n=====\nThree."
        << "\n\n55 CUT TO:\n\n55 Burn to white.\n\n15 [2]\n\n41 THE END\n44 x\n15 [3]\n15 Three.";
    QTest::newRow("title page") << "Title:\n\tBarrier\\_15\n  \n\t\"Child\"\nDraft date: 2021\n\n"
                                   "FADE IN:"
                                << "\n15 FADE IN:";
    QTest::newRow("no title page without a title key") << "FADE IN:\n\nINT. X"
                                                       << "15 FADE IN:\n\n15 INT. X";
    // A line that held only boneyard or a note goes, so a note does not part a cue from its
    // speech; a note ends before an empty line; an unterminated opener stays text.
    QTest::newRow("boneyard and notes")
        << "Bob runs. /* cut */ He stops.\n\n/*\nINT. GONE\n\nBOB\nHi.\n*/\n\nKept /* gone\n"
           "gone */ kept.\n\n/* no end\n\nBOB\n[[note]]\nHi. [[check this]]\n\nAction [[a\n"
           "b]] goes on.\n\nAct [[open\n\nMore ]]"
        << "15 Bob runs.  He stops.\n\n\n15 Kept\n15 kept.\n\n15 /* no end\n\n37 BOB\n25 Hi.\n\n"
           "15 Action\n15 goes on.\n\n15 Act [[open\n\n15 More ]]";
    QTest::newRow("emphasis")
        << "*Ember One* and **bold**, ***both*** and _under_.\n\n\\*\\*\\* PHASE \\*\\*\\*\n\n"
           "Barrier\\_15 snake_case_name 2*3*4 a * b"
        << "15 Ember One and bold, both and under.\n\n15 *** PHASE ***\n\n"
           "15 Barrier_15 snake_case_name 2*3*4 a * b";
    // Action wraps at 60 columns, dialogue at 35, parentheticals at 25; a longer word keeps a
    // line of its own.
    const QString x40(40, 'x');
    QTest::newRow("wrapping") << words(20) + "\n\nBOB\n" + words(20) + "\n(" + words(8) + ")\n" +
                                     x40 + " end"
                              << "15 " + words(12) + "\n15 " + words(8) + "\n\n37 BOB\n25 " +
                                     words(7) + "\n25 " + words(7) + "\n25 " + words(6) + "\n30 (" +
                                     words(5) + "\n30 " + words(3) + ")\n25 " + x40 + "\n25 end";
}

void TestFountain::layout()
{
    QFETCH(QString, source);
    QFETCH(QString, expected);
    QCOMPARE(fountainToLines(lines(source)), laidOut(expected));
}

// The corpus Fountain files: their speakers at the cue column, no title page or escapes left, no
// byte-order mark or carriage return (one file has both), and a scene for every INT./EXT. heading.
void TestFountain::corpusFiles_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("leadingCast");
    QTest::addColumn<int>("headings");
    QTest::newRow("barrier15") << "barrier15-the-phoenix-child-2021.fountain"
                               << "BRIANNA:216|SAMANTHA:127|CAPTAIN LE GUIN:52|TOKAMAK:48|NOAH:37|"
                                  "CASSIDY:35|"
                               << 114;
    QTest::newRow("byte-order mark, CR LF") << "utf8-bom-crlf-snippet.fountain"
                                            << "GUY:2|GURL:1" << 1;
}

void TestFountain::corpusFiles()
{
    REQUIRE_CORPUS();
    QFETCH(QString, file);
    QFETCH(QString, leadingCast);
    QFETCH(int, headings);
    ScreenplayAnalysis a;
    openAndParse(a, corpusFile(file));
    QCOMPARE(a.characterSpaces, 37);
    QVERIFY(castSummary(a.characters).startsWith(leadingCast));
    for (const QString &line : qAsConst(a.lines))
        QVERIFY2(!line.startsWith("Title:") && !line.contains("\\_") &&
                     !line.contains(QChar(0xFEFF)) && !line.contains('\r'),
                 qPrintable(line));
    int opened = 0;
    for (const TimeIndex *t : a.characterList->timeIndices)
        opened += t->type == "int." || t->type == "ext.";
    QCOMPARE(opened, headings);
}

QTEST_GUILESS_MAIN(TestFountain)
#include "tst_fountain.moc"
