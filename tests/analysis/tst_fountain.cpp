// SPDX-License-Identifier: MIT
#include "corpus.h"
#include "fountain.h"
#include "screenplayanalysis.h"

#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>

namespace {

// A laid-out line: the text after the given number of blanks.
QString at(int indent, const QString &text)
{
    return QString(indent, QLatin1Char(' ')) + text;
}

// n words "word" separated by single blanks.
QString words(int n)
{
    return QStringLiteral("word ").repeated(n).trimmed();
}

// "NAME:instances" for the first n characters.
QStringList top(const QVector<Character *> &characters, int n)
{
    QStringList result;
    for (int i = 0; i < std::min(n, characters.size()); ++i)
        result.append(characters.at(i)->names.join(' ') + QLatin1Char(':') +
                      QString::number(characters.at(i)->numInstances));
    return result;
}

// The number of scenes opened by one of the given break strings.
int scenesOpenedBy(const CharacterList *list, const QStringList &types)
{
    return static_cast<int>(
        std::count_if(list->timeIndices.begin(), list->timeIndices.end(),
                      [&types](const TimeIndex *t) { return types.contains(t->type); }));
}

} // namespace

class TestFountain : public QObject {
    Q_OBJECT
private slots:
    void init();
    void layout_data();
    void layout();
    void suffixChoosesTheReader_data();
    void suffixChoosesTheReader();
    void phoenixChildSpeakers();
    void byteOrderMarkAndCrLf();
    void noFinalNewline();

private:
    QTemporaryDir m_dir;
};

void TestFountain::init()
{
    QVERIFY(m_dir.isValid());
    QDir::setCurrent(m_dir.path());
}

