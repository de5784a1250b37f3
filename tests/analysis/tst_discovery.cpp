// SPDX-License-Identifier: MIT
#include "screenplayanalysis.h"

#include <QtTest>

namespace {

// A speaker line: the words indented by the given number of blanks.
QString cue(int indent, const QString &words)
{
    return QString(indent, QLatin1Char(' ')) + words;
}

// "NAME:instances" for each character, in order.
QStringList summary(const QVector<Character *> &characters)
{
    QStringList result;
    for (const Character *c : characters)
        result.append(c->names.join(' ') + QLatin1Char(':') + QString::number(c->numInstances));
    return result;
}

// Cancels the scan once it has looked at a given number of lines.
class CancellingAnalysis : public ScreenplayAnalysis {
public:
    int linesBeforeCancel = 0;
    int lastValue = -1;

protected:
    bool progressCanceled() const override { return lastValue + 1 >= linesBeforeCancel; }
    void setProgressValue(int value) override { lastValue = value; }
};

} // namespace

class TestDiscovery : public QObject {
    Q_OBJECT
private slots:
    void speakers_data();
    void speakers();
    void includedCharactersCountEveryMention();
    void colorsFromList();
    void generatedColors();
    void forcedColorKept();
    void cancelKeepsWhatWasFound();
};

void TestDiscovery::speakers_data()
{
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("minInstances");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<int>("spaces");

    QTest::newRow("15 blanks is action, 16 a speaker")
        << QStringList{cue(15, "ANN"), cue(15, "ANN"), cue(16, "BOB"), cue(16, "CAL")} << 0
        << QStringList{"BOB:1", "CAL:1"} << 16;
    QTest::newRow("lower-case note skipped, capital note kept")
        << QStringList{cue(20, "JOHN (quietly)"), cue(20, "JOHN (V.O.)"), cue(20, "JOHN")} << 0
        << QStringList{"JOHN:2", "JOHN (V.O.):1"} << 20;
    QTest::newRow("mixed case is no speaker")
        << QStringList{cue(20, "John"), cue(20, "ann smith"), cue(20, "BOB"), cue(20, "CAL")}
        << 0 << QStringList{"BOB:1", "CAL:1"} << 20;
    QTest::newRow("most shared indentation wins")
        << QStringList{cue(20, "A"), cue(20, "B"), cue(20, "C"), cue(25, "D"), cue(25, "E")} << 0
        << QStringList{"A:1", "B:1", "C:1"} << 20;
    QTest::newRow("tie goes to the deeper indentation")
        << QStringList{cue(20, "A"), cue(20, "B"), cue(25, "D"), cue(25, "E")} << 0
        << QStringList{"D:1", "E:1"} << 25;
    QTest::newRow("no shared indentation keeps nobody")
        << QStringList{cue(20, "A"), cue(25, "B"), cue(30, "C")} << 0 << QStringList{} << 0;
    QTest::newRow("single speaker keeps nobody") << QStringList{cue(20, "A"), cue(20, "A")} << 0
                                                 << QStringList{} << 0;
    QTest::newRow("ranked by instances")
        << QStringList{cue(20, "A"), cue(20, "B"), cue(20, "B"), cue(20, "C"), cue(20, "B"),
                       cue(20, "C")}
        << 0 << QStringList{"B:3", "C:2", "A:1"} << 20;
    QTest::newRow("minimum instances is strict")
        << QStringList{cue(20, "A"), cue(20, "A"), cue(20, "B"), cue(20, "B"), cue(20, "B"),
                       cue(20, "C"), cue(20, "C"), cue(20, "C")}
        << 2 << QStringList{"B:3", "C:3"} << 20;
    QTest::newRow("blank-only line") << QStringList{QString(30, ' '), cue(20, "A"), cue(20, "B")}
                                     << 0 << QStringList{"A:1", "B:1"} << 20;
    QTest::newRow("last speaker line sets the indentation")
        << QStringList{cue(30, "A"), cue(20, "A"), cue(20, "B")} << 0
        << QStringList{"A:2", "B:1"} << 20;
    QTest::newRow("file not found yields nobody") << QStringList{"file not found\n"} << 0
                                                  << QStringList{} << 0;
}

