// SPDX-License-Identifier: MIT
#include "analysistest.h"

#include <QTemporaryDir>
#include <QTextCodec>

namespace {

// The included characters as "names/alias;alias/r g b" ("-" for no forced colour), separated
// by "|".
QString describe(const QVector<Character *> &characters)
{
    QStringList result;
    for (const Character *c : characters) {
        QStringList aliases;
        for (const QStringList &alias : c->aliases)
            aliases.append(alias.join(' '));
        const QColor &k = c->color;
        result.append(c->names.join(' ') + '/' + aliases.join(';') + '/' +
                      (c->colorSet ? QString::asprintf("%d %d %d", k.red(), k.green(), k.blue())
                                   : QStringLiteral("-")));
    }
    return result.join('|');
}

} // namespace

class TestSettingsFiles : public QObject {
    Q_OBJECT
private slots:
    void init();
    void load_data();
    void load();
    void savedFiles();
    void savedInUtf8();

private:
    QTemporaryDir m_dir;
};

// The files are read the same under any locale; a Latin-1 one shows whether UTF-8 is decoded.
void TestSettingsFiles::init()
{
    QDir::setCurrent(m_dir.path());
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
}

// Each settings file read from a state of "OLD" (the colour #ffff00, the default settings); a
// missing file (a null row) leaves that state as it is.
void TestSettingsFiles::load_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("expected");

    QTest::newRow("characters: names, aliases, colour")
        << "characters" << QByteArray("MRS SMITH, MRS. SMITH, MARGARET : 200 30 30\n")
        << "MRS SMITH/MRS. SMITH;MARGARET/200 30 30";
    QTest::newRow("characters: word is zero, components clamped")
        << "characters" << QByteArray("JOHN : red 300 -5\n") << "JOHN//0 255 0";
    QTest::newRow("characters: runs of blanks, none round colon")
        << "characters" << QByteArray("  MRS    SMITH:1   2  3  4\n") << "MRS SMITH//1 2 3";
    QTest::newRow("characters: leading comma adds aliases to previous")
        << "characters" << QByteArray("JOHN\n, JACK, J : 9 9 9\n") << "JOHN/JACK;J/9 9 9";
    QTest::newRow("characters: orphan aliases, two numbers are no colour")
        << "characters" << QByteArray(", JACK : 1 1 1\nJOHN : 255 0\n") << "JOHN//-";
    QTest::newRow("characters: CR LF and empty lines")
        << "characters" << QByteArray("\r\nA : 1 2 3\r\n\r\nB\r\n") << "A//1 2 3|B//-";
    QTest::newRow("characters: UTF-8")
        << "characters" << QByteArray("\xc3\x89MILE, L\xc3\x89ON : 1 2 3\n") << "ÉMILE/LÉON/1 2 3";
    QTest::newRow("characters: not UTF-8 is Latin-1")
        << "characters" << QByteArray("\xc9MILE\nZO\xc3\xab\n") << "ÉMILE//-|ZOÃ«//-";
    QTest::newRow("characters: missing") << "characters" << QByteArray() << "OLD//-";
    QTest::newRow("colors: extra words kept out, short lines add nothing")
        << "colors" << QByteArray("255 0 0\n\n1 2\n0 255 0 extra\n0 0 255")
        << "#ff0000 #00ff00 #0000ff";
    QTest::newRow("colors: every blank parts a field")
        << "colors" << QByteArray(" 255 0 0\n255  0 0\n") << "#00ff00 #ff0000";
    QTest::newRow("colors: clamped, also past the integer range")
        << "colors" << QByteArray("999 -1 7\n99999999999 -99999999999 1e3\n") << "#ff0007 #ff0000";
    QTest::newRow("colors: missing") << "colors" << QByteArray() << "#ffff00";
    QTest::newRow("breaks: empty lines skipped, blanks kept")
        << "breaks" << QByteArray("INT\n\n EXT\r\nINT") << "INT| EXT|INT";
    QTest::newRow("breaks: UTF-8 byte-order mark skipped")
        << "breaks" << QByteArray("\xef\xbb\xbfINT\n\xc3\x89XT\n") << "INT|ÉXT";
    QTest::newRow("breaks: cut-off UTF-8 at the end is Latin-1")
        << "breaks" << QByteArray("INT\nCAF\xc3") << "INT|CAFÃ";
    QTest::newRow("breaks: missing") << "breaks" << QByteArray() << "OLD";
    // Settings as "find loose case spaces instances steps"; names and values ignore case.
    const QString defaults = QStringLiteral("1 0 0 15 0 100");
    QTest::newRow("config: missing") << "config" << QByteArray() << defaults;
    QTest::newRow("config: word or empty value token gives zero")
        << "config" << QByteArray("MinCharacterSpaces  20\nNumberSteps many\n") << "1 0 0 0 0 0";
    QTest::newRow("config: bad bool or no value leaves value")
        << "config" << QByteArray("Find the Characters in the Text yes\nNumberSteps\n") << defaults;
    QTest::newRow("config: pairs on one line, any case, negative number")
        << "config"
        << QByteArray("LOOSEMATCH true CaseSensitivity True MinNumberOfCharacterInstances -1\n")
        << "1 1 1 15 -1 100";
    // The key of several words is matched over as many tokens.
    QTest::newRow("config: file as written, multi-word key")
        << "config"
        << QByteArray(
               "Find the Characters in the Text False\nlooseMatch False\nCaseSensitivity True\n"
               "MinCharacterSpaces 20\nMinNumberOfCharacterInstances 2\nNumberSteps 30\n")
        << "0 0 1 20 2 30";
}

