// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "corpus.h"
#include "datatable.h"
#include "finaldraft.h"
#include "fountain.h"
#include "pdflayout.h"
#include "pdftext.h"
#include "typewriterpdf.h"

#include <QTemporaryDir>
#include <QTextCodec>

namespace {

// n words "word" separated by single blanks, to wrap.
QString words(int n)
{
    return QStringLiteral("word ").repeated(n).trimmed();
}

// A row of a reader's source, the expected layout ("indent text" lines, "h" after the indent of
// a heading and "c" after that of a cue), the speakers of the cues in order and, for a PDF, how
// it is drawn.
using Rows = DataTable<QString, QString, QStringList, QString>;
void row(const char *name, const QString &source, const QString &expected,
         const QStringList &speakers = {}, const QString &drawing = "lines")
{
    Rows::row(name, source, expected, speakers, drawing);
}

// Compares a reader's layout with the row's.
void compareLayout(const ScreenplayLayout &actual)
{
    const auto [source, expected, speakers, drawing] = Rows::fetch();
    const ScreenplayLayout wanted = laidOut(expected, speakers);
    QCOMPARE(actual.lines, wanted.lines);
    QCOMPARE(actual.cues, wanted.cues);
    QCOMPARE(actual.headings, wanted.headings);
}

// Final Draft paragraphs from "Type:text" pieces separated by "|".
QString paras(const QString &pieces)
{
    QString xml;
    for (const QString &piece : pieces.split('|'))
        xml += QStringLiteral("<Paragraph Type=\"%1\"><Text>%2</Text></Paragraph>")
                   .arg(piece.section(':', 0, 0), piece.section(':', 1));
    return xml;
}

// A Final Draft document: the paragraphs of its screenplay, and what stands outside them.
QString fdx(const QString &body, const QString &outside = QString())
{
    return "<FinalDraft DocumentType=\"Script\" Version=\"5\">" + outside + "<Content>" + body +
           "</Content></FinalDraft>";
}

} // namespace

// The readers of structured screenplays, Fountain, Final Draft and PDF, lay them out in
// typewriter columns with their cues and headings; discovery and the scenes follow those.
class TestLayouts : public QObject {
    Q_OBJECT
private slots:
    void init();
    void fountain_data();
    void fountain();
    void castAndScenes_data();
    void castAndScenes();
    void finalDraft_data();
    void finalDraft();
    void finalDraftEncodings_data();
    void finalDraftEncodings();
    void pdf_data();
    void pdf();
    void printedAsFountain_data();
    void printedAsFountain();

private:
    QTemporaryDir m_dir;
};

void TestLayouts::init()
{
    QDir::setCurrent(m_dir.path());
}

