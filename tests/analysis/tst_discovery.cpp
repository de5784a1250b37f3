// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "datatable.h"
#include "htmlnames.h"

#include <QTemporaryDir>

namespace {

enum Mode { Strict, CaseSensitive, Loose };

// Rows of match(): the name, aliases separated by "|" (the words of each by blanks), the line,
// the index, the mode, the result.
using MatchRows = DataTable<QString, QString, QString, int, int, QString>;

// Rows of speakers(): lines as "indent text" pieces; included names separated by "|", "=#rrggbb"
// after one forcing its colour; the cast; the speakers' indentation; the minimum instances;
// extensions merged; a palette of "#rrggbb" colours, or "none".
using SpeakerRows = DataTable<QString, QString, QString, int, int, bool, QString>;
void speakerRow(const char *row, const QString &lines, const QString &included,
                const QString &expected, int spaces, int minInstances = 0, bool merge = false,
                const QString &palette = QString())
{
    SpeakerRows::row(row, lines, included, expected, spaces, minInstances, merge, palette);
}

// Rows of markup(): characters separated by "|", "+" marking an included one; break strings;
// lines separated by "\n"; the scenes; the expected markup without the first scene's <div>, "|"
// for a scene break; the user breaks.
using MarkupRows = DataTable<QString, QStringList, QString, QString, QString, QVector<float>>;
void markupRow(const char *row, const QString &characters, const QStringList &breaks,
               const QString &lines, const QString &scenes, const QString &markup,
               const QVector<float> &userBreaks = {})
{
    MarkupRows::row(row, characters, breaks, lines, scenes, markup, userBreaks);
}

} // namespace

// Name matching, speaker discovery, the colours handed out, and the markup of the mentions.
class TestDiscovery : public QObject {
    Q_OBJECT
private slots:
    void match_data();
    void match();
    void defaultColor();
    void speakers_data();
    void speakers();
    void markup_data();
    void markup();
    void savedDocument();
    void selectors_data();
    void selectors();
    void escaping_data();
    void escaping();
};

void TestDiscovery::match_data()
{
    MatchRows::columns();
    const auto matchRow = &MatchRows::row;

    matchRow("case-insensitive keeps text form", "JOHN", "", "Hi John", 1, Strict, "John");
    matchRow("case-sensitive refuses", "JOHN", "", "Hi John", 1, CaseSensitive, "");
    // A partial name match counts only the unbroken run of name words from the index on.
    matchRow("partial leading run", "MRS ANN SMITH", "", "MRS JO SMITH", 0, Strict, "MRS");
    matchRow("partial at line end", "MRS SMITH", "", "hi MRS", 1, Strict, "MRS");
    matchRow("later word only is refused", "MRS SMITH", "", "THE SMITH", 0, Strict, "");
    matchRow("strict refuses colon", "JOHN", "", "JOHN: hi", 0, Strict, "");
    matchRow("alias returned as stored", "MARGARET", "MAGGIE", "maggie ran", 0, Strict, "MAGGIE");
    matchRow("alias cut by line end", "MARGARET", "MRS. SMITH", "hi MRS.", 1, Strict, "");
    matchRow("loose alias drops punctuation and em dash", "MARGARET", "MRS SMITH",
             "MRS. SMITH" + QString(QChar(0x2014)), 0, Loose, "MRS SMITH");
    matchRow("first complete alias wins", "MARGARET", "MRS SMITH|MRS", "MRS SMITH", 0, Strict,
             "MRS SMITH");
    matchRow("full name before alias", "MAG", "MAG PIE", "MAG PIE", 0, Strict, "MAG");
    matchRow("complete alias before partial name", "MRS SMITH", "MRS JONES", "MRS JONES", 0, Strict,
             "MRS JONES");
    // Articles alone name no one, in any case or mode; the whole name and aliases still do.
    matchRow("article alone", "THE REPORTERS", "", "the man", 0, Strict, "");
    matchRow("articles alone", "A THE X", "", "a The y", 0, Strict, "");
    matchRow("article contained, loose", "AN OFFICER", "", "anyone here", 0, Loose, "");
    matchRow("article and name word", "THE REPORTERS", "", "the reporters' room", 0, Loose,
             "the reporters'");
    matchRow("article, whole name", "THE REPORTERS", "", "the Reporters", 0, Strict,
             "the Reporters");
    matchRow("article and more, partial", "THE BIG BOSS", "", "the big man", 0, Strict, "the big");
    matchRow("article name by alias", "THE REPORTERS", "THE PRESS", "the press", 0, Strict,
             "THE PRESS");
}

