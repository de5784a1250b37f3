// SPDX-License-Identifier: MIT
#include "screenplayanalysis.h"
#include "stdoutcapture.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

// Opens a file of the given suffix the way the file-open command does and parses it.
void openAndParse(ScreenplayAnalysis &a, const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    a.openScreenplay(path);
    a.buildModel();
}

// Every scene as "type start-stop counts".
QStringList scenes(const ScreenplayAnalysis &a)
{
    QStringList result;
    for (const TimeIndex *s : a.characterList->timeIndices) {
        QStringList counts;
        for (int c : s->counts)
            counts.append(QString::number(c));
        result.append(QStringLiteral("%1 %2-%3 %4")
                          .arg(s->type)
                          .arg(double(s->start))
                          .arg(double(s->stop))
                          .arg(counts.join(',')));
    }
    return result;
}

QStringList names(const QVector<Character *> &characters)
{
    QStringList result;
    for (const Character *c : characters)
        result.append(c->names.join(' ') + ':' + QString::number(c->numInstances));
    return result;
}

} // namespace

class TestTimelines : public QObject {
    Q_OBJECT
private slots:
    void init();
    void csv_data();
    void csv();
    void csvStatistics();
    void csvIncludedColorKept();
    void csvWithoutDiscovery();
    void capitalSuffixIsPlainText();
    void xml_data();
    void xml();

private:
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
    QTest::addColumn<QStringList>("characters");
    QTest::addColumn<QStringList>("scenes");
    QTest::addColumn<QString>("markup");

    QTest::newRow("three events") << QByteArray("0,10,\"['A']\"\n20,10,\"['B']\"\n40,10,\"['A']\"\n")
                                  << 0 << QStringList{"A:2", "B:1"}
                                  << QStringList{"fight 0-0.2 1,0",   "break 0.2-0.4 0,0",
                                                 "fight 0.4-0.6 0,1", "break 0.6-0.8 0,0",
                                                 "fight 0.8-1 1,0",   "break 1-1 0,0",
                                                 "end 1-1 0,0"}
                                  << "0,10,\"['A']\"<br>20,10,\"['B']\"<br>40,10,\"['A']\"<br>";
    QTest::newRow("header row is an empty event")
        << QByteArray("start,duration,names\n0,5,\"['A', 'MARY ANN']\"\n") << 0
        << QStringList{"A:1", "MARYANN:1"}
        << QStringList{"fight 0-0 0,0", "break 0-0 0,0", "fight 0-1 1,1", "break 1-1 0,0",
                       "end 1-1 0,0"}
        << "start,duration,names<br>0,5,\"['A', 'MARY ANN']\"<br>";
    QTest::newRow("empty list names the empty word")
        << QByteArray("0,1,\"[]\"\n1,1,\"['A']\"\n") << 0 << QStringList{":1", "A:1"}
        << QStringList{"fight 0-0.5 1,0", "break 0.5-0.5 0,0", "fight 0.5-1 0,1",
                       "break 1-1 0,0", "end 1-1 0,0"}
        << "0,1,\"[]\"<br>1,1,\"['A']\"<br>";
    QTest::newRow("BREAK rows only name characters")
        << QByteArray("0,1,\"['A']\"\nBREAK,9,\"['B']\"\n") << 0 << QStringList{"A:1", "B:1"}
        << QStringList{"fight 0-1 1,0", "break 1-1 0,0", "end 1-1 0,0"} << "0,1,\"['A']\"<br>";
    QTest::newRow("name repeated in a row") << QByteArray("0,4,\"['A','A']\"\n") << 0
                                            << QStringList{"A:2"}
                                            << QStringList{"fight 0-1 2", "break 1-1 0",
                                                           "end 1-1 0"}
                                            << "0,4,\"['A','A']\"<br>";
    QTest::newRow("minimum instances is strict")
        << QByteArray("0,1,\"['A','B']\"\n1,1,\"['A','B']\"\n2,1,\"['A']\"\n") << 2
        << QStringList{"A:3"}
        << QStringList{"fight 0-0.333333 1",        "break 0.333333-0.333333 0",
                       "fight 0.333333-0.666667 1", "break 0.666667-0.666667 0",
                       "fight 0.666667-1 1",        "break 1-1 0",
                       "end 1-1 0"}
        << "0,1,\"['A','B']\"<br>1,1,\"['A','B']\"<br>2,1,\"['A']\"<br>";
    QTest::newRow("unbalanced quotes, bad numbers")
        << QByteArray("x,y,\"['A']\n3,,\"['B']\"\"\n") << 0 << QStringList{}
        << QStringList{"fight 0-0 ", "break 0-1 ", "fight 1-1 ", "break 1-1 ", "end 1-1 "}
        << "x,y,\"['A']<br>3,,\"['B']\"\"<br>";
    QTest::newRow("empty file keeps the end scene at 0")
        << QByteArray() << 0 << QStringList{} << QStringList{"end 0-0 "} << "";
    QTest::newRow("infinite times read as 0")
        << QByteArray("inf,nan,\"['A']\"\n1,1,\"['A']\"\n") << 0 << QStringList{"A:2"}
        << QStringList{"fight 0-0 1", "break 0-0.5 0", "fight 0.5-1 1", "break 1-1 0",
                       "end 1-1 0"}
        << "inf,nan,\"['A']\"<br>1,1,\"['A']\"<br>";
}