void TestLayouts::fountain_data()
{
    Rows::columns();
    row("nothing", "", "");
    // A heading is followed by action, not by dialogue; its scene number is dropped, an empty
    // one kept. A period forces one only before a letter or digit: "...", ".  Again" and a lone
    // "." are action.
    row("scene headings",
        QChar(0xFEFF) +
            QStringLiteral("EXT. SOMEWHERE - DAY\nSun.\n\nINT./EXT. CAR #12A#\n\nEXT. ROOF ##\n\n"
                           ".IMAGINED OCEAN\n...and then.\n\n.  Again we see.\n\n"
                           ".7TH FLOOR\n\n."),
        "15h EXT. SOMEWHERE - DAY\n15 Sun.\n\n15h INT./EXT. CAR\n\n15h EXT. ROOF ##\n\n15h "
        "IMAGINED OCEAN\n"
        "15 ...and then.\n\n15 .  Again we see.\n\n15h 7TH FLOOR\n\n15 .");
    // The speaker is the cue without extensions, "@" and "^", in the case written; a cue that
    // opens no dialogue is none.
    row("cues and dialogue",
        "\nBOB (cont'd)\nYes.\n\n\t@McCoy\n    \tDammit.  \n\nSTEEL ^\nNo.\n\n@Nobody\n\n"
        "@(V.O.)\nWho?",
        "\n37c BOB (cont'd)\n25 Yes.\n\n37c McCoy\n25 Dammit.\n\n37c STEEL\n25 No.\n\n"
        "37 Nobody\n\n37 (V.O.)\n25 Who?",
        {"BOB", "McCoy", "STEEL"});
    // Two blanks continue a speech; an empty line or a single blank ends it.
    row("parentheticals, lyrics, end of dialogue",
        "BOB\n(quietly)\nHello.\n  \n~Happy birthday\n\n~La la\nHe leaves.\n\nSUE\nHi.\n \nBye.",
        "37c BOB\n30 (quietly)\n25 Hello.\n\n25 Happy birthday\n\n15 La la\n15 He leaves.\n\n"
        "37c SUE\n25 Hi.\n\n15 Bye.",
        {"BOB", "SUE"});
    row("action",
        "\n!TITLE CARD\nRobots work.\n\nBOOM\n\nBob\nHello.\n\nHe admires\nA CUTE DOG\nand a "
        "cat.\n\nBOSS, 40 (or any age), an ageless,\nfaceless cloud",
        "\n15 TITLE CARD\n15 Robots work.\n\n15 BOOM\n\n15 Bob\n15 Hello.\n\n15 He admires\n"
        "15 A CUTE DOG\n15 and a cat.\n\n15 BOSS, 40 (or any age), an ageless,\n15 faceless cloud");
    row("transitions, centred text, sections and synopses, page breaks",
        "# ACT ONE\n\n## Part\n= Bob meets Ann.\n==\n\nCUT TO:\n\n> Burn to white.\n\n===\n\n"
        "> THE END <\n>*x*<\n=====\nThree.",
        "\n\n55 CUT TO:\n\n55 Burn to white.\n\n15 [2]\n\n41 THE END\n44 x\n15 [3]\n15 Three.");
    row("title page",
        "Title:\n\tBarrier\\_15\n  \n\t\"Child\"\nDraft date: 2021\n\nFADE IN:", "\n15 FADE IN:");
    row("no title page without a title key", "FADE IN:\n\nINT. X", "15 FADE IN:\n\n15h INT. X");
    // A line that held only boneyard or a note goes, so a note does not part a cue from its
    // speech; a note ends before an empty line; an unterminated opener stays text.
    row("boneyard and notes",
        "Bob runs. /* cut */ He stops.\n\n/*\nINT. GONE\n\nBOB\nHi.\n*/\n\nKept /* gone\n"
        "gone */ kept.\n\n/* no end\n\nBOB\n[[note]]\nHi. [[check this]]\n\nAction [[a\n"
        "b]] goes on.\n\nAct [[open\n\nMore ]]",
        "15 Bob runs.  He stops.\n\n\n15 Kept\n15 kept.\n\n15 /* no end\n\n37c BOB\n25 Hi.\n\n"
        "15 Action\n15 goes on.\n\n15 Act [[open\n\n15 More ]]",
        {"BOB"});
    row("emphasis",
        "*Ember One* and **bold**, ***both*** and _under_.\n\n\\*\\*\\* PHASE \\*\\*\\*\n\n"
        "Barrier\\_15 snake_case_name 2*3*4 a * b",
        "15 Ember One and bold, both and under.\n\n15 *** PHASE ***\n\n"
        "15 Barrier_15 snake_case_name 2*3*4 a * b");
    // Action wraps at 60 columns, dialogue at 35, parentheticals at 25; a longer word keeps a
    // line of its own.
    const QString x40(40, 'x');
    row("wrapping", words(20) + "\n\nBOB\n" + words(20) + "\n(" + words(8) + ")\n" + x40 + " end",
        "15 " + words(12) + "\n15 " + words(8) + "\n\n37c BOB\n25 " + words(7) + "\n25 " +
            words(7) + "\n25 " + words(6) + "\n30 (" + words(5) + "\n30 " + words(3) + ")\n25 " +
            x40 + "\n25 end",
        {"BOB"});
}

void TestLayouts::fountain()
{
    compareLayout(fountainLayout(splitLines(std::get<0>(Rows::fetch()))));
}