void TestDiscovery::match()
{
    const auto [name, aliases, line, index, mode, expected] = MatchRows::fetch();
    Character c(name.split(' '));
    for (const QString &alias : aliases.split('|', Qt::SkipEmptyParts))
        c.aliases.append(alias.split(' '));
    const Qt::CaseSensitivity cs = mode == CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QCOMPARE(c.match(line.split(' '), index, cs, mode == Loose).join(' '), expected);
}

// The colour is fixed by the name; the seed sums its codes as signed chars, so letters outside
// Latin-1 add nothing and 'é' (233) adds 233 - 256, which code 23 cancels.
void TestDiscovery::defaultColor()
{
    const QColor color = Character::defaultColor({"MRS", "SMITH"});
    QCOMPARE(Character({"MRS", "SMITH"}).color, color);
    QVERIFY(color.saturation() == 200 && color.value() >= 150 && color.value() <= 205);
    const QColor empty = Character::defaultColor({});
    QCOMPARE(Character::defaultColor({QString::fromUtf8("ΑΛΦΑ")}), empty);
    QCOMPARE(Character::defaultColor({QString::fromUtf8("é") + QChar(23)}), empty);
    QVERIFY(Character::defaultColor({QString::fromUtf8("é")}) != empty);
}

void TestDiscovery::speakers_data()
{
    SpeakerRows::columns();

    speakerRow("15 blanks is action, 16 a speaker", "15 ANN\n15 ANN\n16 BOB\n16 CAL", "",
               "BOB:1|CAL:1", 16);
    speakerRow("lower-case words are no speaker, capital notes are",
               "20 John\n20 JOHN (quietly)\n20 JOHN (V.O.)\n20 JOHN", "", "JOHN:2|JOHN (V.O.):1",
               20);
    speakerRow("most shared indentation wins", "20 A\n20 B\n20 C\n25 D\n25 E", "", "A:1|B:1|C:1",
               20);
    speakerRow("tie goes to the deeper indentation", "20 A\n20 B\n25 D\n25 E", "", "D:1|E:1", 25);
    speakerRow("no shared indentation keeps nobody", "20 A\n25 B\n30 C", "", "", 0);
    speakerRow("ranked by instances, minimum is strict", "20 A\n20 B\n20 C\n20 B\n20 C\n20 B", "",
               "B:3|C:2", 20, 1);
    speakerRow("blank-only line ignored, last speaker line sets the indentation",
               "30 \n30 A\n20 A\n20 B", "", "A:2|B:1", 20);
    speakerRow("included speaker counted twice", "20 MRS SMITH\n20 BOB", "MRS SMITH",
               "MRS SMITH:2|BOB:1", 20);
    // Included characters count at every mention, the longest name winning, even for a partial
    // match ("Mrs Jones"). Her last mention is at indentation 0, so no two characters share one
    // and the indentation filter keeps only those at 0.
    speakerRow("included characters count every mention",
               "20 MRS SMITH\n20 BOB\n0 I saw mrs smith and Mrs Jones", "MRS|MRS SMITH",
               "MRS SMITH:4", 0);
    // Beyond ASCII, upper case is what upper-casing leaves as it is: ß becomes SS.
    speakerRow("capitals beyond ASCII",
               QString::fromUtf8("20 ÉMILE\n20 Émile\n20 STRAßE\n20 ÉMILE\n20 BOB"), "",
               QString::fromUtf8("ÉMILE:2|BOB:1"), 20);
    // Merged, a speaker line's name ends at its first "(", with or without a blank before it.
    speakerRow("merged extensions",
               "20 JOHN (V.O.)\n20 JOHN(CONT'D)\n20 JOHN\n20 VOICE OUTSIDE (PINKUS)\n20 (V.O.)\n"
               "20 JOHN (O.S.) X",
               "", "JOHN:4|VOICE OUTSIDE:1", 20, 0, true);
    // Characters take the colours list in rank order, the last colour repeating; a forced colour
    // stays; with no list, hues spread evenly over the ranks ("hN" stands for hue N).
    speakerRow("colours list in rank order", "20 C\n20 A\n20 B\n20 A\n20 B\n20 A\n20 D", "",
               "A:3|B:2|C:1|D:1 #ff0000 #00ff00 #00ff00 #00ff00", 20, 0, false, "#ff0000 #00ff00");
    speakerRow("forced colour kept", "20 A\n20 A\n20 B", "A=#010203", "A:4|B:1 #010203 #ff0000", 20,
               0, false, "#ff0000");
    speakerRow("hues without a list", "20 A\n20 A\n20 B\n20 C\n20 D", "",
               "A:2|B:1|C:1|D:1 h0 h90 h180 h270", 20, 0, false, "none");
}