void TestFountain::layout_data()
{
    QTest::addColumn<QStringList>("source");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("nothing") << QStringList{} << QStringList{};

    // Scene headings.
    QTest::newRow("heading before action is no cue")
        << QStringList{"", "INT. KITCHEN - DAY", "Rain falls."}
        << QStringList{"", at(15, "INT. KITCHEN - DAY"), at(15, "Rain falls.")};
    QTest::newRow("heading prefixes")
        << QStringList{"INT./EXT. CAR", "x", "", "I/E HALL", "x", "", "EST. TOWER", "x"}
        << QStringList{at(15, "INT./EXT. CAR"), at(15, "x"), "",
                       at(15, "I/E HALL"),      at(15, "x"), "",
                       at(15, "EST. TOWER"),    at(15, "x")};
    QTest::newRow("heading prefix in any case")
        << QStringList{"int/ext room #3#"} << QStringList{at(15, "int/ext room")};
    QTest::newRow("heading scene number dropped")
        << QStringList{"INT. HOUSE - DAY #12A#"} << QStringList{at(15, "INT. HOUSE - DAY")};
    QTest::newRow("forced heading") << QStringList{".IMAGINED OCEAN", "Water."}
                                    << QStringList{at(15, "IMAGINED OCEAN"), at(15, "Water.")};
    QTest::newRow("ellipsis is no forced heading")
        << QStringList{"...and then."} << QStringList{at(15, "...and then.")};

    // Cues, parentheticals, dialogue.
    QTest::newRow("cue and dialogue") << QStringList{"", "BRIANNA", "Oh, crap."}
                                      << QStringList{"", at(37, "BRIANNA"), at(25, "Oh, crap.")};
    QTest::newRow("cue extension kept as written")
        << QStringList{"TOKAMAK (O.S.)", "Ms. Polywell...", "", "BOB (cont'd)", "Yes."}
        << QStringList{at(37, "TOKAMAK (O.S.)"), at(25, "Ms. Polywell..."), "",
                       at(37, "BOB (cont'd)"), at(25, "Yes.")};
    QTest::newRow("forced cue") << QStringList{"@McCoy", "Dammit, Jim."}
                                << QStringList{at(37, "McCoy"), at(25, "Dammit, Jim.")};
    QTest::newRow("dual dialogue caret dropped")
        << QStringList{"BRICK", "Screw it.", "", "STEEL ^", "Screw it."}
        << QStringList{at(37, "BRICK"), at(25, "Screw it."), "", at(37, "STEEL"),
                       at(25, "Screw it.")};
    QTest::newRow("parenthetical")
        << QStringList{"BOB", "(quietly)", "Hello.", "(beat)", "Bye."}
        << QStringList{at(37, "BOB"), at(30, "(quietly)"), at(25, "Hello."), at(30, "(beat)"),
                       at(25, "Bye.")};
    QTest::newRow("dialogue ends at an empty line")
        << QStringList{"BOB", "Hi.", "", "He leaves."}
        << QStringList{at(37, "BOB"), at(25, "Hi."), "", at(15, "He leaves.")};
    QTest::newRow("two blanks continue dialogue")
        << QStringList{"BOB", "Hi.", "  ", "Bye."}
        << QStringList{at(37, "BOB"), at(25, "Hi."), "", at(25, "Bye.")};
    QTest::newRow("lyrics in dialogue and action")
        << QStringList{"BOB", "~Happy birthday", "", "~La la"}
        << QStringList{at(37, "BOB"), at(25, "Happy birthday"), "", at(15, "La la")};
    QTest::newRow("source indentation trimmed")
        << QStringList{"\tBOB", "    \tHi.  "} << QStringList{at(37, "BOB"), at(25, "Hi.")};

    // Action.
    QTest::newRow("action") << QStringList{"", "Brianna sprints by."}
                            << QStringList{"", at(15, "Brianna sprints by.")};
    QTest::newRow("forced action") << QStringList{"", "!TITLE CARD", "Robots work."}
                                   << QStringList{"", at(15, "TITLE CARD"), at(15, "Robots work.")};
    QTest::newRow("capitals before an empty line are action")
        << QStringList{"", "BOOM", "", "Dust."}
        << QStringList{"", at(15, "BOOM"), "", at(15, "Dust.")};
    QTest::newRow("lower case is no cue")
        << QStringList{"", "Bob", "Hello."} << QStringList{"", at(15, "Bob"), at(15, "Hello.")};
    QTest::newRow("capitals inside a paragraph are action")
        << QStringList{"He admires", "A CUTE DOG", "and a cat."}
        << QStringList{at(15, "He admires"), at(15, "A CUTE DOG"), at(15, "and a cat.")};
    QTest::newRow("text after an extension is action")
        << QStringList{"BOSS, 40 (or any age), an ageless,", "faceless cloud"}
        << QStringList{at(15, "BOSS, 40 (or any age), an ageless,"), at(15, "faceless cloud")};

    // Transitions and centred text.
    QTest::newRow("transition") << QStringList{"", "CUT TO:", "", "INT. HOUSE"}
                                << QStringList{"", at(55, "CUT TO:"), "", at(15, "INT. HOUSE")};
    QTest::newRow("forced transition")
        << QStringList{"> Burn to white."} << QStringList{at(55, "Burn to white.")};
    QTest::newRow("centred on the action line")
        << QStringList{"> THE END <", ">*x*<"}
        << QStringList{at(15 + (60 - 7) / 2, "THE END"), at(15 + 59 / 2, "x")};

    // What never reaches the text.
    QTest::newRow("title page") << QStringList{"Title:",      "\tBarrier\\_15",   "  ",
                                               "\t\"Child\"", "Draft date: 2021", "",
                                               "FADE IN:"}
                                << QStringList{"", at(15, "FADE IN:")};
    QTest::newRow("no title page without a title key")
        << QStringList{"FADE IN:", "", "INT. X"}
        << QStringList{at(15, "FADE IN:"), "", at(15, "INT. X")};
    QTest::newRow("boneyard in a line") << QStringList{"Bob runs. /* cut */ He stops."}
                                        << QStringList{at(15, "Bob runs.  He stops.")};
    QTest::newRow("boneyard over lines")
        << QStringList{"Before.", "", "/*", "INT. GONE", "", "BOB", "Hi.", "*/", "", "After."}
        << QStringList{at(15, "Before."), "", "", at(15, "After.")};
    QTest::newRow("boneyard from mid-line") << QStringList{"Kept /* gone", "gone */ kept."}
                                            << QStringList{at(15, "Kept"), at(15, "kept.")};
    QTest::newRow("unterminated boneyard is text")
        << QStringList{"/* no end", "", "BOB", "Hi."}
        << QStringList{at(15, "/* no end"), "", at(37, "BOB"), at(25, "Hi.")};
    QTest::newRow("note at a line end")
        << QStringList{"BOB", "Hi. [[check this]]"} << QStringList{at(37, "BOB"), at(25, "Hi.")};
    QTest::newRow("note line between cue and speech")
        << QStringList{"", "BOB", "[[note]]", "Hi."}
        << QStringList{"", at(37, "BOB"), at(25, "Hi.")};
    QTest::newRow("note over lines") << QStringList{"Action [[a", "b]] goes on."}
                                     << QStringList{at(15, "Action"), at(15, "goes on.")};
    QTest::newRow("note open past an empty line is text")
        << QStringList{"Act [[open", "", "More ]]"}
        << QStringList{at(15, "Act [[open"), "", at(15, "More ]]")};
    QTest::newRow("sections and synopses")
        << QStringList{"# ACT ONE", "", "## Part", "= Bob meets Ann.", "", "INT. HOUSE"}
        << QStringList{"", "", at(15, "INT. HOUSE")};

    // Page marks.
    QTest::newRow("page breaks") << QStringList{"One.", "",      "===", "",      "Two.",
                                                "",     "=====", "",    "Three."}
                                 << QStringList{at(15, "One."),  "", at(15, "[2]"), "",
                                                at(15, "Two."),  "", at(15, "[3]"), "",
                                                at(15, "Three.")};

    // Emphasis and wrapping.
    QTest::newRow("emphasis markers dropped")
        << QStringList{"*Ember One* and **bold**, ***both*** and _under_."}
        << QStringList{at(15, "Ember One and bold, both and under.")};
    QTest::newRow("literal markers kept")
        << QStringList{"\\*\\*\\* PHASE \\*\\*\\*", "", "Barrier\\_15 snake_case_name 2*3*4 a * b"}
        << QStringList{at(15, "*** PHASE ***"), "",
                       at(15, "Barrier_15 snake_case_name 2*3*4 a * b")};
    QTest::newRow("action wraps at 60 columns")
        << QStringList{words(20)} << QStringList{at(15, words(12)), at(15, words(8))};
    QTest::newRow("dialogue wraps at 35 columns")
        << QStringList{"BOB", words(20), "(" + words(8) + ")"}
        << QStringList{at(37, "BOB"),    at(25, words(7)),       at(25, words(7)),
                       at(25, words(6)), at(30, "(" + words(5)), at(30, words(3) + ")")};
    QTest::newRow("a long word keeps its own line")
        << QStringList{"BOB", QString(40, 'x') + " end"}
        << QStringList{at(37, "BOB"), at(25, QString(40, 'x')), at(25, "end")};
    QTest::newRow("byte-order mark before a heading")
        << QStringList{QChar(0xFEFF) + QStringLiteral("EXT. SOMEWHERE - DAY"), "Sun."}
        << QStringList{at(15, "EXT. SOMEWHERE - DAY"), at(15, "Sun.")};
}

