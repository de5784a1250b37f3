// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "datatable.h"
#include "stdoutcapture.h"

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
    void saved();

private:
    QTemporaryDir m_dir;
};

// The files are read the same under any locale; a Latin-1 one shows whether UTF-8 is decoded.
void TestSettingsFiles::init()
{
    QDir::setCurrent(m_dir.path());
    QTextCodec::setCodecForLocale(QTextCodec::codecForName("ISO-8859-1"));
}

// Each settings file (named before the colon) read from a state of "OLD" (the colour #ffff00, the
// default settings); a missing file (a null row) leaves that state as it is.
using Rows = DataTable<QByteArray, QString>;

void TestSettingsFiles::load_data()
{
    Rows::columns(); // the file (null: missing), what is read
    const auto row = &Rows::row;

    row("characters: names, aliases, colour", "MRS SMITH, MRS. SMITH, MARGARET : 200 30 30\n",
        "MRS SMITH/MRS. SMITH;MARGARET/200 30 30");
    row("characters: word is zero, components clamped", "JOHN : red 300 -5\n", "JOHN//0 255 0");
    row("characters: runs of blanks, none round colon", "  MRS    SMITH:1   2  3  4\n",
        "MRS SMITH//1 2 3");
    row("characters: leading comma adds aliases to previous", "JOHN\n, JACK, J : 9 9 9\n",
        "JOHN/JACK;J/9 9 9");
    row("characters: orphan aliases, two numbers are no colour", ", JACK : 1 1 1\nJOHN : 255 0\n",
        "JOHN//-");
    row("characters: CR LF and empty lines", "\r\nA : 1 2 3\r\n\r\nB\r\n", "A//1 2 3|B//-");
    row("characters: UTF-8", "\xc3\x89MILE, L\xc3\x89ON : 1 2 3\n", "ÉMILE/LÉON/1 2 3");
    row("characters: not UTF-8 is Latin-1", "\xc9MILE\nZO\xc3\xab\n", "ÉMILE//-|ZOÃ«//-");
    row("characters: missing", QByteArray(), "OLD//-");
    row("colors: extra words kept out, short lines add nothing",
        "255 0 0\n\n1 2\n0 255 0 extra\n0 0 255", "#ff0000 #00ff00 #0000ff");
    row("colors: every blank parts a field", " 255 0 0\n255  0 0\n", "#00ff00 #ff0000");
    row("colors: clamped, also past the integer range", "999 -1 7\n99999999999 -99999999999 1e3\n",
        "#ff0007 #ff0000");
    row("colors: missing", QByteArray(), "#ffff00");
    row("breaks: empty lines skipped, blanks kept", "INT\n\n EXT\r\nINT", "INT| EXT|INT");
    row("breaks: UTF-8 byte-order mark skipped", "\xef\xbb\xbfINT\n\xc3\x89XT\n", "INT|ÉXT");
    row("breaks: cut-off UTF-8 at the end is Latin-1", "INT\nCAF\xc3", "INT|CAFÃ");
    row("breaks: missing", QByteArray(), "OLD");
    // Settings as "find loose case spaces instances steps merge"; names and values ignore case.
    const QString defaults = QStringLiteral("1 0 0 15 0 100 0");
    row("config: missing", QByteArray(), defaults);
    row("config: word or empty value token gives zero",
        "MinCharacterSpaces  20\nNumberSteps many\n", "1 0 0 0 0 0 0");
    row("config: bad bool or no value leaves value",
        "Find the Characters in the Text yes\nNumberSteps\n", defaults);
    row("config: pairs on one line, any case, negative number",
        "LOOSEMATCH true CaseSensitivity True MinNumberOfCharacterInstances -1 mergecueextensions "
        "TRUE\n",
        "1 1 1 15 -1 100 1");
    // The key of several words is matched over as many tokens.
    row("config: file as written, multi-word key",
        "Find the Characters in the Text False\nlooseMatch False\nCaseSensitivity True\n"
        "MinCharacterSpaces 20\nMinNumberOfCharacterInstances 2\nNumberSteps 30\n"
        "MergeCueExtensions False\n",
        "0 0 1 20 2 30 0");
}

void TestSettingsFiles::load()
{
    const auto [file, expected] = Rows::fetch();
    const QString kind = QString(QTest::currentDataTag()).section(':', 0, 0);
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
        actual =
            QString::asprintf("%d %d %d %d %d %d %d", a.findCharactersInText, a.looseMatch,
                              a.caseSensitivity, a.minCharacterSpaces,
                              a.minNumberOfCharacterInstances, a.numberSteps, a.mergeCueExtensions);
    }
    QCOMPARE(actual, expected);
}

// What the save commands write: the characters with their aliases, which read back the same, the
// colours as "r g b", names outside ASCII in UTF-8 whatever encoding they were read from; an empty
// colour list leaves the file as it was, and a file that cannot be written is named on standard
// output.
void TestSettingsFiles::saved()
{
    writeFile(QStringLiteral("characters.txt"), "JOHN : 255 0 0\n\xc9MILE, MAGGIE,  MRS.  S\n");
    ScreenplayAnalysis a;
    QVERIFY(a.loadCharacters(QStringLiteral("characters.txt")));
    const QString read = describe(a.includeCharacters);
    QVERIFY(a.saveCharacters(QStringLiteral("characters.txt")).isNull());
    const QByteArray written("JOHN  : 255 0 0\n\xc3\x89MILE, MAGGIE, MRS. S \n");
    QCOMPARE(readFile(QStringLiteral("characters.txt")), written);
    QVERIFY(a.loadCharacters(QStringLiteral("characters.txt")));
    QCOMPARE(describe(a.includeCharacters), read);
    QCOMPARE(a.saveColors(QStringLiteral("characters.txt")).problem, "was left as it is");
    QCOMPARE(readFile(QStringLiteral("characters.txt")), written);
    a.characters = a.includeCharacters;
    a.characters.at(1)->color = QColor(1, 2, 3);
    QVERIFY(a.saveColors(QStringLiteral("colors.txt")).isNull());
    QCOMPARE(readFile(QStringLiteral("colors.txt")), QByteArray("255 0 0\n1 2 3\n"));
    a.breakStrings = QStringList{QString::fromUtf8("\xc3\x89XT")};
    QVERIFY(a.saveBreakStrings(QStringLiteral("breaks.txt")).isNull());
    QCOMPARE(readFile(QStringLiteral("breaks.txt")), QByteArray("\xc3\x89XT\n"));
    QDir().mkdir("folder.txt");
    StdoutCapture out;
    const FileError error = a.saveBreakStrings(QStringLiteral("folder.txt"));
    QCOMPARE(out.lines(), QStringList{"could not write folder.txt"});
    QCOMPARE(error.message(), "folder.txt cannot be written: " + error.reason);
    QVERIFY(!error.reason.isEmpty()); // the system's reason
}

QTEST_GUILESS_MAIN(TestSettingsFiles)
#include "tst_settingsfiles.moc"