void TestDiscovery::speakers()
{
    QFETCH(QStringList, lines);
    QFETCH(int, minInstances);
    QFETCH(QStringList, expected);
    QFETCH(int, spaces);
    ScreenplayAnalysis a;
    a.lines = lines;
    a.minNumberOfCharacterInstances = minInstances;
    a.findCharacters();
    QCOMPARE(summary(a.characters), expected);
    QCOMPARE(a.characterSpaces, spaces);
}

void TestDiscovery::includedCharactersCountEveryMention()
{
    ScreenplayAnalysis a;
    Character *smith = a.newCharacter({QStringLiteral("MRS"), QStringLiteral("SMITH")});
    Character *mrs = a.newCharacter({QStringLiteral("MRS")});
    a.includeCharacters = {mrs, smith};
    a.lines = QStringList{cue(20, "MRS SMITH"), cue(20, "BOB"), "I saw mrs smith and Mrs Jones"};
    a.findCharacters();
    // The speaker line names her twice: once by its capitals, once as an included character.
    // "mrs smith" prefers the longer name; "Mrs Jones" is a partial match of both, the longer
    // name wins again. She takes the indentation of her last mention, 0, so no two characters
    // share one and the indentation filter keeps only those at 0.
    QCOMPARE(summary(a.characters), QStringList{"MRS SMITH:4"});
    QCOMPARE(smith->spaces, 0);
    QCOMPARE(a.characterSpaces, 0);
    QCOMPARE(mrs->numInstances, 0);

    a.characters.clear();
    a.lines = QStringList{cue(20, "MRS SMITH"), cue(20, "BOB")};
    smith->numInstances = 0;
    a.findCharacters();
    QCOMPARE(summary(a.characters), (QStringList{"MRS SMITH:2", "BOB:1"}));
    QCOMPARE(a.characters.first(), smith);
}

void TestDiscovery::colorsFromList()
{
    ScreenplayAnalysis a;
    for (const char *name : {"A", "B", "C", "D", "E"})
        for (int i = 0; i < 6 - name[0] + 'A'; ++i)
            a.lines.append(cue(20, QLatin1String(name)));
    a.colors = {Qt::red, Qt::green, Qt::blue};
    a.findCharacters();
    QCOMPARE(a.characters.size(), 5);
    const QVector<QColor> expected{Qt::red, Qt::green, Qt::blue, Qt::blue, Qt::blue};
    for (int k = 0; k < 5; ++k)
        QCOMPARE(a.characters.at(k)->color, expected.at(k));
}

void TestDiscovery::generatedColors()
{
    ScreenplayAnalysis a;
    a.lines = QStringList{cue(20, "A"), cue(20, "A"), cue(20, "B"), cue(20, "C"), cue(20, "D")};
    a.findCharacters();
    QCOMPARE(a.characters.size(), 4);
    for (int k = 0; k < 4; ++k) {
        const QColor c = a.characters.at(k)->color;
        QVERIFY(qAbs(c.hsvHueF() - k / 4.0) < 0.01 || (k == 0 && c.hsvHue() == 0));
        QCOMPARE(c.hsvSaturation(), 200);
        QVERIFY(c.value() >= 150 && c.value() <= 205);
    }
}

void TestDiscovery::forcedColorKept()
{
    ScreenplayAnalysis a;
    Character *forced = a.newCharacter({QStringLiteral("A")});
    forced->color = QColor(1, 2, 3);
    forced->colorSet = true;
    a.includeCharacters = {forced};
    a.colors = {Qt::red};
    a.lines = QStringList{cue(20, "A"), cue(20, "A"), cue(20, "B")};
    a.findCharacters();
    QCOMPARE(summary(a.characters), (QStringList{"A:4", "B:1"}));
    QCOMPARE(forced->color, QColor(1, 2, 3));
    QCOMPARE(a.characters.at(1)->color, QColor(Qt::red));
}

void TestDiscovery::cancelKeepsWhatWasFound()
{
    CancellingAnalysis a;
    a.linesBeforeCancel = 3;
    a.lines = QStringList{cue(20, "A"), cue(20, "B"), cue(20, "B"), cue(20, "C"), cue(20, "D")};
    a.findCharacters();
    QCOMPARE(summary(a.characters), (QStringList{"B:2", "A:1"}));
}

QTEST_GUILESS_MAIN(TestDiscovery)
#include "tst_discovery.moc"