// The cast found, ranked, followed by each one's colour when the row gives a palette.
void TestDiscovery::speakers()
{
    const auto [lines, included, expected, spaces, minInstances, merge, palette] =
        SpeakerRows::fetch();
    ScreenplayAnalysis a;
    for (const QString &entry : included.split('|', Qt::SkipEmptyParts)) {
        a.includeCharacters.append(a.newCharacter(entry.section('=', 0, 0).split(' ')));
        a.includeCharacters.last()->colorSet = entry.contains('=');
        a.includeCharacters.last()->color = QColor(entry.section('=', 1));
    }
    for (const QString &name : palette.split(' ', Qt::SkipEmptyParts))
        if (name != "none")
            a.colors.append(QColor(name));
    a.lines = laidOut(lines).lines;
    a.minNumberOfCharacterInstances = minInstances;
    a.mergeCueExtensions = merge;
    a.findCharacters();
    QString actual = castSummary(a.characters);
    for (const Character *c : qAsConst(a.characters)) {
        const QColor &k = c->color;
        const bool generated = palette == "none" && !c->colorSet;
        if (!palette.isEmpty())
            actual += ' ' + (generated ? 'h' + QString::number(k.hsvHue()) : k.name());
        QVERIFY(!generated || (k.hsvSaturation() == 200 && k.value() >= 150 && k.value() <= 205));
    }
    QCOMPARE(actual, expected);
    QCOMPARE(a.characterSpaces, spaces);
}

