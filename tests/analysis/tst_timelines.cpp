// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "stdoutcapture.h"

#include <QTemporaryDir>

class TestTimelines : public QObject {
    Q_OBJECT
private slots:
    void init();
    void csv_data();
    void csv();
    void csvIncludedColorKept();
    void capitalSuffixIsPlainText();
    void xml_data();
    void xml();

private:
    void parseFile(ScreenplayAnalysis &a, const QString &name, const QByteArray &bytes)
    {
        writeFile(m_dir.filePath(name), bytes);
        openAndParse(a, m_dir.filePath(name));
    }

    QTemporaryDir m_dir;
};

void TestTimelines::init()
{
    QDir::setCurrent(m_dir.path());
}

void TestTimelines::csv_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("minInstances");
    QTest::addColumn<QString>("characters");
    QTest::addColumn<QString>("scenes");

    QTest::newRow("three events")
        << QByteArray("0,10,\"['A']\"\n20,10,\"['B']\"\n40,10,\"['A']\"\n") << 0 << "A:2|B:1"
        << "fight 0-0.2 1,0|break 0.2-0.4 0,0|fight 0.4-0.6 0,1|break 0.6-0.8 0,0|fight 0.8-1 1,0|"
           "break 1-1 0,0|end 1-1 0,0";
    QTest::newRow("header row is an empty event")
        << QByteArray("start,duration,names\n0,5,\"['A', 'MARY ANN']\"\n") << 0 << "A:1|MARYANN:1"
        << "fight 0-0 0,0|break 0-0 0,0|fight 0-1 1,1|break 1-1 0,0|end 1-1 0,0";
    QTest::newRow("empty list names the empty word")
        << QByteArray("0,1,\"[]\"\n1,1,\"['A']\"\n") << 0 << ":1|A:1"
        << "fight 0-0.5 1,0|break 0.5-0.5 0,0|fight 0.5-1 0,1|break 1-1 0,0|end 1-1 0,0";
    QTest::newRow("BREAK rows only name characters")
        << QByteArray("0,1,\"['A']\"\nBREAK,9,\"['B']\"\n") << 0 << "A:1|B:1"
        << "fight 0-1 1,0|break 1-1 0,0|end 1-1 0,0";
    QTest::newRow("name repeated in a row") << QByteArray("0,4,\"['A','A']\"\n") << 0 << "A:2"
                                            << "fight 0-1 2|break 1-1 0|end 1-1 0";
    QTest::newRow("minimum instances is strict")
        << QByteArray("0,1,\"['A','B']\"\n1,1,\"['A','B']\"\n2,1,\"['A']\"\n") << 2 << "A:3"
        << "fight 0-0.333333 1|break 0.333333-0.333333 0|fight 0.333333-0.666667 1|"
           "break 0.666667-0.666667 0|fight 0.666667-1 1|break 1-1 0|end 1-1 0";
    QTest::newRow("unbalanced quotes, bad numbers")
        << QByteArray("x,y,\"['A']\n3,,\"['B']\"\"\n") << 0 << ""
        << "fight 0-0|break 0-1|fight 1-1|break 1-1|end 1-1";
    QTest::newRow("non-finite times read as 0")
        << QByteArray("inf,nan,\"['A']\"\n1,1,\"['A']\"\n") << 0 << "A:2"
        << "fight 0-0 1|break 0-0.5 0|fight 0.5-1 1|break 1-1 0|end 1-1 0";
    // A timeline without a range keeps its times rather than dividing by zero.
    QTest::newRow("no range keeps the times") << QByteArray("5,0,\"['A']\"\n") << 0 << "A:1"
                                              << "fight 5-5 1|break 5-5 0|end 5-5 0";
    QTest::newRow("empty file keeps the end scene at 0") << QByteArray() << 0 << ""
                                                         << "end 0-0";
}

void TestTimelines::csv()
{
    QFETCH(QByteArray, file);
    QFETCH(int, minInstances);
    QFETCH(QString, characters);
    QFETCH(QString, scenes);
    ScreenplayAnalysis a;
    a.minNumberOfCharacterInstances = minInstances;
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
void TestTimelines::csvIncludedColorKept()
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
void TestTimelines::capitalSuffixIsPlainText()
{
    ScreenplayAnalysis a;
    parseFile(a, QStringLiteral("events.CSV"), "0,1,\"['A']\"\n");
    QCOMPARE(sceneSummary(a.characterList), QStringLiteral("START 0-1"));
}

void TestTimelines::xml_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("printed");
    QTest::newRow("root divisions") << QByteArray("<div style='A'>x</div>\n<div>y</div>\n")
                                    << QStringList{"found A", "found ", "we're out"};
    QTest::newRow("nested divisions not visited")
        << QByteArray("<body><div style='A'/></body>") << QStringList{"we're out"};
    QTest::newRow("error after a well-formed root")
        << QByteArray("<div style='A'/>\n<div><b></div>") << QStringList{"we're out"};
}

// The report lines of an XML file; the file name outside ASCII checks that the path reaches the
// parser in the file system's encoding.
void TestTimelines::xml()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, printed);
    ScreenplayAnalysis a;
    StdoutCapture out;
    parseFile(a, QString::fromUtf8("Amélie.xml"), file);
    QCOMPARE(out.lines(), printed);
    QVERIFY(a.characters.isEmpty());
    QVERIFY(a.markup.isEmpty());
    QVERIFY(a.characterList->timeIndices.isEmpty());
}

QTEST_GUILESS_MAIN(TestTimelines)
#include "tst_timelines.moc"