void TestTimelines::csv()
{
    QFETCH(QByteArray, file);
    QFETCH(int, minInstances);
    QFETCH(QStringList, characters);
    QFETCH(QStringList, scenes);
    QFETCH(QString, markup);
    ScreenplayAnalysis a;
    a.minNumberOfCharacterInstances = minInstances;
    openAndParse(a, m_dir.filePath(QStringLiteral("events.csv")), file);
    QCOMPARE(names(a.characters), characters);
    QCOMPARE(::scenes(a), scenes);
    QCOMPARE(a.markup, markup);
}

void TestTimelines::csvStatistics()
{
    ScreenplayAnalysis a;
    openAndParse(a, m_dir.filePath(QStringLiteral("events.csv")),
                 "0,10,\"['A']\"\n20,10,\"['B']\"\n40,10,\"['A']\"\n");
    a.writeSceneStats(QStringLiteral("scene.csv"));
    QFile file(QStringLiteral("scene.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(),
             QByteArray("SceneNumber,Type,NumCharacters,Start,Stop,Length,NumLines,startPage,"
                        "endPage,Characters,\n"
                        "0,fight,1,0,0.2,0.2,0,0,0,A ;,\n1,break,0,0.2,0.4,0.2,0,0,0,,\n"
                        "2,fight,1,0.4,0.6,0.2,0,0,0,B ;,\n3,break,0,0.6,0.8,0.2,0,0,0,,\n"
                        "4,fight,1,0.8,1,0.2,0,0,0,A ;,\n5,break,0,1,1,0,0,0,0,,\n"
                        "6,end,0,1,1,0,0,0,0,,\n"));
}

void TestTimelines::csvIncludedColorKept()
{
    QFile characters(QStringLiteral("characters.txt"));
    QVERIFY(characters.open(QIODevice::WriteOnly));
    characters.write("B\n");
    characters.close();
    QFile colors(QStringLiteral("colors.txt"));
    QVERIFY(colors.open(QIODevice::WriteOnly));
    colors.write("255 0 0\n");
    colors.close();

    ScreenplayAnalysis a;
    openAndParse(a, m_dir.filePath(QStringLiteral("events.csv")),
                 "0,1,\"['A','B']\"\n1,1,\"['A']\"\n");
    QCOMPARE(names(a.characters), (QStringList{"A:2", "B:1"}));
    QCOMPARE(a.characters.at(0)->color, QColor(Qt::red));
    QVERIFY(a.characters.at(1)->colorSet);
    QCOMPARE(a.characters.at(1)->color, Character::defaultColor({QStringLiteral("B")}));
    QFile::remove(QStringLiteral("characters.txt"));
    QFile::remove(QStringLiteral("colors.txt"));
}

void TestTimelines::csvWithoutDiscovery()
{
    ScreenplayAnalysis a;
    a.findCharactersInText = false;
    openAndParse(a, m_dir.filePath(QStringLiteral("events.csv")), "0,1,\"['A']\"\n");
    QVERIFY(a.characters.isEmpty());
    QCOMPARE(::scenes(a), (QStringList{"fight 0-1 ", "break 1-1 ", "end 1-1 "}));
}

void TestTimelines::capitalSuffixIsPlainText()
{
    ScreenplayAnalysis a;
    openAndParse(a, m_dir.filePath(QStringLiteral("events.CSV")), "0,1,\"['A']\"\n");
    QCOMPARE(a.fileType, QStringLiteral("CSV"));
    QCOMPARE(::scenes(a), QStringList{"START 0-1 "});
}

void TestTimelines::xml_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("printed");
    QTest::newRow("root divisions") << QByteArray("<div style='A'>x</div>\n<div>y</div>\n")
                                    << QStringList{"found A", "found ", "we're out"};
    QTest::newRow("nested divisions not visited")
        << QByteArray("<body><div style='A'/></body>") << QStringList{"we're out"};
    QTest::newRow("entities processed") << QByteArray("<div style='a &amp; b'/>")
                                        << QStringList{"found a & b", "we're out"};
    QTest::newRow("not well formed") << QByteArray("<div style='A'><b></div>")
                                     << QStringList{"we're out"};
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe<\x01\x02", 6)
                            << QStringList{"we're out"};
}

void TestTimelines::xml()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, printed);
    ScreenplayAnalysis a;
    StdoutCapture out;
    openAndParse(a, m_dir.filePath(QString::fromUtf8("Amélie.xml")), file);
    QCOMPARE(out.lines(), printed);
    QVERIFY(a.characters.isEmpty());
    QVERIFY(a.markup.isEmpty());
    QVERIFY(a.characterList->timeIndices.isEmpty());
}

QTEST_GUILESS_MAIN(TestTimelines)
#include "tst_timelines.moc"