// Read as a file, the cast comes from the cues and the scenes ("type:counts") from the headings,
// nothing else: not transitions, capitals in dialogue or action, nor break strings elsewhere.
void TestLayouts::castAndScenes_data()
{
    Rows::columns();
    row("transitions are no one",
        "CUT TO:\n\nINT. A\n\nx\n\nFADE TO BLACK.\n\nCUT TO:", "|START|int.");
    row("capitals in dialogue are no one", "BOB\nI OK?\n\nSUE\nFBI.\n\nBOB\nOK.",
        "BOB:2|SUE:1|START:2,1");
    row("one speaker, forced in mixed case", "@McCLANE\nYippee.", "McCLANE:1|START:1");
    // Typographic apostrophes and quotes fold, so one person is one character.
    row("quotes in cue names",
        QString::fromUtf8("O\u2019NEIL\nHi.\n\nO'NEIL\nHo.\n\n"
                          "\u201CDOC\u201D\nNo."),
        "O'NEIL:2|\"DOC\":1|START:2,1");
    // ANNA (V.O.) is ANNA: she is present wherever her name is, whichever cue names her.
    row("extensions name the same speaker",
        "INT. A\n\nANNA (V.O.)\nHi.\n\nANNA (V.O.)\nHo.\n\nEXT. B\n\nANNA\nYes.\n\n"
        "BRIANNA(O.S.)\nNo.\n\nBRIANNA (CONT'D) ^\nNo!",
        "ANNA:3|BRIANNA:2|START:0,0|int.:2,0|ext.:1,1");
    // A heading that starts with no break string takes its first word as type.
    row("headings written six ways, and nothing else",
        "INT./EXT. CAR - DAY\n\n!INT. FORCED ACTION\n\nThe interior is dark.\n\nI/E HALL\n\n"
        "EST. TOWER\n\n.FLASHBACK\n\nint. kitchen\n\nINT/EXT HOUSE",
        "|START|INT./EXT.|I/E|EST.|FLASHBACK|int.|INT/EXT");
}

void TestLayouts::castAndScenes()
{
    const auto [source, expected, speakers, drawing] = Rows::fetch(); // expected: cast, scenes
    writeFile("play.fountain", source.toUtf8());
    ScreenplayAnalysis a;
    openAndParse(a, "play.fountain");
    QCOMPARE(castSummary(a.characters) + '|' + sceneSummary(a.characterList, false), expected);
}