void TestSettingsFiles::load()
{
    QFETCH(QString, kind);
    QFETCH(QByteArray, file);
    QFETCH(QString, expected);
    const QString path = file.isNull() ? QStringLiteral("absent.txt") : QStringLiteral("file.txt");
    if (!file.isNull())
        writeFile(path, file);
    ScreenplayAnalysis a;
    a.includeCharacters = {a.newCharacter({QStringLiteral("OLD")})};
    a.colors = {Qt::yellow};
    a.breakStrings = QStringList{QStringLiteral("OLD")};
    QString actual;
    if (kind == "characters") {
        QCOMPARE(a.loadCharacters(path), !file.isNull());
        actual = describe(a.includeCharacters);
    } else if (kind == "colors") {
        QCOMPARE(a.loadColors(path), !file.isNull());
        for (const QColor &c : qAsConst(a.colors))
            actual += (actual.isEmpty() ? "" : " ") + c.name();
    } else if (kind == "breaks") {
        QCOMPARE(a.loadBreakStrings(path), !file.isNull());
        actual = a.breakStrings.join('|');
    } else {
        QCOMPARE(a.loadSettings(path), !file.isNull());
        actual = QString::asprintf("%d %d %d %d %d %d", a.findCharactersInText, a.looseMatch,
                                   a.caseSensitivity, a.minCharacterSpaces,
                                   a.minNumberOfCharacterInstances, a.numberSteps);
    }
    QCOMPARE(actual, expected);
}

// What the save commands write: the characters with their aliases, which read back the same, and
// the colours as "r g b". An empty colour list leaves the file as it was.
void TestSettingsFiles::savedFiles()
{
    writeFile(QStringLiteral("characters.txt"), "JOHN : 255 0 0\nMRS SMITH, MAGGIE,  MRS.  S\n");
    ScreenplayAnalysis a;
    QVERIFY(a.loadCharacters(QStringLiteral("characters.txt")));
    const QString read = describe(a.includeCharacters);
    QVERIFY(a.saveCharacters(QStringLiteral("saved.txt")));
    QCOMPARE(readFile(QStringLiteral("saved.txt")),
             QByteArray("JOHN  : 255 0 0\nMRS SMITH, MAGGIE, MRS. S \n"));
    QVERIFY(a.loadCharacters(QStringLiteral("saved.txt")));
    QCOMPARE(describe(a.includeCharacters), read);

    QVERIFY(!a.saveColors(QStringLiteral("saved.txt")));
    QCOMPARE(readFile(QStringLiteral("saved.txt")),
             QByteArray("JOHN  : 255 0 0\nMRS SMITH, MAGGIE, MRS. S \n"));
    a.characters = a.includeCharacters;
    a.characters.at(1)->color = QColor(1, 2, 3);
    QVERIFY(a.saveColors(QStringLiteral("colors.txt")));
    QCOMPARE(readFile(QStringLiteral("colors.txt")), QByteArray("255 0 0\n1 2 3\n"));
}

// Names outside ASCII are written in UTF-8, whatever encoding they were read from.
void TestSettingsFiles::savedInUtf8()
{
    writeFile(QStringLiteral("characters.txt"), "\xc9MILE : 1 2 3\n");
    ScreenplayAnalysis a;
    QVERIFY(a.loadCharacters(QStringLiteral("characters.txt")));
    QVERIFY(a.saveCharacters(QStringLiteral("characters.txt")));
    const QByteArray saved = readFile(QStringLiteral("characters.txt"));
    QVERIFY2(saved.startsWith("\xc3\x89MILE "), saved.constData());
    a.breakStrings = QStringList{QString::fromUtf8("\xc3\x89XT")};
    QVERIFY(a.saveBreakStrings(QStringLiteral("breaks.txt")));
    QCOMPARE(readFile(QStringLiteral("breaks.txt")), QByteArray("\xc3\x89XT\n"));
}

QTEST_GUILESS_MAIN(TestSettingsFiles)
#include "tst_settingsfiles.moc"
