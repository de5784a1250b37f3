// SPDX-License-Identifier: MIT
#include "htmlnames.h"
#include "screenplayanalysis.h"
#include "stdoutcapture.h"

#include <QtTest>

namespace {

// An analysis with the given characters (names separated by "|", words by blanks) and break
// strings, and a fresh CharacterList with its first scene open, as a parse has at its first line.
struct Fixture {
    explicit Fixture(const QString &names, const QStringList &breaks = {})
    {
        if (!names.isEmpty())
            for (const QString &name : names.split('|'))
                a.characters.append(a.newCharacter(name.split(' ')));
        a.breakStrings = breaks;
        a.characterList = new CharacterList(a.characters);
        a.characterList->openScene(0.0f, QStringLiteral("START"));
    }
    const QVector<TimeIndex *> &scenes() const { return a.characterList->timeIndices; }
    ScreenplayAnalysis a;
};

const QString blanks4 = QStringLiteral("    ");

} // namespace

class TestMarkup : public QObject {
    Q_OBJECT
private slots:
    void line_data();
    void line();
    void headingOpensScene();
    void pageMarks();
    void userBreaks();
    void includedCharacterAppended();
    void wholeText();
    void savedDocument();
    void savedDocumentWithoutParse();
    void selectorsEscaped_data();
    void selectorsEscaped();
};

void TestMarkup::line_data()
{
    QTest::addColumn<QString>("characters");
    QTest::addColumn<QStringList>("breaks");
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("expected");

    const QStringList none;
    QTest::newRow("empty line") << "" << none << "" << " <br>";
    QTest::newRow("indented speaker") << "JOHN" << none << blanks4 + "JOHN"
                                      << "    <span class='JOHN'>JOHN </span><br>";
    QTest::newRow("runs of blanks kept") << "" << none << "a   b" << "a   b <br>";
    QTest::newRow("two-word name, class joined")
        << "MRS SMITH" << none << "see MRS SMITH go"
        << "see <span class='MRSSMITH'>MRS SMITH </span>go <br>";
    QTest::newRow("longest result wins") << "MRS|MRS SMITH" << none << "MRS SMITH"
                                         << "<span class='MRSSMITH'>MRS SMITH </span><br>";
    QTest::newRow("earliest wins a tie") << "JOHN|John" << none << "john"
                                         << "<span class='JOHN'>john </span><br>";
    QTest::newRow("partial name is a mention") << "MRS SMITH" << none << "MRS JONES"
                                               << "<span class='MRSSMITH'>MRS </span>JONES <br>";
    QTest::newRow("character before break string")
        << "INT" << QStringList{"INT"} << "INT HOUSE" << "<span class='INT'>INT </span>HOUSE <br>";
    QTest::newRow("heading") << "" << QStringList{"INT"} << "INT HOUSE DAY"
                             << "</div><div class='scene'><span class='breakString'>INT HOUSE "
                                "</span>DAY <br>";
    QTest::newRow("heading ignores case") << "" << QStringList{"int."} << "INT. HOUSE"
                                          << "</div><div class='scene'><span "
                                             "class='breakString'>INT. </span>HOUSE <br>";
    QTest::newRow("one-word heading") << "" << QStringList{"INT"} << "INT"
                                      << "</div><div class='scene'><span "
                                         "class='breakString'></span>INT <br>";
    QTest::newRow("break string mid-line") << "" << QStringList{"EXT"} << "cut to EXT yard"
                                           << "cut to </div><div class='scene'><span "
                                              "class='breakString'>EXT </span>yard <br>";
    QTest::newRow("page mark written out") << "" << none << "[12]" << "[12] <br>";
    QTest::newRow("text passes unescaped") << "" << none << "<b> a&b</b> "
                                           << "<b> a&b</b>  <br>";
    QTest::newRow("class attribute escaped")
        << "O'BRIEN" << none << "O'BRIEN"
        << "<span class='O&#39;BRIEN'>O'BRIEN </span><br>";
    QTest::newRow("strict mode refuses punctuation") << "JOHN" << none << "JOHN:" << "JOHN: <br>";
}

void TestMarkup::line()
{
    QFETCH(QString, characters);
    QFETCH(QStringList, breaks);
    QFETCH(QString, line);
    QFETCH(QString, expected);
    Fixture f(characters, breaks);
    QCOMPARE(f.a.makeMarkUP(line, 0.5f), expected);
}

void TestMarkup::headingOpensScene()
{
    Fixture f(QStringLiteral("JOHN"), {QStringLiteral("int."), QStringLiteral("INT")});
    f.a.makeMarkUP(QStringLiteral("JOHN JOHN"), 0.1f);
    f.a.makeMarkUP(QStringLiteral("INT. HOUSE"), 0.25f);
    f.a.makeMarkUP(QStringLiteral("JOHN"), 0.3f);
    QCOMPARE(f.scenes().size(), 2);
    QCOMPARE(f.scenes().at(0)->stop, 0.25f);
    QCOMPARE(f.scenes().at(0)->counts, QVector<int>{2});
    QCOMPARE(f.scenes().at(1)->type, QStringLiteral("int.")); // as stored, not as written
    QCOMPARE(f.scenes().at(1)->start, 0.25f);
    QCOMPARE(f.scenes().at(1)->counts, QVector<int>{1});
}

void TestMarkup::pageMarks()
{
    Fixture f(QString(), {QStringLiteral("INT")});
    f.a.makeMarkUP(QStringLiteral("[12] [x] [] [3"), 0.1f);
    QCOMPARE(f.scenes().at(0)->pages, (QVector<int>{12, 0, 0}));
    f.a.makeMarkUP(QStringLiteral("INT HALL [13]"), 0.2f); // a heading's last word can be a mark
    QCOMPARE(f.scenes().at(1)->pages, (QVector<int>{0, 13}));
}