void TestFountain::layout()
{
    QFETCH(QStringList, source);
    QFETCH(QStringList, expected);
    QCOMPARE(fountainToLines(source), expected);
}

void TestFountain::suffixChoosesTheReader_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("expected");

    // Laid out lines go through the same rewrite as any other: a blank after every ">".
    const QStringList fountain{at(37, "BOB"), at(25, "a >  b")};
    QTest::newRow("fountain") << "play.fountain" << fountain;
    QTest::newRow("suffix in capitals") << "PLAY.FOUNTAIN" << fountain;
    QTest::newRow("suffix in mixed case") << "play.Fountain" << fountain;
    QTest::newRow("plain text unchanged") << "play.txt" << QStringList{"BOB", "a >  b"};
    QTest::newRow("name without the suffix") << "fountain" << QStringList{"BOB", "a >  b"};
}

void TestFountain::suffixChoosesTheReader()
{
    QFETCH(QString, name);
    QFETCH(QStringList, expected);
    QFile file(m_dir.filePath(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("BOB\na > b\n");
    file.close();

    ScreenplayAnalysis a;
    a.readFile(file.fileName());
    QCOMPARE(a.lines, expected);
}

void TestFountain::phoenixChildSpeakers()
{
    REQUIRE_CORPUS();
    ScreenplayAnalysis a;
    a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.openScreenplay(corpusFile(QStringLiteral("barrier15-the-phoenix-child-2021.fountain")));
    QCOMPARE(a.characterSpaces, 37);
    QCOMPARE(top(a.characters, 6), (QStringList{"BRIANNA:216", "SAMANTHA:127", "CAPTAIN LE GUIN:52",
                                                "TOKAMAK:48", "NOAH:37", "CASSIDY:35"}));
    for (const QString &line : qAsConst(a.lines))
        QVERIFY2(!line.startsWith(QLatin1String("Title:")) && !line.contains(QLatin1String("\\_")),
                 qPrintable(line));

    a.buildModel();
    // Its 114 INT. and EXT. headings each open a scene.
    QCOMPARE(scenesOpenedBy(a.characterList, {"int.", "ext."}), 114);
}

void TestFountain::byteOrderMarkAndCrLf()
{
    REQUIRE_CORPUS();
    ScreenplayAnalysis a;
    a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.openScreenplay(corpusFile(QStringLiteral("utf8-bom-crlf-snippet.fountain")));
    QVERIFY(!a.lines.isEmpty());
    QCOMPARE(a.lines.first(), at(15, "EXT. SOMEWHERE - DAY"));
    for (const QString &line : qAsConst(a.lines))
        QVERIFY(!line.contains(QChar(0xFEFF)) && !line.contains(QLatin1Char('\r')));
    QCOMPARE(top(a.characters, 3), (QStringList{"GUY:2", "GURL:1"}));
    QCOMPARE(a.characterSpaces, 37);

    a.buildModel();
    QCOMPARE(scenesOpenedBy(a.characterList, {"ext."}), 1);
}

void TestFountain::noFinalNewline()
{
    REQUIRE_CORPUS();
    ScreenplayAnalysis a;
    a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.openScreenplay(corpusFile(QStringLiteral("cyber-bob-ep1-traffic-control-dogs.fountain")));
    QCOMPARE(a.characterSpaces, 37);
    QCOMPARE(top(a.characters, 3), (QStringList{"BOB:16", "DOG:11", "MARGARET:4"}));
    // The file ends in centred text with no line end after it.
    QCOMPARE(a.lines.last(), at(15 + (60 - 7) / 2, "THE END"));

    a.buildModel();
    const QVector<TimeIndex *> &scenes = a.characterList->timeIndices;
    QStringList types;
    for (const TimeIndex *t : scenes)
        types.append(t->type);
    QCOMPARE(types, (QStringList{"START", "ext.", "ext.", "int."}));
}

QTEST_GUILESS_MAIN(TestFountain)
#include "tst_fountain.moc"
