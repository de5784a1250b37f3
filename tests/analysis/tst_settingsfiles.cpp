// SPDX-License-Identifier: MIT
#include "screenplayanalysis.h"
#include "stdoutcapture.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// One included character as "names|alias;alias|r g b" ("-" for no forced colour).
QString describe(const Character *c)
{
    QStringList aliases;
    for (const QStringList &alias : c->aliases)
        aliases.append(alias.join(' '));
    const QString color = c->colorSet ? QStringLiteral("%1 %2 %3")
                                            .arg(c->color.red())
                                            .arg(c->color.green())
                                            .arg(c->color.blue())
                                      : QStringLiteral("-");
    return c->names.join(' ') + '|' + aliases.join(';') + '|' + color;
}

} // namespace

class TestSettingsFiles : public QObject {
    Q_OBJECT
private slots:
    void init();
    void charactersFile_data();
    void charactersFile();
    void charactersRoundTrip();
    void colorsFile_data();
    void colorsFile();
    void missingFilesChangeNothing();
    void breakStrings();
    void config_data();
    void config();
    void configWrittenInOrder();
    void unwritableTargetReported();

private:
    QTemporaryDir m_dir;
};

void TestSettingsFiles::init()
{
    QDir::setCurrent(m_dir.path());
}

void TestSettingsFiles::charactersFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("names, aliases, colour")
        << QByteArray("MRS SMITH, MRS. SMITH, MARGARET : 200 30 30\n")
        << QStringList{"MRS SMITH|MRS. SMITH;MARGARET|200 30 30"};
    QTest::newRow("name only") << QByteArray("JOHN\n") << QStringList{"JOHN||-"};
    QTest::newRow("two numbers are no colour") << QByteArray("JOHN : 255 0\n")
                                               << QStringList{"JOHN||-"};
    QTest::newRow("word counts as zero") << QByteArray("JOHN : red 0 0\n")
                                         << QStringList{"JOHN||0 0 0"};
    QTest::newRow("no blanks round colon") << QByteArray("JOHN:0 0 255\n")
                                           << QStringList{"JOHN||0 0 255"};
    QTest::newRow("runs of blanks") << QByteArray("  MRS    SMITH  :  1   2  3  4\n")
                                    << QStringList{"MRS SMITH||1 2 3"};
    QTest::newRow("empty lines add nothing") << QByteArray("\n\nJOHN\n\n")
                                             << QStringList{"JOHN||-"};
    QTest::newRow("leading comma adds aliases to previous")
        << QByteArray("JOHN\n, JACK, J : 9 9 9\n") << QStringList{"JOHN|JACK;J|9 9 9"};
    QTest::newRow("orphan aliases ignored") << QByteArray(", JACK : 1 1 1\nJOHN\n")
                                            << QStringList{"JOHN||-"};
    QTest::newRow("components clamped") << QByteArray("JOHN : -5 300 128\n")
                                        << QStringList{"JOHN||0 255 128"};
    QTest::newRow("CR LF") << QByteArray("A : 1 2 3\r\nB\r\n") << QStringList{"A||1 2 3", "B||-"};
}

void TestSettingsFiles::charactersFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QStringList, expected);
    writeFile(QStringLiteral("characters.txt"), file);
    ScreenplayAnalysis a;
    a.includeCharacters = {a.newCharacter({QStringLiteral("OLD")})};
    QVERIFY(a.loadCharacters(QStringLiteral("characters.txt")));
    QStringList actual;
    for (const Character *c : qAsConst(a.includeCharacters))
        actual.append(describe(c));
    QCOMPARE(actual, expected);
}

void TestSettingsFiles::charactersRoundTrip()
{
    writeFile(QStringLiteral("characters.txt"), "JOHN : 255 0 0\nMRS SMITH, MAGGIE\n");
    ScreenplayAnalysis a;
    QVERIFY(a.loadCharacters(QStringLiteral("characters.txt")));
    QVERIFY(a.saveCharacters(QStringLiteral("saved.txt")));
    QCOMPARE(readFile(QStringLiteral("saved.txt")), QByteArray("JOHN  : 255 0 0\nMRS SMITH \n"));
    QVERIFY(a.loadCharacters(QStringLiteral("saved.txt")));
    QCOMPARE(describe(a.includeCharacters.at(1)), QStringLiteral("MRS SMITH||-"));
}

void TestSettingsFiles::colorsFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QVector<QColor>>("expected");
    QTest::newRow("three lines") << QByteArray("255 0 0\n0 255 0 extra\n0 0 255")
                                 << QVector<QColor>{Qt::red, Qt::green, Qt::blue};
    QTest::newRow("leading blank is an empty part")
        << QByteArray(" 255 0 0\n") << QVector<QColor>{QColor(0, 255, 0)};
    QTest::newRow("empty part between blanks") << QByteArray("255  0 0\n")
                                               << QVector<QColor>{QColor(255, 0, 0)};
    QTest::newRow("short and empty lines add nothing") << QByteArray("\n1 2\nx\n")
                                                       << QVector<QColor>{};
    QTest::newRow("clamped") << QByteArray("999 -1 7\n") << QVector<QColor>{QColor(255, 0, 7)};
}

void TestSettingsFiles::colorsFile()
{
    QFETCH(QByteArray, file);
    QFETCH(QVector<QColor>, expected);
    writeFile(QStringLiteral("colors.txt"), file);
    ScreenplayAnalysis a;
    a.colors = {Qt::yellow};
    QVERIFY(a.loadColors(QStringLiteral("colors.txt")));
    QCOMPARE(a.colors, expected);

    a.characters.clear();
    for (const QColor &c : expected) {
        a.characters.append(a.newCharacter({QStringLiteral("X")}));
        a.characters.last()->color = c;
    }
    QVERIFY(a.saveColors(QStringLiteral("out.txt")));
    QByteArray written;
    for (const QColor &c : expected)
        written += QByteArray::number(c.red()) + ' ' + QByteArray::number(c.green()) + ' ' +
                   QByteArray::number(c.blue()) + '\n';
    QCOMPARE(readFile(QStringLiteral("out.txt")), written);
}