void TestLayouts::finalDraft_data()
{
    Rows::columns();
    row("headings, shots, action",
        fdx(paras("Scene Heading:INT. HOUSE - DAY|Action:" + words(20) + "|Shot:ANGLE ON " +
                  words(15) + "|General:x")),
        "15h INT. HOUSE - DAY\n\n15 " + words(12) + "\n15 " + words(8) + "\n\n15 ANGLE ON " +
            words(15) + "\n\n15 x");
    row("other types are action, acts centred",
        fdx(paras("Cast List:BOB, a sailor|Lyrics:la") +
            "<Paragraph><Text>untyped</Text></Paragraph>" +
            paras("New Act:ACT ONE|End of Act:END OF ACT ONE")),
        "15 BOB, a sailor\n\n15 la\n\n15 untyped\n\n41 ACT ONE\n\n38 END OF ACT ONE");
    // Parentheticals and dialogue go on the speech without an empty line, wrapped at 25 and 35.
    row("a speech and a transition",
        fdx(paras("Character:BOB (V.O.)|Parenthetical:(" + words(8) + ")|Dialogue:" + words(20) +
                  "|Parenthetical:(beat)|Dialogue:Hi.|Transition:CUT TO:|Dialogue:Orphan.")),
        "37c BOB (V.O.)\n30 (" + words(5) + "\n30 " + words(3) + ")\n25 " + words(7) + "\n25 " +
            words(7) + "\n25 " + words(6) + "\n30 (beat)\n25 Hi.\n\n55 CUT TO:\n\n25 Orphan.",
        {"BOB"});
    row("quotes in cue names", fdx(paras(QString::fromUtf8("Character:O\u2018NEIL\u2019S VOICE"))),
        "37c O'NEIL'S VOICE", {"O'NEIL'S VOICE"});
    // Final Draft shows cues in capitals, so these are one speaker.
    row("cues in capitals",
        fdx(paras("Character:Henry|Dialogue:Hi.|Character:HeNRY (cont'd)|Dialogue:Yes.|"
                  "Character:\xC3\xA9mile|Dialogue:Oui.")),
        QString::fromUtf8("37c HENRY\n25 Hi.\n\n37c HENRY (CONT'D)\n25 Yes.\n\n37c \xC3\x89MILE\n"
                          "25 Oui."),
        {"HENRY", "HENRY", QString::fromUtf8("\xC3\x89MILE")});
    row("dual dialogue",
        fdx(paras("Action:x") + "<Paragraph Type=\"Character\"><DualDialogue>" +
            paras("Character:ANN|Dialogue:Hi.|Character:BOB|Parenthetical:(loud)|Dialogue:Ho.") +
            "</DualDialogue></Paragraph>" + paras("Action:They stop.")),
        "15 x\n\n37c ANN\n25 Hi.\n\n37c BOB\n30 (loud)\n25 Ho.\n\n15 They stop.", {"ANN", "BOB"});
    // Runs are joined as written, line breaks in them are blanks; a paragraph without text, a
    // heading above all, gives nothing.
    row("runs, empty text",
        fdx("<Paragraph Type=\"Character\"><Text>CAPTAIN </Text><Text Style=\"Bold\">LE GUIN</Text>"
            "<Text> (CONT'D)</Text></Paragraph><Paragraph Type=\"Dialogue\"><Text></Text><Text/>"
            "<Text Style=\"Italic\">Full\n  stop.</Text></Paragraph><Paragraph Type=\"Scene "
            "Heading\"><Text> </Text></Paragraph><Paragraph Type=\"Action\"/>" +
            paras("Action:after")),
        "37c CAPTAIN LE GUIN (CONT'D)\n25 Full stop.\n\n15 after", {"CAPTAIN LE GUIN"});
    row("title page, properties, headers, settings are not text",
        fdx("<Paragraph Type=\"Scene Heading\"><SceneProperties Title=\"t\"><Text>no</Text>"
            "</SceneProperties><Text>INT. A</Text></Paragraph>",
            "<TitlePage><Content>" + paras("Action:TITLE") + "</Content></TitlePage>" +
                paras("Action:stray") +
                "<HeaderAndFooter><Header><Paragraph><Text>HEADER</Text></Paragraph></Header>"
                "</HeaderAndFooter><SmartType><Characters><Character>ZED</Character>"
                "</Characters></SmartType><ElementSettings Type=\"Action\"/>"),
        "15h INT. A");
    // Ten levels of ten would be 10^10 copies; an external entity would read a file.
    QString laughs = "<!ENTITY l0 \"ha\">";
    for (int i = 1; i <= 10; ++i)
        laughs += QStringLiteral("<!ENTITY l%1 \"%2\">")
                      .arg(i)
                      .arg(QString("&l%1;").arg(i - 1).repeated(10));
    row("entities are never expanded",
        "<?xml version=\"1.0\"?><!DOCTYPE FinalDraft [" + laughs +
            "<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>" +
            fdx(paras("Action:&l10; &xxe; &amp; &#233; &lt;b&gt;")),
        QString::fromUtf8("15 &l10; &xxe; & \xC3\xA9 <b>"));
}

void TestLayouts::finalDraft()
{
    QString error;
    compareLayout(finalDraftLayout(std::get<0>(Rows::fetch()).toUtf8(), &error));
    QCOMPARE(error, QString());
}

// A Final Draft document is decoded by its byte-order mark, or else its encoding declaration.
// The codec of the bytes, the mark before them, the encoding declared (none: empty), and the
// action line read, or "!" and the reason the document is refused.
using EncodingRows = DataTable<QByteArray, QByteArray, QString, QString>;

