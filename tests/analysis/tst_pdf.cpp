// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "corpus.h"
#include "pdflayout.h"
#include "pdftext.h"
#include "typewriterpdf.h"

#include <QTemporaryDir>

namespace {

// Every scene's type, separated by "|".
QString sceneTypes(const CharacterList *list)
{
    QStringList types;
    for (const TimeIndex *t : list->timeIndices)
        types.append(t->type);
    return types.join('|');
}

} // namespace

class TestPdf : public QObject {
    Q_OBJECT
private slots:
    void init();
    void layout_data();
    void layout();
    void sameAsItsSource_data();
    void sameAsItsSource();

private:
    QTemporaryDir m_dir;
};

void TestPdf::init()
{
    QDir::setCurrent(m_dir.path());
}

// Pages in typewriter columns are drawn as a PDF and read back. The pages and the expected
// layout are "indent text" lines; in the expected layout "h" marks a heading and "c" a cue.
void TestPdf::layout_data()
{
    QTest::addColumn<QStringList>("pages");
    QTest::addColumn<QVector<qreal>>("margins");
    QTest::addColumn<bool>("wordByWord");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QStringList>("speakers");

    const QVector<qreal> usual;
    // The repeated cue goes with the page furniture; scene numbers leave their heading, and
    // make one of a line without a break string.
    QTest::newRow("furniture, scene numbers, a speech over a page break")
        << QStringList{"8 1      INT. HOUSE - DAY                    1\n\n15 Bob waits.\n\n\n"
                       "37 BOB (V.O.)\n30 (low)\n25 Who is\n37 (MORE)\n62 (CONTINUED)",
                       "72 2.\n\n15 CONTINUED:\n\n37 BOB (CONT'D)\n25 there?\n\n55 CUT TO:\n\n"
                       "8 2A     IMAGINED OCEAN                      2A"}
        << usual << false
        << "15 [1]\n15h INT. HOUSE - DAY\n\n15 Bob waits.\n\n\n37c BOB (V.O.)\n30 (low)\n"
           "25 Who is\n15 [2]\n25 there?\n\n55 CUT TO:\n\n15h IMAGINED OCEAN"
        << QStringList{"BOB"};
    QTest::newRow("a cue continued after action counts again")
        << QStringList{"37 ANN\n25 Hi.\n\n15 She sits.", "72 2.\n\n37 ANN (CONT'D)\n25 Bye."}
        << usual << false
        << "15 [1]\n37c ANN\n25 Hi.\n\n15 She sits.\n15 [2]\n37c ANN (CONT'D)\n25 Bye."
        << QStringList{"ANN", "ANN"};
    QTest::newRow("a second page with a different left margin")
        << QStringList{"15 INT. A\n\n37 ANN\n25 Hi.", "15 EXT. B\n\n37 BOB\n30 (off)\n25 Yo."}
        << QVector<qreal>{kPrintedActionMargin, kPrintedActionMargin + 36} << false
        << "15 [1]\n15h INT. A\n\n37c ANN\n25 Hi.\n15 [2]\n15h EXT. B\n\n37c BOB\n30 (off)\n25 Yo."
        << QStringList{"ANN", "BOB"};
    QTest::newRow("a page of dialogue alone")
        << QStringList{"15 INT. A\n\n37 ANN\n25 Hi,", "25 and more\n25 and more."} << usual << false
        << "15 [1]\n15h INT. A\n\n37c ANN\n25 Hi,\n15 [2]\n25 and more\n25 and more."
        << QStringList{"ANN"};
    QTest::newRow("words drawn one by one")
        << QStringList{"15 EXT. DOCK - NIGHT\n\n37 CAPTAIN LE GUIN   (V.O.)\n25 Yes,  sir."}
        << usual << true
        << "15 [1]\n15h EXT. DOCK - NIGHT\n\n37c CAPTAIN LE GUIN   (V.O.)\n25 Yes,  sir."
        << QStringList{"CAPTAIN LE GUIN"};
    // Capitals are a cue only in the cue columns and over a speech; a heading stands at the
    // action margin and starts with a break string.
    QTest::newRow("capitals and break strings that open nothing")
        << QStringList{"41 THE END\n\n37 BOB\n25 FBI!\n25 INT. is short.\n\n37 SUE\n\n"
                       "15 INTERIOR shots.\n37 Bob\n25 Hi."}
        << usual << false
        << "15 [1]\n41 THE END\n\n37c BOB\n25 FBI!\n25 INT. is short.\n\n37 SUE\n\n"
           "15 INTERIOR shots.\n37 Bob\n25 Hi."
        << QStringList{"BOB"};
}

void TestPdf::layout()
{
    QFETCH(QStringList, pages);
    QFETCH(QVector<qreal>, margins);
    QFETCH(bool, wordByWord);
    QFETCH(QString, expected);
    QFETCH(QStringList, speakers);
    QVector<QStringList> typed;
    for (const QString &page : pages)
        typed.append(laidOut(page, {}).lines);
    QVERIFY(drawTypewriterPdf("play.pdf", typed, PdfDrawing{margins, wordByWord}));
    const PdfText text = readPdfText("play.pdf");
    QCOMPARE(text.error, QString());
    const ScreenplayLayout actual = pdfLayout(text.pages);
    const ScreenplayLayout wanted = laidOut(expected, speakers);
    QCOMPARE(actual.lines, wanted.lines);
    QCOMPARE(actual.cues, wanted.cues);
    QCOMPARE(actual.headings, wanted.headings);
}

// A screenplay printed as a PDF, furniture and all, reads as its source: barrier15 as the
// Fountain reader lays it out, His Girl Friday as typewritten (read with extensions merged).
void TestPdf::sameAsItsSource_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<int>("speakers");
    QTest::newRow("barrier15") << "barrier15-the-phoenix-child-2021.fountain" << 27;
    QTest::newRow("His Girl Friday") << "his-girl-friday-1940.txt" << 66;
}

void TestPdf::sameAsItsSource()
{
    REQUIRE_CORPUS();
    QFETCH(QString, file);
    QFETCH(int, speakers);
    const QString source = corpusFile(file);
    QVERIFY(printAsPdf(source, "play.pdf") > 0);

    ScreenplayAnalysis original;
    ScreenplayAnalysis printed;
    original.mergeCueExtensions = true;
    openAndParse(original, source);
    openAndParse(printed, "play.pdf");
    QCOMPARE(castSummary(printed.characters), castSummary(original.characters));
    QCOMPARE(printed.characters.size(), speakers);
    if (file.endsWith(".fountain"))
        QCOMPARE(sceneTypes(printed.characterList), sceneTypes(original.characterList));
}

QTEST_MAIN(TestPdf)
#include "tst_pdf.moc"