void TestSettingsFiles::missingFilesChangeNothing()
{
    ScreenplayAnalysis a;
    Character *kept = a.newCharacter({QStringLiteral("KEPT")});
    a.includeCharacters = {kept};
    a.colors = {Qt::red};
    a.breakStrings = QStringList{QStringLiteral("INT")};
    QVERIFY(!a.loadCharacters(QStringLiteral("absent.txt")));
    QVERIFY(!a.loadColors(QStringLiteral("absent.txt")));
    QVERIFY(!a.loadBreakStrings(QStringLiteral("absent.txt")));
    QVERIFY(!a.loadBreakStrings(QString()));
    QCOMPARE(a.includeCharacters, QVector<Character *>{kept});
    QCOMPARE(a.colors, QVector<QColor>{Qt::red});
    QCOMPARE(a.breakStrings, QStringList{"INT"});
}

void TestSettingsFiles::breakStrings()
{
    writeFile(QStringLiteral("breaks.txt"), "INT\n\n EXT\nINT\n");
    ScreenplayAnalysis a;
    QVERIFY(a.loadBreakStrings(QStringLiteral("breaks.txt")));
    QCOMPARE(a.breakStrings, (QStringList{"INT", " EXT", "INT"}));
    QVERIFY(a.saveBreakStrings(QStringLiteral("out.txt")));
    QCOMPARE(readFile(QStringLiteral("out.txt")), QByteArray("INT\n EXT\nINT\n"));
    a.breakStrings.clear();
    QVERIFY(a.saveBreakStrings(QStringLiteral("out.txt")));
    QCOMPARE(readFile(QStringLiteral("out.txt")), QByteArray());
}

void TestSettingsFiles::config_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected"); // find loose case spaces instances steps

    const QString defaults = QStringLiteral("1 0 0 15 0 100");
    QTest::newRow("defaults survive an empty file") << QByteArray() << defaults;
    QTest::newRow("keys and values ignore case") << QByteArray("LOOSEMATCH true\n")
                                                 << "1 1 0 15 0 100";
    QTest::newRow("word value gives zero") << QByteArray("MinCharacterSpaces many\n")
                                           << "1 0 0 0 0 100";
    QTest::newRow("empty value token gives zero") << QByteArray("MinCharacterSpaces  20\n")
                                                  << "1 0 0 0 0 100";
    QTest::newRow("bad bool leaves value") << QByteArray("looseMatch yes\n") << defaults;
    QTest::newRow("two pairs on one line") << QByteArray("looseMatch True CaseSensitivity True\n")
                                           << "1 1 1 15 0 100";
    QTest::newRow("key without value") << QByteArray("NumberSteps\n") << defaults;
    QTest::newRow("negative number") << QByteArray("MinNumberOfCharacterInstances -1\n")
                                     << "1 0 0 15 -1 100";
    QTest::newRow("multi-word key restored")
        << QByteArray("Find the Characters in the Text False\nNumberSteps 50\n")
        << "0 0 0 15 0 50";
    QTest::newRow("file as written") << QByteArray("Find the Characters in the Text True\n"
                                                   "looseMatch False\nCaseSensitivity True\n"
                                                   "MinCharacterSpaces 20\n"
                                                   "MinNumberOfCharacterInstances 2\n"
                                                   "NumberSteps 30\n")
                                     << "1 0 1 20 2 30";
}

void TestSettingsFiles::config()
{
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    writeFile(QStringLiteral("config.txt"), file);
    ScreenplayAnalysis a;
    QVERIFY(a.loadSettings());
    const QString actual = QStringLiteral("%1 %2 %3 %4 %5 %6")
                               .arg(int(a.findCharactersInText))
                               .arg(int(a.looseMatch))
                               .arg(int(a.caseSensitivity))
                               .arg(a.minCharacterSpaces)
                               .arg(a.minNumberOfCharacterInstances)
                               .arg(a.numberSteps);
    QCOMPARE(actual, expected);
}

void TestSettingsFiles::configWrittenInOrder()
{
    ScreenplayAnalysis a;
    QVector<ConfigEntry> entries = a.configEntries();
    QVector<ConfigEntry *> pointers;
    for (ConfigEntry &e : entries)
        pointers.append(&e);
    QVERIFY(ScreenplayAnalysis::writeConfig(QStringLiteral("config.txt"), pointers));
    QCOMPARE(readFile(QStringLiteral("config.txt")),
             QByteArray("Find the Characters in the Text True\nlooseMatch False\n"
                        "CaseSensitivity False\nMinCharacterSpaces 15\n"
                        "MinNumberOfCharacterInstances 0\nNumberSteps 100\n"));
}

void TestSettingsFiles::unwritableTargetReported()
{
    ScreenplayAnalysis a;
    StdoutCapture out;
    QVERIFY(!a.saveColors(QStringLiteral("no-such-folder/colors.txt")));
    QVERIFY(!a.saveBreakStrings(m_dir.path())); // a directory
    QCOMPARE(out.lines(), (QStringList{"could not write no-such-folder/colors.txt",
                                       "could not write " + m_dir.path()}));
}

QTEST_GUILESS_MAIN(TestSettingsFiles)
#include "tst_settingsfiles.moc"
