// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "datatable.h"
#include "fileio.h"
#include "stdoutcapture.h"

#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

namespace {

// A page of a scanned screenplay: an image, and no text layer.
QByteArray scannedPdf()
{
    QBuffer pdf;
    pdf.open(QIODevice::WriteOnly);
    QPdfWriter writer(&pdf);
    QPainter page(&writer);
    page.drawImage(QPointF(0, 0), QImage(612, 792, QImage::Format_Grayscale8));
    page.end();
    return pdf.data();
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

} // namespace

// Reading screenplays of every kind, CSV timelines and XML files, and input that is huge, odd or
// cannot be read.
class TestReading : public QObject {
    Q_OBJECT
private slots:
    void init();
    void rewrite_data();
    void rewrite();
    void lineEnds_data();
    void lineEnds();
    void csv_data();
    void csv();
    void csvIncludedColorKept();
    void capitalSuffixIsPlainText();
    void xml_data();
    void xml();
    void oddScreenplays_data();
    void oddScreenplays();

private:
    void parseFile(ScreenplayAnalysis &a, const QString &name, const QByteArray &bytes)
    {
        writeFile(m_dir.filePath(name), bytes);
        openAndParse(a, m_dir.filePath(name));
    }

    QTemporaryDir m_dir;
};

void TestReading::init()
{
    QDir::setCurrent(m_dir.path());
}

// The lines a file adds to those already read. A structured file that is not of its format adds
// the reason as its only line and prints "FILE: REASON" on standard error; such a reason is
// written here after a "!".
// The file name, its bytes (null: the file is missing), the lines separated by "|".
using RewriteRows = DataTable<QString, QByteArray, QString>;

void TestReading::rewrite_data()
{
    RewriteRows::columns();
    const auto row = &RewriteRows::row;

    const QString indent(16, ' ');
    const QString cue(37, ' ');
    row("speaker element", "play.txt", "<speaker x><center><b>JOHN</b></center>\n",
        indent + "JOHN");
    row("speaker without centre tag", "play.txt", "<speaker>JOHN</b></center> rest\n",
        indent + "<speaker> JOHN");
    row("tabs to four blanks", "play.txt", "\t\t\t\tJOHN\n", indent + "JOHN");
    row("page styling neutralised, blank after every tag", "play.txt",
        "<h2 style=\"font-size: 9pt\"><font size=2>x</font></h2>\n",
        "<noh2 style=\"no-font-size: 9pt\"> <nofont size=2> x</nofont> </noh2> ");
    // Files that are no text give no line, and so no one; a missing one the single line.
    row("NUL bytes: binary", "play.txt", QByteArray("a\0b\n", 4), "!is not a text screenplay");
    row("mostly control bytes", "play.txt", "\x01\x02\x03\x04\x05\x06\x07\x08\x0e\x0fINT\n",
        "!is not a text screenplay");
    row("empty file", "play.txt", "", "!is empty");
    row("missing file", "play.txt", QByteArray(), "!cannot be read: No such file or directory");
    row("no suffix is plain text", "fountain", "BOB\na > b\n", "BOB|a >  b");
    // Fountain is laid out in typewriter columns; its text is no HTML and is not rewritten.
    row("Fountain suffix in any case", "play.Fountain", "BOB\na > b\n",
        cue + "BOB|" + QString(25, ' ') + "a > b");
    row("Final Draft suffix in any case", "play.FDX",
        "<FinalDraft><Content><Paragraph Type=\"Character\"><Text>BOB</Text></Paragraph>"
        "</Content></FinalDraft>",
        cue + "BOB");
    row("another XML document as Final Draft", "play.fdx",
        "<html><body><p>INT. HOUSE</p></body></html>",
        "!cannot be read: not a Final Draft document");
    row("Final Draft document broken off", "play.fdx", "<FinalDraft>\n<Content>\n<Paragraph>",
        "!cannot be read: not a Final Draft document: XML error at line 3");
    row("empty Final Draft file", "play.fdx", "",
        "!cannot be read: not a Final Draft document: the file is empty");
    row("a scan without text", "play.PDF", scannedPdf(),
        "!cannot be read: This PDF has no text layer (it may be a scan), so no characters can be "
        "found.");
    row("an encrypted PDF", "play.PDF", lockedPdf(),
        "!cannot be read: This PDF is locked with a password and cannot be read.");
    row("not a PDF", "play.PDF", "INT. HOUSE\n\nBOB\nHi.\n",
        "!cannot be read: This file is not a PDF that can be read.");
}

void TestReading::rewrite()
{
    auto [name, bytes, expected] = RewriteRows::fetch();
    const QString path = m_dir.filePath(bytes.isNull() ? "absent.txt" : name);
    if (!bytes.isNull())
        writeFile(path, bytes);
    const bool failed = expected.startsWith('!');
    if (failed)
        expected.remove(0, 1);

    ScreenplayAnalysis a;
    a.lines.append(QStringLiteral("kept"));
    StdoutCapture errors(STDERR_FILENO);
    const FileError error = a.readFile(path);
    QCOMPARE(errors.text(), QString()); // the caller tells the user
    QCOMPARE(error.path, failed ? path : QString());
    QCOMPARE(error.withoutPath(), failed ? expected : QString());
    const QStringList read = bytes.isNull()                 ? QStringList{"file not found\n"}
                             : failed || expected.isEmpty() ? QStringList()
                                                            : expected.split('|');
    QCOMPARE(a.lines, QStringList{"kept"} + read);
}

// CR, LF and CR LF each end a line, mixed in one file, in a screenplay and in a settings file
// alike; also where a CR LF or a character is split between two reads of a large file. The
// bytes, and the lines separated by "|".
using LineEndRows = DataTable<QByteArray, QString>;

void TestReading::lineEnds_data()
{
    LineEndRows::columns();
    const auto row = &LineEndRows::row;
    row("old Mac line ends", "a\rb\r", "a|b");
    row("all three mixed", "a\nb\r\nc\rd", "a|b|c|d");
    row("CR CR is an empty line, LF CR two ends", "a\r\rb\n\rc", "a||b||c");
    row("empty lines at the end, none after the last", "a\n\n\r\n", "a||");
    row("byte-order mark dropped, UTF-8 decoded",
        "\xEF\xBB\xBF"
        "caf\xC3\xA9\rok",
        QString::fromUtf8("caf\xC3\xA9|ok"));
    // Decoded first: a 0x0D byte inside a UTF-16 unit ends no line. (Settings are not UTF-16.)
    row("UTF-16, 0x0D inside a unit, CR between", QByteArray("\xFF\xFE\x0D\x01\r\0a\0", 8),
        QString(QChar(0x010D)) + "|a");
    // A euro sign or a CR LF starts one byte before every power of two, so it is split between
    // two reads whatever their size.
    for (const QByteArray &split : {QByteArray("\xE2\x82\xAC"), QByteArray("\r\n")}) {
        QByteArray large;
        QStringList lines{QString()};
        while (large.size() < (1 << 21)) {
            const bool atSplit = ((large.size() + 1) & large.size()) == 0;
            const QByteArray piece = atSplit ? split : large.size() % 64 == 0 ? "\r" : "x";
            large += piece;
            if (piece.endsWith('\n') || piece == "\r")
                lines.append(QString());
            else
                lines.last() += QString::fromUtf8(piece);
        }
        if (lines.last().isEmpty())
            lines.removeLast();
        row(split.size() == 3 ? "2 MB, euro signs split" : "2 MB, CR LF split", large,
            lines.join('|'));
    }
}

void TestReading::lineEnds()
{
    const auto [bytes, expected] = LineEndRows::fetch();
    const QStringList lines = expected.split('|');
    QByteArray data = bytes;
    for (const QIODevice::OpenMode mode :
         {QIODevice::OpenMode(QIODevice::ReadOnly), QIODevice::ReadOnly | QIODevice::Text}) {
        QBuffer device(&data);
        QVERIFY(device.open(mode));
        QCOMPARE(readTextLines(device), lines);
    }
    if (bytes.startsWith("\xFF\xFE"))
        return;
    QStringList settings;
    QVERIFY(readSettingsLines(writeFile("settings.txt", bytes), &settings));
    QCOMPARE(settings, lines);
}

// Timelines as the characters they name and the scenes ("fight" per row, "break" after it,
// "end" last) with their positions and counts.
using CsvRows = DataTable<QByteArray, int, QString, QString>;

void TestReading::csv_data()
{
    CsvRows::columns();
    const auto row = &CsvRows::row;

    row("three events, a name twice in one",
        "0,10,\"['A']\"\n20,10,\"['B']\"\n40,10,\"['A','A']\"\n", 0, "A:3|B:1",
        "fight 0-0.2 1,0|break 0.2-0.4 0,0|fight 0.4-0.6 0,1|break 0.6-0.8 0,0|fight 0.8-1 2,0|"
        "break 1-1 0,0|end 1-1 0,0");
    row("header row is an empty event", "start,duration,names\n0,5,\"['A', 'MARY ANN']\"\n", 0,
        "A:1|MARYANN:1", "fight 0-0 0,0|break 0-0 0,0|fight 0-1 1,1|break 1-1 0,0|end 1-1 0,0");
    row("empty list names the empty word", "0,1,\"[]\"\n1,1,\"['A']\"\n", 0, ":1|A:1",
        "fight 0-0.5 1,0|break 0.5-0.5 0,0|fight 0.5-1 0,1|break 1-1 0,0|end 1-1 0,0");
    row("BREAK rows only name characters", "0,1,\"['A']\"\nBREAK,9,\"['B']\"\n", 0, "A:1|B:1",
        "fight 0-1 1,0|break 1-1 0,0|end 1-1 0,0");
    row("minimum instances is strict", "0,1,\"['A','B']\"\n1,1,\"['A','B']\"\n2,1,\"['A']\"\n", 2,
        "A:3",
        "fight 0-0.333333 1|break 0.333333-0.333333 0|fight 0.333333-0.666667 1|"
        "break 0.666667-0.666667 0|fight 0.666667-1 1|break 1-1 0|end 1-1 0");
    // Names only between exactly two quotes; times that are no finite number read as 0.
    row("unbalanced quotes, bad numbers", "inf,nan,\"['A']\n3,,\"['B']\"\"\n", 0, "",
        "fight 0-0|break 0-1|fight 1-1|break 1-1|end 1-1");
    // A timeline without a range keeps its times rather than dividing by zero.
    row("no range keeps the times", "5,0,\"['A']\"\n", 0, "A:1",
        "fight 5-5 1|break 5-5 0|end 5-5 0");
    row("empty file keeps the end scene at 0", "", 0, "", "end 0-0");
    // Matched loosely, ANN is in ANNA too: a name counts for the last character it matches.
    row("loose: last match counts", "0,1,\"['ANNA','ANNA','ANN']\"\n", 0, "ANNA:2|ANN:1",
        "fight 0-1 0,3|break 1-1 0,0|end 1-1 0,0");
}

void TestReading::csv()
{
    const auto [file, minInstances, characters, scenes] = CsvRows::fetch();
    ScreenplayAnalysis a;
    a.minNumberOfCharacterInstances = minInstances;
    a.looseMatch = QByteArray(QTest::currentDataTag()).startsWith("loose");
    parseFile(a, QStringLiteral("events.csv"), file);
    QCOMPARE(castSummary(a.characters), characters);
    QCOMPARE(sceneSummary(a.characterList), scenes);
    // Every row but the BREAK rows is written out as it is.
    QString markup;
    for (const QByteArray &row : file.split('\n'))
        if (!row.isEmpty() && !row.contains("BREAK"))
            markup += row + "<br>";
    QCOMPARE(a.markup, markup);
}

// An included character keeps its own colour; the others take the colours list.
void TestReading::csvIncludedColorKept()
{
    writeFile(QStringLiteral("characters.txt"), "B\n");
    writeFile(QStringLiteral("colors.txt"), "255 0 0\n");
    ScreenplayAnalysis a;
    parseFile(a, QStringLiteral("events.csv"), "0,1,\"['A','B']\"\n1,1,\"['A']\"\n");
    QFile::remove(QStringLiteral("characters.txt"));
    QFile::remove(QStringLiteral("colors.txt"));
    QCOMPARE(castSummary(a.characters), QStringLiteral("A:2|B:1"));
    QCOMPARE(a.characters.at(0)->color, QColor(Qt::red));
    QVERIFY(a.characters.at(1)->colorSet);
    QCOMPARE(a.characters.at(1)->color, Character::defaultColor({QStringLiteral("B")}));
}

// The file type is the suffix as written: "CSV" is read as plain text.
void TestReading::capitalSuffixIsPlainText()
{
    ScreenplayAnalysis a;
    parseFile(a, QStringLiteral("events.CSV"), "0,1,\"['A']\"\n");
    QCOMPARE(sceneSummary(a.characterList), QStringLiteral("START 0-1"));
}

void TestReading::xml_data()
{
    const auto row = &DataTable<QByteArray, QStringList>::row;
    DataTable<QByteArray, QStringList>::columns();
    row("root divisions", "<div style='A'>x</div>\n<div>y</div>\n",
        {"found A", "found ", "we're out"});
    row("nested divisions not visited", "<body><div style='A'/></body>", {"we're out"});
    row("error after a well-formed root", "<div style='A'/>\n<div><b></div>", {"we're out"});
}

// The report lines of an XML file; the file name outside ASCII checks that the path reaches the
// parser in the file system's encoding.
void TestReading::xml()
{
    const auto [file, printed] = DataTable<QByteArray, QStringList>::fetch();
    ScreenplayAnalysis a;
    StdoutCapture out;
    parseFile(a, QString::fromUtf8("Amélie.xml"), file);
    QCOMPARE(out.lines(), printed);
    QVERIFY(a.characters.isEmpty() && a.markup.isEmpty());
    QVERIFY(a.characterList->timeIndices.isEmpty());
}

// Huge or unreadable screenplays go through the whole analysis and both statistics exports.
// The text (null: a folder of that name), the characters and scenes found.
using OddRows = DataTable<QByteArray, int, int>;

void TestReading::oddScreenplays_data()
{
    OddRows::columns();

    // The first INT opens a heading that runs to the line's last word.
    QByteArray line;
    while (line.size() < 10 * 1024 * 1024)
        line += "JOHN said INT to Mary and   [12] then <b>left</b> ";
    QTest::newRow("a single 10 MB line") << line + '\n' << 0 << 2;
    QByteArray crowd;
    for (int i = 0; i < 5000; ++i) {
        const QByteArray name = "SPEAKER" + QByteArray::number(i);
        crowd += QByteArray(37, ' ') + name + "\n" + QByteArray(25, ' ') + "Hello " + name + ".\n" +
                 QByteArray(37, ' ') + name + "\n";
        if (i % 100 == 0)
            crowd += QByteArray(15, ' ') + "INT. ROOM " + QByteArray::number(i) + "\n";
    }
    QTest::newRow("5,000 distinct speakers") << crowd << 5000 << 51;
    QTest::newRow("1 MB of NUL bytes") << QByteArray(1024 * 1024, '\0') << 0 << 1;
    QTest::newRow("a folder") << QByteArray() << 0 << 1;
}

void TestReading::oddScreenplays()
{
    const auto [text, characters, scenes] = OddRows::fetch();
    const QString path = m_dir.filePath(QString("play%1.txt").arg(QTest::currentDataTag()));
    if (text.isNull())
        QDir().mkdir(path);
    else
        writeFile(path, text);
    ScreenplayAnalysis a;
    openAndParse(a, path);
    if (text.isNull())
        QCOMPARE(a.lines, QStringList{"file not found\n"});
    QCOMPARE(a.characters.size(), characters);
    QCOMPARE(a.characterList->timeIndices.size(), scenes);
    QCOMPARE(a.characterList->timeIndices.last()->stop, 1.0f);
    QCOMPARE(a.characterStats().count('\n'), characters + 1);
    QCOMPARE(a.sceneStats().count('\n'), scenes + 1);
    QVERIFY(a.markupDocument().endsWith("</div>"));
}

QTEST_MAIN(TestReading)
#include "tst_reading.moc"