void TestLayouts::finalDraftEncodings_data()
{
    EncodingRows::columns();
    const auto row = &EncodingRows::row;
    // U+010D is 0D 01 in UTF-16: a reader that drops carriage returns from the bytes breaks it.
    const QString text =
        QString::fromUtf8("Zo\xC3\xAB\xE2\x80\x99s caf\xC3\xA9 \xE7\x8E\x8B \xC4\x8D");
    row("UTF-16, little-endian mark", "UTF-16LE", "\xFF\xFE", "UTF-16", "15 " + text);
    row("UTF-16, big-endian mark", "UTF-16BE", "\xFE\xFF", "", "15 " + text);
    row("UTF-16 without a mark", "UTF-16LE", "", "UTF-16", "15 " + text);
    row("UTF-8 with a mark", "UTF-8", "\xEF\xBB\xBF", "", "15 " + text);
    row("ISO-8859-1 declared", "ISO-8859-1", "", "ISO-8859-1",
        QString::fromUtf8("15 Zo\xC3\xAB caf\xC3\xA9"));
    row("windows-1252 declared", "windows-1252", "", "windows-1252",
        QString::fromUtf8("15 Zo\xC3\xAB\xE2\x80\x99s caf\xC3\xA9"));
    row("UTF-16 declared, written byte by byte", "UTF-8", "", "UTF-16", "15 " + text);
    row("unknown encoding", "UTF-8", "", "X-NONE",
        "!not a Final Draft document: unknown encoding \"X-NONE\"");
}

void TestLayouts::finalDraftEncodings()
{
    const auto [codec, mark, declared, expected] = EncodingRows::fetch();
    // The text as far as the codec can hold it; the expected line says how far that is.
    const QString line = expected.startsWith("15 ") ? expected.mid(3) : QStringLiteral("x");
    const QString xml =
        (declared.isEmpty() ? QString() : "<?xml version=\"1.0\" encoding=\"" + declared + "\"?>") +
        fdx(paras("Action:" + line));
    QTextCodec::ConverterState noMark(QTextCodec::IgnoreHeader);
    writeFile("play.fdx", mark + QTextCodec::codecForName(codec)->fromUnicode(xml.constData(),
                                                                              xml.size(), &noMark));
    ScreenplayAnalysis a;
    const FileError error = a.readFile("play.fdx");
    QCOMPARE(expected.startsWith('!') ? "cannot be read: " + error.reason : a.lines.value(0),
             expected.startsWith('!') ? "cannot be read: " + expected.mid(1)
                                      : QString(15, ' ') + expected.mid(3));
}