// A text parsed with the given characters and break strings: its scenes and its markup.
void TestDiscovery::markup_data()
{
    MarkupRows::columns();

    markupRow("two-word name, blanks and text kept as they are", "MRS SMITH", {},
              "  a&b MRS SMITH <i>", "START 0-1 1",
              "  a&b <span class='MRSSMITH'>MRS SMITH </span><i> <br>");
    markupRow("longest result wins, earliest on a tie", "JOHN|John|MRS|MRS SMITH", {},
              "john MRS SMITH", "START 0-1 1,0,0,1",
              "<span class='JOHN'>john </span><span class='MRSSMITH'>MRS SMITH </span><br>");
    // Articles alone name no one; a whole name of them does.
    markupRow("articles", "THE REPORTERS|THE", {}, "the man, the reporters", "START 0-1 1,1",
              "<span class='THE'>the </span>man, <span class='THEREPORTERS'>the reporters "
              "</span><br>");
    markupRow("class attribute escaped", "O'BRIEN", {}, "O'BRIEN", "START 0-1 1",
              "<span class='O&#39;BRIEN'>O'BRIEN </span><br>");
    markupRow("character before break string", "INT", {"INT"}, "INT HOUSE", "START 0-1 1",
              "<span class='INT'>INT </span>HOUSE <br>");
    markupRow("one-word heading", "", {"INT"}, "INT", "START 0-0|INT 0-1",
              "|<span class='breakString'></span>INT <br>");
    markupRow("break string mid-line", "", {"EXT"}, "cut to EXT yard", "START 0-0|EXT 0-1",
              "cut to |<span class='breakString'>EXT </span>yard <br>");
    markupRow("heading opens a scene of the stored type", "JOHN", {"int."},
              "JOHN JOHN\nINT. ROOM\n\nJOHN", "START 0-0.25 2|int. 0.25-1 1",
              "<span class='JOHN'>JOHN </span><span class='JOHN'>JOHN </span><br>|<span "
              "class='breakString'>INT. </span>ROOM <br> <br><span class='JOHN'>JOHN </span><br>");
    // Marks that are no number count as page 0; a heading's last word can be a mark; a scene
    // starts with the last page of the one before.
    markupRow("page marks", "", {"INT"}, "[12] [x] [] [3\nINT HALL [13]",
              "START 0-0.5 p12,0,0|INT 0.5-1 p0,13",
              "[12] [x] [] [3 <br>|<span class='breakString'>INT HALL </span>[13] <br>");
    // Two breaks up to a line, the second at its very position, give a scene of no length;
    // breaks at 0 and past the last line open none.
    markupRow("user breaks", "", {}, "\n\nx\n", "START 0-0.5|USER_SET 0.5-0.5|USER_SET 0.5-1",
              " <br> <br>||x <br> <br>", {0.3f, 0.5f, 0.9f, 0.0f});
    // Blanks are words too: a name or a break string may start with an empty word.
    markupRow("name starting with a blank", " JOHN", {}, "  JOHN", "START 0-1 2",
              "<span class='JOHN'> </span><span class='JOHN'> JOHN </span><br>");
    markupRow("empty break string", "", {""}, "a  b", "START 0-0| 0-1",
              "a |<span class='breakString'> </span>b <br>");
    markupRow("case folded beyond ASCII", QString::fromUtf8("ÉMILE"), {},
              QString::fromUtf8("émile"), "START 0-1 1",
              QString::fromUtf8("<span class='ÉMILE'>émile </span><br>"));
    // Appended during the parse, MARY has no counter in the scene.
    markupRow("included character appended", "JOHN|+MARY", {}, "MARY JOHN MARY", "START 0-1 1",
              "<span class='MARY'>MARY </span><span class='JOHN'>JOHN </span><span "
              "class='MARY'>MARY </span><br>");
}

void TestDiscovery::markup()
{
    const auto [characters, breaks, lines, scenes, markup, userBreaks] = MarkupRows::fetch();
    ScreenplayAnalysis a;
    const QStringList names = characters.split('|', Qt::SkipEmptyParts);
    for (const QString &name : names) {
        Character *c = a.newCharacter(QString(name).remove('+').split(' '));
        (name.startsWith('+') ? a.includeCharacters : a.characters).append(c);
    }
    a.breakStrings = breaks;
    a.userBreaks = userBreaks;
    a.lines = lines.split('\n');
    a.buildModel();
    QCOMPARE(sceneSummary(a.characterList), scenes);
    QCOMPARE(a.markup, "<div class='scene'>" +
                           QString(markup).replace('|', "</div><div class='scene'>") + "</div>");
    // Every character of these texts is mentioned, so included ones join the characters.
    QCOMPARE(a.characters.size(), names.size());
}

// The saved document: before any parse the style block alone, after it the golden file.
void TestDiscovery::savedDocument()
{
    QCOMPARE(ScreenplayAnalysis().markupDocument(),
             QByteArray("<head><style type='text/css'>span.breakString{ color: purple; "
                        "font-weight: bold; font-style: italic;}</style></head>"));
    ScreenplayAnalysis a;
    a.breakStrings = QStringList{QStringLiteral("int.")};
    a.characters = {a.newCharacter({QStringLiteral("JOHN")}),
                    a.newCharacter({QStringLiteral("MRS"), QStringLiteral("SMITH")})};
    a.characters.at(0)->color = Qt::red;
    a.characters.at(1)->color = Qt::blue;
    a.lines = QStringList{"INT. KITCHEN - DAY", "                JOHN", "    Hello, Mrs Smith."};
    a.buildModel();
    QCOMPARE(a.markupDocument(), readFile(PLOTLOOM_TEST_DATA "/markup/saved.html"));
}

