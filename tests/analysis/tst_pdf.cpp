// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "corpus.h"
#include "pdflayout.h"
#include "pdftext.h"
#include "stdoutcapture.h"
#include "typewriterpdf.h"

#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

namespace {

// A page of a scanned screenplay: the text is pixels, and the file has no text layer.
void drawScan(const QString &path)
{
    QImage scan(612, 792, QImage::Format_Grayscale8);
    scan.fill(Qt::white);
    QPainter text(&scan);
    text.setFont(QFont(QStringLiteral("Courier"), 12));
    text.drawText(QPointF(260, 120), QStringLiteral("BOB"));
    text.drawText(QPointF(180, 132), QStringLiteral("Hello."));
    text.end();
    QPdfWriter writer(path);
    QPainter page(&writer);
    page.drawImage(page.viewport(), scan);
}

// A one-page PDF under the standard security handler whose user password is not empty: the
// check value /U matches no empty password, so the file opens only with its password.
QByteArray lockedPdf()
{
    const QByteArray check = QByteArray(32, 'x').toHex();
    const QList<QByteArray> objects{
        "<< /Type /Catalog /Pages 2 0 R >>", "<< /Type /Pages /Kids [3 0 R] /Count 1 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] >>",
        "<< /Filter /Standard /V 1 /R 2 /O <" + check + "> /U <" + check + "> /P -44 >>"};
    QByteArray pdf = "%PDF-1.4\n";
    QByteArray xref = "xref\n0 5\n0000000000 65535 f \n";
    for (int i = 0; i < objects.size(); ++i) {
        xref += QByteArray::number(pdf.size()).rightJustified(10, '0') + " 00000 n \n";
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const QByteArray id = QByteArray(16, 'p').toHex();
    return pdf + xref + "trailer\n<< /Size 5 /Root 1 0 R /Encrypt 4 0 R /ID [<" + id + "> <" + id +
           ">] >>\nstartxref\n" + QByteArray::number(pdf.size()) + "\n%%EOF\n";
}

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
    void unreadable_data();
    void unreadable();
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

// A PDF that cannot be read says why on standard error and in the text, and names no one.
void TestPdf::unreadable_data()
{
    QTest::addColumn<QByteArray>("bytes"); // empty: a scan
    QTest::addColumn<QString>("reason");
    QTest::newRow("a scan without text") << QByteArray() << "no text layer";
    QTest::newRow("an encrypted file") << lockedPdf() << "password";
    QTest::newRow("not a PDF") << QByteArray("INT. HOUSE\n\nBOB\nHi.\n") << "not a PDF";
}

void TestPdf::unreadable()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, reason);
    if (bytes.isEmpty())
        drawScan("play.PDF");
    else
        writeFile("play.PDF", bytes);
    ScreenplayAnalysis a;
    StdoutCapture errors(STDERR_FILENO);
    openAndParse(a, "play.PDF");
    const QString printed = errors.text();
    QVERIFY2(printed.contains("play.PDF: ") && printed.contains(reason), qPrintable(printed));
    QCOMPARE(a.lines.size(), 1);
    QVERIFY2(a.lines.first().contains(reason), qPrintable(a.lines.first()));
    QCOMPARE(castSummary(a.characters), QString());
    QCOMPARE(sceneTypes(a.characterList), QString("START"));
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
