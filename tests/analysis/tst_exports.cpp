// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "asuser.h"
#include "csvrecord.h"
#include "datatable.h"
#include "sceneheading.h"
#include "stdoutcapture.h"

#include <QTemporaryDir>

#include <sys/stat.h>

namespace {

// A 200-line text with five scenes, a two-word name, a Latin-1 name, a name of bytes that could
// not be decoded and a character who never appears.
void buildModel(ScreenplayAnalysis &a)
{
    a.lines = QString(199, '\n').split('\n');
    for (const char *name : {"JOHN", "MRS SMITH", "ÉMILE", "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD"})
        a.characters.append(a.newCharacter(QString::fromUtf8(name).split(' ')));
    a.characters.at(0)->numInstances = 7;
    a.characters.at(1)->numInstances = 3;
    a.characterList = new CharacterList(a.characters);
    const float starts[] = {0.0f, 1.0f / 3.0f, 0.5f, 0.75f, 0.9f};
    const char *types[] = {"START", "INT", "EXT", "USER_SET", "fight"};
    const QVector<QVector<int>> counts{
        {2, 0, 0, 0}, {0, 1, 0, 0}, {3, 0, 1, 0}, {1, 2, 0, 0}, {0, 0, 0, 0}};
    const QVector<QVector<int>> pages{{}, {3, 4}, {4}, {4, 5}, {}};
    for (int i = 0; i < 5; ++i) {
        TimeIndex *s = a.characterList->openScene(starts[i], types[i]);
        s->counts = counts[i];
        s->pages = pages[i];
    }
    a.characterList->timeIndices.last()->stop = 1.0f;
}

} // namespace

class TestExports : public QObject {
    Q_OBJECT
private slots:
    void init();
    void statistics_data();
    void statistics();
    void failedWrites_data();
    void failedWrites();
    void goldenFiles_data();
    void goldenFiles();
    void headings_data();
    void headings();
    void cells_data();
    void cells();
    void namesInStatistics_data();
    void namesInStatistics();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestExports::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    // Open to other users, so that a test acting as one can reach what it is given.
    ::chmod(QFile::encodeName(m_dir->path()).constData(), 0755);
    QDir::setCurrent(m_dir->path());
}

// The golden file, or before any parse its header line alone.
void TestExports::statistics_data()
{
    DataTable<QString, bool>::columns();
    DataTable<QString, bool>::row("scene statistics", "scene.csv", true);
    DataTable<QString, bool>::row("character statistics", "character.csv", true);
    DataTable<QString, bool>::row("scene header only", "scene.csv", false);
    DataTable<QString, bool>::row("character header only", "character.csv", false);
}

void TestExports::statistics()
{
    const auto [golden, parsed] = DataTable<QString, bool>::fetch();
    QByteArray expected = readFile(PLOTLOOM_TEST_DATA "/stats/" + golden);
    if (!parsed)
        expected.truncate(expected.indexOf('\n') + 1);
    ScreenplayAnalysis a;
    if (parsed)
        buildModel(a);
    for (int round = 0; round < 2; ++round) { // a second export writes the same bytes
        if (golden == "scene.csv")
            a.writeSceneStats("out.csv");
        else
            a.writeCharacterStats("out.csv");
        QCOMPARE(readFile("out.csv"), expected);
    }
}

// Every export says "file not found" once on standard output when its file cannot be written,
// and leaves the files there are as they were: with an empty name (a cancelled file dialog),
// which would name the network's edge list "-edges.csv", and into a read-only folder.
void TestExports::failedWrites_data()
{
    QTest::addColumn<QString>("folder"); // null: empty names
    QTest::newRow("cancelled dialog") << QString();
    QTest::newRow("read-only folder") << "locked/";
}

void TestExports::failedWrites()
{
    QFETCH(QString, folder);
    QDir().mkdir("locked");
    writeFile("locked/scene.csv", "previous\n");
    ::chmod("locked/scene.csv", 0666);
    ::chmod("locked", 0555);
    ScreenplayAnalysis a;
    const auto name = [&folder](const char *file) {
        return folder.isNull() ? QString() : folder + file;
    };
    QString printed;
    {
        UnprivilegedScope user;
        StdoutCapture out;
        a.writeSceneStats(name("scene.csv"));
        a.writeCharacterStats(name("character.csv"));
        a.writeSceneBreakdown(name("breakdown.csv"));
        a.writeCharacterNetwork(name("network.graphml"));
        printed = out.text();
    }
    ::chmod("locked", 0755);
    QCOMPARE(printed, QString("file not found\n").repeated(4));
    QCOMPARE(QDir("locked").entryList(QDir::Files), QStringList{"scene.csv"});
    QCOMPARE(readFile("locked/scene.csv"), QByteArray("previous\n"));
    QVERIFY(!QFile::exists("-edges.csv"));
}

