// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "corpus.h"
#include "finaldraft.h"
#include "finaldraftwriter.h"
#include "fountain.h"

#include <QTemporaryDir>

namespace {

QString para(const QString &type, const QString &text)
{
    return QStringLiteral("<Paragraph Type=\"%1\"><Text>%2</Text></Paragraph>").arg(type, text);
}

QString content(const QString &paragraphs)
{
    return "<Content>" + paragraphs + "</Content>";
}

QByteArray fdx(const QString &body)
{
    return ("<FinalDraft DocumentType=\"Script\" Version=\"5\">" + body + "</FinalDraft>").toUtf8();
}

} // namespace

class TestFinalDraft : public QObject {
    Q_OBJECT
private slots:
    void layout_data();
    void layout();
    void sameAsFountain();
};

void TestFinalDraft::layout_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<QString>("expected");     // "indent text" lines separated by "\n"
    QTest::addColumn<QStringList>("speakers"); // of the cues, in order

    const QStringList none;
    QTest::newRow("headings, shots, action")
        << fdx(content(para("Scene Heading", "INT. HOUSE - DAY") + para("Action", words(20)) +
                       para("Shot", "ANGLE ON " + words(15)) + para("General", "x")))
        << "15h INT. HOUSE - DAY\n\n15 " + words(12) + "\n15 " + words(8) + "\n\n15 ANGLE ON " +
               words(15) + "\n\n15 x"
        << none;
    QTest::newRow("other types are action, acts centred")
        << fdx(content(para("Cast List", "BOB, a sailor") + para("Lyrics", "la") +
                       "<Paragraph><Text>untyped</Text></Paragraph>" + para("New Act", "ACT ONE") +
                       para("End of Act", "END OF ACT ONE")))
        << "15 BOB, a sailor\n\n15 la\n\n15 untyped\n\n41 ACT ONE\n\n38 END OF ACT ONE" << none;
    // Parentheticals and dialogue go on the speech without an empty line, wrapped at 25 and 35.
    QTest::newRow("a speech and a transition")
        << fdx(content(para("Character", "BOB (V.O.)") +
                       para("Parenthetical", "(" + words(8) + ")") + para("Dialogue", words(20)) +
                       para("Parenthetical", "(beat)") + para("Dialogue", "Hi.") +
                       para("Transition", "CUT TO:") + para("Dialogue", "Orphan.")))
        << "37c BOB (V.O.)\n30 (" + words(5) + "\n30 " + words(3) + ")\n25 " + words(7) + "\n25 " +
               words(7) + "\n25 " + words(6) + "\n30 (beat)\n25 Hi.\n\n55 CUT TO:\n\n25 Orphan."
        << QStringList{"BOB"};
    QTest::newRow("dual dialogue")
        << fdx(content(para("Action", "x") + "<Paragraph Type=\"Character\"><DualDialogue>" +
                       para("Character", "ANN") + para("Dialogue", "Hi.") +
                       para("Character", "BOB") + para("Parenthetical", "(loud)") +
                       para("Dialogue", "Ho.") + "</DualDialogue></Paragraph>" +
                       para("Action", "They stop.")))
        << "15 x\n\n37c ANN\n25 Hi.\n\n37c BOB\n30 (loud)\n25 Ho.\n\n15 They stop."
        << QStringList{"ANN", "BOB"};
    // Runs are joined as written, line breaks in them are blanks; a paragraph without text, a
    // heading above all, gives nothing.
    QTest::newRow("runs, empty text")
        << fdx(content("<Paragraph Type=\"Character\"><Text>CAPTAIN </Text><Text Style=\"Bold\">"
                       "LE GUIN</Text><Text> (CONT'D)</Text></Paragraph><Paragraph "
                       "Type=\"Dialogue\"><Text></Text><Text/><Text Style=\"Italic\">Full\n  "
                       "stop.</Text></Paragraph><Paragraph Type=\"Scene Heading\"><Text> "
                       "</Text></Paragraph><Paragraph Type=\"Action\"/>" +
                       para("Action", "after")))
        << "37c CAPTAIN LE GUIN (CONT'D)\n25 Full stop.\n\n15 after"
        << QStringList{"CAPTAIN LE GUIN"};
    QTest::newRow("title page, properties, headers, settings are not text")
        << fdx("<TitlePage><Content>" + para("Action", "TITLE") + "</Content></TitlePage>" +
               para("Action", "stray") +
               content("<Paragraph Type=\"Scene Heading\"><SceneProperties Title=\"t\"><Text>"
                       "no</Text></SceneProperties><Text>INT. A</Text></Paragraph>") +
               "<HeaderAndFooter><Header><Paragraph><Text>HEADER</Text></Paragraph></Header>"
               "</HeaderAndFooter><SmartType><Characters><Character>ZED</Character>"
               "</Characters></SmartType><ElementSettings Type=\"Action\"/>")
        << "15h INT. A" << none;
    // Ten levels of ten would be 10^10 copies; an external entity would read a file.
    QString laughs = "<!ENTITY l0 \"ha\">";
    for (int i = 1; i <= 10; ++i)
        laughs += QStringLiteral("<!ENTITY l%1 \"%2\">")
                      .arg(i)
                      .arg(QString("&l%1;").arg(i - 1).repeated(10));
    QTest::newRow("entities are never expanded")
        << "<?xml version=\"1.0\"?><!DOCTYPE FinalDraft [" + laughs.toUtf8() +
               "<!ENTITY xxe SYSTEM \"file:///etc/passwd\">]>" +
               fdx(content(para("Action", "&l10; &xxe; &amp; &#233; &lt;b&gt;")))
        << QString::fromUtf8("15 &l10; &xxe; & \xC3\xA9 <b>") << none;
}

void TestFinalDraft::layout()
{
    QFETCH(QByteArray, document);
    QFETCH(QString, expected);
    QFETCH(QStringList, speakers);
    QString error;
    COMPARE_LAYOUT(finalDraftLayout(document, &error), laidOut(expected, speakers));
    QCOMPARE(error, QString());
}

// barrier15 written as a Final Draft document gives the cast, with the same counts, and the
// scenes of the Fountain file.
void TestFinalDraft::sameAsFountain()
{
    REQUIRE_CORPUS();
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QString fountain = corpusFile("barrier15-the-phoenix-child-2021.fountain");
    writeFile("barrier15.fdx",
              finalDraftOf(fountainLayout(QString::fromUtf8(readFile(fountain)).split('\n'))));
    ScreenplayAnalysis fromFountain;
    ScreenplayAnalysis fromFinalDraft;
    openAndParse(fromFountain, fountain);
    openAndParse(fromFinalDraft, "barrier15.fdx");
    QCOMPARE(fromFinalDraft.characters.size(), 27);
    QCOMPARE(castSummary(fromFinalDraft.characters), castSummary(fromFountain.characters));
    QCOMPARE(fromFinalDraft.characterList->timeIndices.size(),
             fromFountain.characterList->timeIndices.size());
}

QTEST_GUILESS_MAIN(TestFinalDraft)
#include "tst_finaldraft.moc"