void TestMarkup::userBreaks()
{
    Fixture f{QString()};
    f.a.userBreaks = {0.25f, 0.26f, 0.9f, 0.0f};
    f.a.makeMarkUP(QString(), 0.0f); // a break at 0 never opens a scene
    f.a.makeMarkUP(QString(), 0.2f);
    QCOMPARE(f.a.makeMarkUP(QStringLiteral("x"), 0.3f),
             QStringLiteral("</div><div class='scene'></div><div class='scene'>x <br>"));
    QCOMPARE(f.scenes().size(), 3);
    QCOMPARE(f.scenes().at(1)->type, QStringLiteral("USER_SET"));
    QCOMPARE(f.scenes().at(1)->start, f.scenes().at(1)->stop); // zero length
    QCOMPARE(f.scenes().at(2)->start, 0.3f);
    f.a.makeMarkUP(QString(), 0.8f);
    QCOMPARE(f.scenes().size(), 3); // 0.9 lies beyond the last line
    QCOMPARE(f.a.lastPosition, 0.8f);
}

void TestMarkup::includedCharacterAppended()
{
    Fixture f(QStringLiteral("JOHN"));
    Character *mary = f.a.newCharacter({QStringLiteral("MARY")});
    f.a.includeCharacters = {mary};
    QCOMPARE(f.a.makeMarkUP(QStringLiteral("MARY JOHN MARY"), 0.1f),
             QStringLiteral("<span class='MARY'>MARY </span><span class='JOHN'>JOHN </span>"
                            "<span class='MARY'>MARY </span><br>"));
    QCOMPARE(f.a.characters, (QVector<Character *>{f.a.characters.at(0), mary}));
    // Appended during the parse, she has no counter in the scene.
    QCOMPARE(f.scenes().at(0)->counts, QVector<int>{1});

    // Without an open scene a mention is reported and not counted.
    const QVector<TimeIndex *> scenes = f.scenes();
    f.a.characterList->timeIndices.clear();
    StdoutCapture out;
    f.a.makeMarkUP(QStringLiteral("JOHN"), 0.2f);
    QCOMPARE(out.lines(), QStringList{"warning: TimeIndexVector is 0 at inc value"});
    qDeleteAll(scenes);
}

void TestMarkup::wholeText()
{
    ScreenplayAnalysis a;
    a.breakStrings = QStringList{QStringLiteral("INT")};
    a.characters = {a.newCharacter({QStringLiteral("JOHN")})};
    a.lines = QStringList{"JOHN", "INT ROOM", "", "JOHN"};
    a.characterList = new CharacterList(a.characters);
    QCOMPARE(a.createMarkUpPlainText(),
             QStringLiteral("<div class='scene'><span class='JOHN'>JOHN </span><br></div>"
                            "<div class='scene'><span class='breakString'>INT </span>ROOM <br> "
                            "<br><span class='JOHN'>JOHN </span><br></div>"));
    const QVector<TimeIndex *> &scenes = a.characterList->timeIndices;
    QCOMPARE(scenes.size(), 2);
    QCOMPARE(scenes.at(0)->type, QStringLiteral("START"));
    QCOMPARE(scenes.at(0)->start, 0.0f);
    QCOMPARE(scenes.at(0)->stop, 0.25f);
    QCOMPARE(scenes.at(1)->stop, 1.0f);
    QCOMPARE(scenes.at(1)->counts, QVector<int>{1});
}

void TestMarkup::savedDocument()
{
    ScreenplayAnalysis a;
    a.breakStrings = QStringList{QStringLiteral("int.")};
    a.characters = {a.newCharacter({QStringLiteral("JOHN")}),
                    a.newCharacter({QStringLiteral("MRS"), QStringLiteral("SMITH")})};
    a.characters.at(0)->color = Qt::red;
    a.characters.at(1)->color = Qt::blue;
    a.lines = QStringList{"INT. KITCHEN - DAY", "                JOHN", "    Hello, Mrs Smith."};
    a.buildModel();
    QFile golden(QStringLiteral(PLOTLOOM_TEST_DATA "/markup/saved.html"));
    QVERIFY(golden.open(QIODevice::ReadOnly));
    QCOMPARE(a.markupDocument(), golden.readAll());
}

void TestMarkup::savedDocumentWithoutParse()
{
    ScreenplayAnalysis a;
    QCOMPARE(a.markupDocument(),
             QByteArray("<head><style type='text/css'>span.breakString{ color: purple; "
                        "font-weight: bold; font-style: italic;}</style></head>"));
}

void TestMarkup::selectorsEscaped_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("selector");
    QTest::newRow("plain") << "MRSSMITH" << "span.MRSSMITH";
    QTest::newRow("full stop") << "DR.GRANT" << "span.DR\\.GRANT";
    QTest::newRow("apostrophe") << "O'BRIEN" << "span.O\\'BRIEN";
    QTest::newRow("parentheses and colon") << "MAN(V.O.):" << "span.MAN\\(V\\.O\\.\\)\\:";
    QTest::newRow("leading digit") << "2NDMAN" << "span.\\32 NDMAN";
    QTest::newRow("non-ASCII kept") << QString::fromUtf8("ÉMILE") << QString::fromUtf8("span.ÉMILE");
    QTest::newRow("hyphen inside kept") << "JEAN-LUC" << "span.JEAN-LUC";
    QTest::newRow("lone hyphen") << "-" << "span.\\-";
}

void TestMarkup::selectorsEscaped()
{
    QFETCH(QString, className);
    QFETCH(QString, selector);
    QCOMPARE(classSelector(QStringLiteral("span"), className), selector);
}

QTEST_GUILESS_MAIN(TestMarkup)
#include "tst_markup.moc"