// A plain-text and a Fountain screenplay: speakers by their speaker lines or cues, exchanges
// (A B A A B makes three), characters present without speaking, one who links the others, in the
// Fountain one a character who shares no scene; a name outside ASCII; headings with a comma,
// quotes, a qualifier, a forced one. Colours are fixed by colors.txt. With nothing parsed, the
// headers alone and a graph without nodes.
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

// Headings taken apart as "setting|location|time of day", among them every form barrier15 holds.
void TestExports::headings_data()
{
    DataTable<QString, QString>::columns(); // the heading, its parts
    const auto row = &DataTable<QString, QString>::row;
    row("double dash without blanks", "EXT. PARK--DAY", "EXT|PARK|DAY");
    row("inside and out", "INT./EXT. CAR - DAY", "INT/EXT|CAR|DAY");
    row("I/E, lower case", "i/e hall - night", "INT/EXT|hall|night");
    row("spelled out, time of several words", "INTERIOR HOUSE - LATER THAT NIGHT",
        "INT|HOUSE|LATER THAT NIGHT");
    row("numbered day", "EXTERIOR ROAD - DAY 2", "EXT|ROAD|DAY 2");
    row("establishing shot", "EST. TOWER - DAWN", "|TOWER|DAWN");
    row("hyphen within a word, full stop after the time", "INT. X-RAY ROOM - DAY.",
        "INT|X-RAY ROOM|DAY");
    row("last part not a time", "INT. PRESS ROOM - CRIMINAL COURTS BLDG - DAY CLOSE",
        "INT|PRESS ROOM - CRIMINAL COURTS BLDG - DAY CLOSE|");
    row("a word that starts like a prefix", "INTERCUT - PHONE", "|INTERCUT - PHONE|");
    row("no time of day", "EXT. EMBER ONE IN HERCULANEUM SHIPYARD",
        "EXT|EMBER ONE IN HERCULANEUM SHIPYARD|");
    row("parenthesis in the place", "EXT. ABOVE ASHLON (CAPITAL CITY) - DAY",
        "EXT|ABOVE ASHLON (CAPITAL CITY)|DAY");
    row("whose view, after the time", "INT. GRAND HALL - NIGHT (JEFF)",
        "INT|GRAND HALL (JEFF)|NIGHT");
    row("part of the place after a dash", "INT. VIRTUAL CONTROL ENVIRONMENT - HELM",
        "INT|VIRTUAL CONTROL ENVIRONMENT - HELM|");
    row("forced heading", "IMAGINED ENDLESS OCEAN", "|IMAGINED ENDLESS OCEAN|");
    row("full stops in the place", "INT. H.M.S. EXCALIBUR HANGER - DAY",
        "INT|H.M.S. EXCALIBUR HANGER|DAY");
    // Separators with and without blanks, where a reader would part the heading.
    row("a dash after the prefix, no place", "EXT. - NIGHT", "EXT||NIGHT");
    row("a dash straight after the prefix", "INT.- HALL", "INT|HALL|");
    row("a dash after the prefix, a time later", "EXT. - ROOF - NIGHT", "EXT|ROOF|NIGHT");
    row("the time in parentheses", "INT. HALL (NIGHT)", "INT|HALL|NIGHT");
    row("the last of several parts", "I/E. CAR - MOVING - DAY", "INT/EXT|CAR - MOVING|DAY");
    row("en dash without blanks", "INT. HALL\u2013NIGHT", "INT|HALL|NIGHT");
    row("em dash with blanks", "EXT. PIER \u2014 DAWN", "EXT|PIER|DAWN");
    row("hyphen without blanks", "INT. HOUSE-NIGHT", "INT|HOUSE|NIGHT");
    row("hyphen within the time", "EXT. FIELD - PRE-DAWN", "EXT|FIELD|PRE-DAWN");
    const QString longestTime = "DAYS" + QString(" DAY").repeated(15); // 64 characters
    row("a time of the longest length", "INT. HALL - " + longestTime, "INT|HALL|" + longestTime);
}

