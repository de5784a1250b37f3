// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "htmlnames.h"

class TestMarkup : public QObject {
    Q_OBJECT
private slots:
    void markup_data();
    void markup();
    void savedDocument();
    void selectorsEscaped_data();
    void selectorsEscaped();
};

// A text parsed with the given characters: its scenes and its markup inside the first scene's
// <div>. The expected markup is written without that outer <div>; "|" stands for a scene break.
void TestMarkup::markup_data()
{
    QTest::addColumn<QString>("characters"); // separated by "|"; "+" marks an included one
    QTest::addColumn<QStringList>("breaks");
    QTest::addColumn<QString>("lines"); // separated by "\n"
    QTest::addColumn<QVector<float>>("userBreaks");
    QTest::addColumn<QString>("scenes");
    QTest::addColumn<QString>("markup");

    const QStringList noBreaks;
    const QVector<float> none;
    QTest::newRow("two-word name, blanks and text kept as they are")
        << "MRS SMITH" << noBreaks << "  a&b MRS SMITH <i>" << none << "START 0-1 1"
        << "  a&b <span class='MRSSMITH'>MRS SMITH </span><i> <br>";
    QTest::newRow("longest result wins, earliest on a tie")
        << "JOHN|John|MRS|MRS SMITH" << noBreaks << "john MRS SMITH" << none << "START 0-1 1,0,0,1"
        << "<span class='JOHN'>john </span><span class='MRSSMITH'>MRS SMITH </span><br>";
    QTest::newRow("partial name is a mention")
        << "MRS SMITH" << noBreaks << "MRS JONES" << none << "START 0-1 1"
        << "<span class='MRSSMITH'>MRS </span>JONES <br>";
    QTest::newRow("class attribute escaped")
        << "O'BRIEN" << noBreaks << "O'BRIEN" << none << "START 0-1 1"
        << "<span class='O&#39;BRIEN'>O'BRIEN </span><br>";
    QTest::newRow("character before break string")
        << "INT" << QStringList{"INT"} << "INT HOUSE" << none << "START 0-1 1"
        << "<span class='INT'>INT </span>HOUSE <br>";
    QTest::newRow("one-word heading")
        << "" << QStringList{"INT"} << "INT" << none << "START 0-0|INT 0-1"
        << "|<span class='breakString'></span>INT <br>";
    QTest::newRow("break string mid-line")
        << "" << QStringList{"EXT"} << "cut to EXT yard" << none << "START 0-0|EXT 0-1"
        << "cut to |<span class='breakString'>EXT </span>yard <br>";
    QTest::newRow("heading opens a scene of the stored type")
        << "JOHN" << QStringList{"int."} << "JOHN JOHN\nINT. ROOM\n\nJOHN" << none
        << "START 0-0.25 2|int. 0.25-1 1"
        << "<span class='JOHN'>JOHN </span><span class='JOHN'>JOHN </span><br>|<span "
           "class='breakString'>INT. </span>ROOM <br> <br><span class='JOHN'>JOHN </span><br>";
    // Marks that are no number count as page 0; a heading's last word can be a mark; a scene
    // starts with the last page of the one before.
    QTest::newRow("page marks") << "" << QStringList{"INT"} << "[12] [x] [] [3\nINT HALL [13]"
                                << none << "START 0-0.5 p12,0,0|INT 0.5-1 p0,13"
                                << "[12] [x] [] [3 <br>|<span class='breakString'>INT HALL "
                                   "</span>[13] <br>";
    // Two breaks between lines give a scene of no length; breaks at 0 and past the last line
    // open none.
    QTest::newRow("user breaks") << "" << noBreaks << "\n\nx\n"
                                 << QVector<float>{0.3f, 0.4f, 0.9f, 0.0f}
                                 << "START 0-0.5|USER_SET 0.5-0.5|USER_SET 0.5-1"
                                 << " <br> <br>||x <br> <br>";
    // Blanks are words too: a name or a break string may start with an empty word.
    QTest::newRow("name starting with a blank")
        << " JOHN" << noBreaks << "  JOHN" << none << "START 0-1 2"
        << "<span class='JOHN'> </span><span class='JOHN'> JOHN </span><br>";
    QTest::newRow("empty break string")
        << "" << QStringList{""} << "a  b" << none << "START 0-0| 0-1"
        << "a |<span class='breakString'> </span>b <br>";
    QTest::newRow("case folded beyond ASCII")
        << QString::fromUtf8("ÉMILE") << noBreaks << QString::fromUtf8("émile") << none
        << "START 0-1 1" << QString::fromUtf8("<span class='ÉMILE'>émile </span><br>");
    // Appended during the parse, MARY has no counter in the scene.
    QTest::newRow("included character appended")
        << "JOHN|+MARY" << noBreaks << "MARY JOHN MARY" << none << "START 0-1 1"
        << "<span class='MARY'>MARY </span><span class='JOHN'>JOHN </span><span "
           "class='MARY'>MARY </span><br>";
}