void TestDiscovery::selectors_data()
{
    DataTable<QString, QString>::columns(); // the class name, its selector
    const auto row = &DataTable<QString, QString>::row;
    row("punctuation", "O'BRIEN(V.O.):", "span.O\\'BRIEN\\(V\\.O\\.\\)\\:");
    row("leading digit", "2NDMAN", "span.\\32 NDMAN");
    row("Latin-1 kept", QString::fromUtf8("ÉMILE"), QString::fromUtf8("span.ÉMILE"));
    // Beyond Latin-1 each code point is escaped, so no two such names share a selector.
    row("beyond Latin-1", QString::fromUtf8("ŁUKASZ王"), "span.\\141 UKASZ\\738b ");
    row("beyond the first plane", QString::fromUtf8("\xF0\x9D\x94\xB8"), "span.\\1d538 ");
    row("lone surrogate", QString(QChar(0xD800)), "span.\\fffd ");
    row("hyphen inside kept", "JEAN-LUC", "span.JEAN-LUC");
    row("lone hyphen", "-", "span.\\-");
}

void TestDiscovery::selectors()
{
    const auto [className, selector] = DataTable<QString, QString>::fetch();
    QCOMPARE(classSelector(QStringLiteral("span"), className), selector);
}

// Structured screenplay text reaches the markup escaped, so that it shows as typed and runs
// nothing; plain text keeps its tags. The saved document keeps Latin-1 bytes and writes every
// other character as a reference. The file, its bytes, a piece of the markup, and a piece of the
// saved document (empty: the markup's piece in Latin-1).
using EscapingRows = DataTable<QString, QByteArray, QString, QByteArray>;

void TestDiscovery::escaping_data()
{
    EscapingRows::columns();
    const auto row = &EscapingRows::row;
    row("script in a Fountain action", "play.fountain", "<script>alert(1)</script>\n",
        "&lt;script&gt;alert(1)&lt;/script&gt; <br>", "");
    row("less-than in dialogue", "play.fountain", "BOB\nif a<b then & done\n",
        "if a&lt;b then &amp; done <br>", "");
    row("a speaker's name", "play.fountain", "\nR&D <X>\nHi.\n",
        "<span class='R&amp;D&lt;X&gt;'>R&amp;D &lt;X&gt; </span>", "");
    row("a Final Draft paragraph", "play.fdx",
        "<FinalDraft><Content><Paragraph Type=\"Action\"><Text>&lt;b&gt;x &amp;amp; &quot;q&apos;"
        "</Text></Paragraph></Content></FinalDraft>",
        "&lt;b&gt;x &amp;amp; \"q' <br>", "");
    row("plain text keeps its tags", "play.txt", "<b>bold</b> & co\n", "<b> bold</b>  & co <br>",
        "");
    row("beyond Latin-1", "play.fountain",
        "\xC5\x81UKASZ\nDzie\xC5\x84 \xE7\x8E\x8B \xC3\xA9 \xF0\x9D\x94\xB8 \xEF\xBF\xBD\n",
        QString::fromUtf8("Dzień 王 é \xF0\x9D\x94\xB8 \xEF\xBF\xBD"),
        "Dzie&#324; &#29579; \xE9 &#120120; &#65533;");
    row("a name beyond Latin-1", "play.fountain", "\xC5\x81UKASZ\nHi.\n",
        QString::fromUtf8("<span class='ŁUKASZ'>"),
        "span.\\141 UKASZ{ color: #ff0000 } span.breakString");
}

void TestDiscovery::escaping()
{
    const auto [name, bytes, markup, saved] = EscapingRows::fetch();
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    writeFile("colors.txt", "255 0 0\n");
    ScreenplayAnalysis a;
    openAndParse(a, writeFile(name, bytes));
    QVERIFY2(a.markup.contains(markup), qPrintable(a.markup));
    const QByteArray document = a.markupDocument();
    QVERIFY2(document.contains(saved.isEmpty() ? markup.toLatin1() : saved), document.constData());
}

QTEST_GUILESS_MAIN(TestDiscovery)
#include "tst_discovery.moc"