void TestExports::headings()
{
    const auto [heading, parts] = DataTable<QString, QString>::fetch();
    const SceneHeading h = SceneHeading::parse(heading);
    QCOMPARE(h.setting + '|' + h.location + '|' + h.timeOfDay, parts);
}

// A CSV cell as a spreadsheet must read it: nothing it runs, nothing that shifts a column.
void TestExports::cells_data()
{
    DataTable<QString, QString>::columns(); // the field, its cell
    const auto row = &DataTable<QString, QString>::row;
    row("a negative number", "-1", "-1");
    row("a number with an exponent", "-1e-05", "-1e-05");
    row("a number without a leading digit", "-.5", "-.5");
    row("a sum", "+1+2", "'+1+2");
    row("a minus and a word", "-x", "'-x");
    row("a minus and a blank", "- NIGHT", "- NIGHT");
    row("a lone minus", "-", "-");
    row("a tab first", "\tx", "'\tx");
    row("a carriage return first, quoted", "\rx", "\"'\rx\"");
    row("a formula with quotes and a comma", "=HYPERLINK(\"a\",\"b\")",
        "\"'=HYPERLINK(\"\"a\"\",\"\"b\"\")\"");
    row("a line break inside", "a\nb", "\"a\nb\"");
}

void TestExports::cells()
{
    const auto [field, cell] = DataTable<QString, QString>::fetch();
    QCOMPARE(csvRecord({field, field}), cell + ',' + cell + "\r\n");
}

// A name in both statistics files of a one-scene model: its cell in the character statistics
// and in the scene's character list, and whether the files are UTF-8 after a byte-order mark
// rather than Latin-1.
using NameRows = DataTable<QString, QByteArray, QByteArray, bool>;

void TestExports::namesInStatistics_data()
{
    NameRows::columns();
    const auto row = &NameRows::row;
    row("a comma", "WALTER, JR.", "\"WALTER, JR. \"", "\"WALTER, JR. ;\"", false);
    row("a double quote", "\"I", "\"\"\"I \"", "\"\"\"I ;\"", false);
    row("a formula", "@SUM(A1)", "'@SUM(A1) ", "'@SUM(A1) ;", false);
    row("Latin-1 to its last letter", "\xC3\x89MIL\xC3\xBF", "\xC9MIL\xFF ", "\xC9MIL\xFF ;",
        false);
    row("undecodable bytes",
        "\xEF\xBF\xBD"
        "A",
        "?A ", "?A ;", false);
    row("Cyrillic", "\xD0\x9C\xD0\x90\xD0\xA8\xD0\x90 \xEF\xBF\xBD",
        "\xD0\x9C\xD0\x90\xD0\xA8\xD0\x90 ? ", "\xD0\x9C\xD0\x90\xD0\xA8\xD0\x90 ? ;", true);
    row("beyond the first plane", "\xF0\x9D\x94\xB8", "\xF0\x9D\x94\xB8 ", "\xF0\x9D\x94\xB8 ;",
        true);
}

void TestExports::namesInStatistics()
{
    const auto [name, characterCell, sceneCell, utf8] = NameRows::fetch();
    ScreenplayAnalysis a;
    a.lines = QString(3, '\n').split('\n');
    a.characters = {a.newCharacter(name.split(' '))};
    a.characterList = new CharacterList(a.characters);
    a.characterList->openScene(0.0f, QStringLiteral("START"))->counts = {1};
    a.characterList->timeIndices.last()->stop = 1.0f;
    const QByteArray mark = utf8 ? "\xEF\xBB\xBF" : "";
    QCOMPARE(a.characterStats(),
             mark + "characters,NumScenes,NumDialogueLines,NumInstances,PerInvolved,Start,Stop,\n" +
                 characterCell + ",1,1,0,1,0,1,\n");
    QCOMPARE(a.sceneStats(), mark +
                                 "SceneNumber,Type,NumCharacters,Start,Stop,Length,NumLines,"
                                 "startPage,endPage,Characters,\n0,START,1,0,1,1,4,0,0," +
                                 sceneCell + ",\n");
}

QTEST_GUILESS_MAIN(TestExports)
#include "tst_exports.moc"