// Pages of "indent text" lines, separated by "\f", drawn as a PDF and read back; the drawing
// is "lines" or "words" (every word by itself in pieces, right to left).
void TestLayouts::pdf_data()
{
    Rows::columns();
    // The cue and the heading repeated over a page break go with the page furniture; scene
    // numbers leave their heading, and make one of a line without a break string.
    row("furniture, scene numbers, a speech over a page break",
        "8 1      INT. HOUSE - DAY                    1\n\n15 Bob waits.\n\n\n37 BOB (V.O.)\n"
        "30 (low)\n25 Who is\n37 (MORE)\n62 (CONTINUED)\f72 2.\n\n15 INT. HOUSE - DAY (CONT'D)\n\n"
        "37 BOB (CONT'D)\n25 there?\n\n55 CUT TO:\n\n8 2A     IMAGINED OCEAN                 2A",
        "15 [1]\n15h INT. HOUSE - DAY\n\n15 Bob waits.\n\n\n37c BOB (V.O.)\n30 (low)\n"
        "25 Who is\n15 [2]\n25 there?\n\n55 CUT TO:\n\n15h IMAGINED OCEAN",
        {"BOB"});
    row("a cue continued after action counts again",
        "37 ANN\n25 Hi.\n\n15 She sits.\f72 2.\n\n37 ANN (CONT'D)\n25 Bye.",
        "15 [1]\n37c ANN\n25 Hi.\n\n15 She sits.\n15 [2]\n37c ANN (CONT'D)\n25 Bye.",
        {"ANN", "ANN"});
    row("a page of dialogue alone", "15 INT. A\n\n37 ANN\n25 Hi,\f25 and more\n25 and more.",
        "15 [1]\n15h INT. A\n\n37c ANN\n25 Hi,\n15 [2]\n25 and more\n25 and more.", {"ANN"});
    row("words drawn one by one",
        "15 EXT. DOCK - NIGHT\n\n37 CAPTAIN LE GUIN   (V.O.)\n25 Yes,  sir.",
        "15 [1]\n15h EXT. DOCK - NIGHT\n\n37c CAPTAIN LE GUIN   (V.O.)\n25 Yes,  sir.",
        {"CAPTAIN LE GUIN"}, "words");
    // As many lines at the margin as at the transitions: the margin is the leftmost.
    row("no cue anywhere", "15 INT. A\n\n15 Nothing is said.\n\n55 CUT TO:\n\n55 FADE OUT.",
        "15 [1]\n15h INT. A\n\n15 Nothing is said.\n\n55 CUT TO:\n\n55 FADE OUT.");
    // A running footer goes, also on the last line but one.
    QString footed, read;
    for (const QString page :
         {"Rain.|The rain falls on the long quay tonight.|Gulls cry.|A ship waits in the dark.",
          "Wind.|A storm moves in over the grey harbour wall.|Doors bang.|Lights go out.",
          "Dawn.|Bells ring out from the church on the hill.|Boats return.|It is over."}) {
        const QString text = "15 " + page.split('|').join("\n15 ");
        footed +=
            text + "\n\n15 Studio draft\n72 " + QString::number(footed.count('\f') + 1) + ".\f";
        read += "15 [" + QString::number(read.count('[') + 1) + "]\n" + text + '\n';
    }
    row("a running footer over the page number", footed.chopped(1), read.chopped(1));
    // Capitals are a cue only in the cue columns and over a speech; a heading stands at the
    // action margin after an empty line and starts with a break string.
    row("capitals and break strings that open nothing",
        "41 THE END\n\n37 BOB\n25 FBI!\n25 INT. is short.\n\n37 SUE\n\n15 INTERIOR shots.\n"
        "15 EXT of the ship.\n37 Bob\n25 Hi.",
        "15 [1]\n41 THE END\n\n37c BOB\n25 FBI!\n25 INT. is short.\n\n37 SUE\n\n"
        "15 INTERIOR shots.\n15 EXT of the ship.\n37 Bob\n25 Hi.",
        {"BOB"});
}

void TestLayouts::pdf()
{
    const auto [source, expected, speakers, drawing] = Rows::fetch();
    QVector<QStringList> pages;
    for (const QString &page : source.split('\f'))
        pages.append(laidOut(page).lines);
    PrintStyle style;
    style.wordByWord = drawing == "words";
    QVERIFY(drawTypewriterPdf("play.pdf", pages, style));
    const PdfText text = readPdfText("play.pdf");
    QCOMPARE(text.error, QString());
    const ScreenplayLayout layout = pdfLayout(text.pages);
    compareLayout(layout);
    QCOMPARE(layout.unstructured, layout.cues.isEmpty());
}

// A Fountain screenplay printed as PDF in the ways screenplay programs print reads as the
// Fountain file does: the same cast, counts and scenes, mentions in each scene included. The
// style is a list of words: paper ("a4"), "centred" cues or cues at 3.5 inches ("cue35"),
// margins that "shift" from page to page, scene numbers on the "left", "right" or "none",
// "plain" (no CONTINUED), a running "header", dual dialogue "stacked", pages turned ("rot90")
// or their text "drawn" turned, a "proportional" face, "words" drawn one by one, "bold"
// headings or headings "spaced" by two empty lines, a "title" page, and "short" pages of 14 lines,
// so that speeches and scenes break often; or a PDF file printed beforehand.
using PrintRows = DataTable<QString, QString>;