void TestMarkup::markup()
{
    QFETCH(QString, characters);
    QFETCH(QStringList, breaks);
    QFETCH(QString, lines);
    QFETCH(QVector<float>, userBreaks);
    QFETCH(QString, scenes);
    QFETCH(QString, markup);
    ScreenplayAnalysis a;
    const QStringList names = characters.split('|', Qt::SkipEmptyParts);
    for (const QString &name : names) {
        Character *c = a.newCharacter(QString(name).remove('+').split(' '));
        (name.startsWith('+') ? a.includeCharacters : a.characters).append(c);
    }
    a.breakStrings = breaks;
    a.userBreaks = userBreaks;
    a.lines = lines.split('\n');
    a.buildModel();
    QCOMPARE(sceneSummary(a.characterList), scenes);
    QCOMPARE(a.markup, "<div class='scene'>" +
                           QString(markup).replace('|', "</div><div class='scene'>") + "</div>");
    // Every character of these texts is mentioned, so included ones join the characters.
    QCOMPARE(a.characters.size(), names.size());
}

// The saved document: before any parse the style block alone, after it the golden file.
void TestMarkup::savedDocument()
{
    QCOMPARE(ScreenplayAnalysis().markupDocument(),
             QByteArray("<head><style type='text/css'>span.breakString{ color: purple; "
                        "font-weight: bold; font-style: italic;}</style></head>"));
    ScreenplayAnalysis a;
    a.breakStrings = QStringList{QStringLiteral("int.")};
    a.characters = {a.newCharacter({QStringLiteral("JOHN")}),
                    a.newCharacter({QStringLiteral("MRS"), QStringLiteral("SMITH")})};
    a.characters.at(0)->color = Qt::red;
    a.characters.at(1)->color = Qt::blue;
    a.lines = QStringList{"INT. KITCHEN - DAY", "                JOHN", "    Hello, Mrs Smith."};
    a.buildModel();
    QCOMPARE(a.markupDocument(), readFile(PLOTLOOM_TEST_DATA "/markup/saved.html"));
}

void TestMarkup::selectorsEscaped_data()
{
    QTest::addColumn<QString>("className");
    QTest::addColumn<QString>("selector");
    QTest::newRow("plain") << "MRSSMITH" << QStringLiteral("span.MRSSMITH");
    QTest::newRow("punctuation") << "O'BRIEN(V.O.):"
                                 << QStringLiteral("span.O\\'BRIEN\\(V\\.O\\.\\)\\:");
    QTest::newRow("leading digit") << "2NDMAN" << QStringLiteral("span.\\32 NDMAN");
    QTest::newRow("non-ASCII kept")
        << QString::fromUtf8("ÉMILE") << QString::fromUtf8("span.ÉMILE");
    QTest::newRow("hyphen inside kept") << "JEAN-LUC" << QStringLiteral("span.JEAN-LUC");
    QTest::newRow("lone hyphen") << "-" << QStringLiteral("span.\\-");
}

void TestMarkup::selectorsEscaped()
{
    QFETCH(QString, className);
    QFETCH(QString, selector);
    QCOMPARE(classSelector(QStringLiteral("span"), className), selector);
}

QTEST_GUILESS_MAIN(TestMarkup)
#include "tst_markup.moc"