void TestLayouts::printedAsFountain_data()
{
    PrintRows::columns();
    const QString harbour = QStringLiteral(PLOTLOOM_TEST_DATA "/pdf/harbour.fountain");
    const auto row = [&harbour](const char *name, const QString &style) {
        PrintRows::row(name, harbour, style + " short");
    };
    row("Letter, typewriter columns", "");
    row("A4, centred cues, title page", "a4 centred title");
    row("margins that shift", "shift");
    row("scene numbers on the left, running header", "left header");
    row("scene numbers on the right, cues at 3.5 inches", "right cue35");
    row("no scene numbers, no CONTINUED, bold headings", "none plain bold");
    // At the top of a short page nothing would tell a forced heading from action.
    PrintRows::row("no scene numbers, headings after two empty lines", harbour, "none spaced");
    row("dual dialogue stacked", "stacked");
    row("turned a quarter", "rot90");
    row("turned upside down", "rot180 a4");
    row("turned three quarters", "rot270 centred");
    row("drawn turned on a landscape page", "drawn a4");
    row("proportional face", "proportional");
    row("words one by one, bold headings", "words bold");
    // Printed by another program (tests/data/pdf/printpdf.py, over ReportLab).
    for (const char *file :
         {"harbour-a4.pdf", "harbour-a4-turned.pdf", "harbour-letter-centred.pdf"})
        PrintRows::row(file, harbour, QStringLiteral(PLOTLOOM_TEST_DATA "/pdf/") + file);
    if (!hasCorpus()) {
        PrintRows::row("the screenplay corpus", corpusDir(), "");
        return;
    }
    const QString barrier15 = corpusFile("barrier15-the-phoenix-child-2021.fountain");
    const QString cyberBob = corpusFile("cyber-bob-ep1-traffic-control-dogs.fountain");
    PrintRows::row("barrier15, A4, centred cues, title page, turned", barrier15,
                   "a4 centred title rot90");
    PrintRows::row("barrier15, Letter, running header, bold headings", barrier15, "header bold");
    PrintRows::row("cyber-bob", cyberBob, "");
    PrintRows::row("cyber-bob turned", cyberBob, "rot270");
}

void TestLayouts::printedAsFountain()
{
    const auto [source, words] = PrintRows::fetch();
    if (!source.startsWith(PLOTLOOM_TEST_DATA))
        REQUIRE_CORPUS();
    const QString pdfFile = words.endsWith(".pdf") ? words : QStringLiteral("play.pdf");
    const QStringList style = words.split(' ');
    PrintStyle print;
    print.paper = style.contains("a4") ? QPageSize::A4 : QPageSize::Letter;
    print.pageLines = style.contains("short") ? 14 : 0;
    print.centredCues = style.contains("centred");
    if (style.contains("cue35"))
        print.cueColumn = 35, print.parentheticalColumn = 31;
    if (style.contains("shift"))
        print.margins = {108, 130, 96, 150, 108, 72};
    print.leftSceneNumbers = !style.contains("right") && !style.contains("none");
    print.rightSceneNumbers = !style.contains("left") && !style.contains("none");
    print.continued = !style.contains("plain");
    print.header = style.contains("header") ? "DRAFT" : "";
    print.sideBySide = !style.contains("stacked");
    for (const int turn : {90, 180, 270})
        if (style.contains("rot" + QString::number(turn)))
            print.rotate = turn;
    print.drawnTurned = style.contains("drawn");
    print.proportional = style.contains("proportional");
    print.wordByWord = style.contains("words");
    print.boldHeadings = style.contains("bold");
    print.spacedHeadings = style.contains("spaced");
    if (style.contains("title"))
        print.titlePage = QStringList{"FOR ANNA AND TOM", "Written by", "A WRITER"};
    if (!words.endsWith(".pdf"))
        QVERIFY(printAsPdf(source, pdfFile, print) > 1);

    ScreenplayAnalysis fountain;
    ScreenplayAnalysis pdf;
    openAndParse(fountain, source);
    openAndParse(pdf, pdfFile);
    QCOMPARE(castSummary(pdf.characters), castSummary(fountain.characters));
    QCOMPARE(sceneSummary(pdf.characterList, false), sceneSummary(fountain.characterList, false));
}

QTEST_MAIN(TestLayouts)
#include "tst_layouts.moc"
