// SPDX-License-Identifier: MIT
#include "character.h"

#include <QtTest>

class TestCharacter : public QObject {
    Q_OBJECT
private slots:
    void match_data();
    void match();
    void defaultColor();
};

namespace {
// The matching modes of a row.
constexpr int Strict = 0;
constexpr int CaseSensitive = 1;
constexpr int Loose = 2;
} // namespace

void TestCharacter::match_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("aliases"); // words separated by blanks
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("index");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("expected");

    const QStringList none;
    QTest::newRow("case-insensitive keeps text form")
        << "JOHN" << none << "Hi John" << 1 << Strict << "John";
    QTest::newRow("case-sensitive refuses")
        << "JOHN" << none << "Hi John" << 1 << CaseSensitive << "";
    // A partial name match counts only the unbroken run of name words from the index on.
    QTest::newRow("partial leading run")
        << "MRS SMITH" << none << "MRS JONES" << 0 << Strict << "MRS";
    QTest::newRow("partial at line end") << "MRS SMITH" << none << "hi MRS" << 1 << Strict << "MRS";
    QTest::newRow("later word only is refused")
        << "MRS SMITH" << none << "THE SMITH" << 0 << Strict << "";
    QTest::newRow("strict refuses colon") << "JOHN" << none << "JOHN: hi" << 0 << Strict << "";
    QTest::newRow("loose contains") << "JOHN" << none << "JOHNSON: hi" << 0 << Loose << "JOHNSON:";
    QTest::newRow("alias returned as stored")
        << "MARGARET" << QStringList{"MAGGIE"} << "maggie ran" << 0 << Strict << "MAGGIE";
    QTest::newRow("alias cut by line end")
        << "MARGARET" << QStringList{"MRS. SMITH"} << "hi MRS." << 1 << Strict << "";
    QTest::newRow("loose alias drops punctuation and em dash")
        << "MARGARET" << QStringList{"MRS SMITH"} << "MRS. SMITH" + QString(QChar(0x2014)) << 0
        << Loose << "MRS SMITH";
    QTest::newRow("first complete alias wins") << "MARGARET" << QStringList{"MRS SMITH", "MRS"}
                                               << "MRS SMITH" << 0 << Strict << "MRS SMITH";
    QTest::newRow("full name before alias")
        << "MAG" << QStringList{"MAG PIE"} << "MAG PIE" << 0 << Strict << "MAG";
    QTest::newRow("partial name falls back after aliases")
        << "MRS SMITH" << QStringList{"MAGGIE"} << "MRS JONES" << 0 << Strict << "MRS";
    // Articles alone name no one, in any case or mode; the whole name and aliases still do.
    QTest::newRow("article alone") << "THE REPORTERS" << none << "the man" << 0 << Strict << "";
    QTest::newRow("articles alone") << "A THE X" << none << "a The y" << 0 << Strict << "";
    QTest::newRow("article contained, loose")
        << "AN OFFICER" << none << "anyone here" << 0 << Loose << "";
    QTest::newRow("article and name word")
        << "THE REPORTERS" << none << "the reporters' room" << 0 << Loose << "the reporters'";
    QTest::newRow("article, whole name")
        << "THE REPORTERS" << none << "the Reporters" << 0 << Strict << "the Reporters";
    QTest::newRow("article and more, partial")
        << "THE BIG BOSS" << none << "the big man" << 0 << Strict << "the big";
    QTest::newRow("article name by alias")
        << "THE REPORTERS" << QStringList{"THE PRESS"} << "the press" << 0 << Strict << "THE PRESS";
}

void TestCharacter::match()
{
    QFETCH(QString, name);
    QFETCH(QStringList, aliases);
    QFETCH(QString, line);
    QFETCH(int, index);
    QFETCH(int, mode);
    QFETCH(QString, expected);

    Character c(name.split(' ', Qt::SkipEmptyParts));
    for (const QString &alias : aliases)
        c.aliases.append(alias.split(' '));
    const Qt::CaseSensitivity cs = mode == CaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive;
    QCOMPARE(c.match(line.split(' '), index, cs, mode == Loose).join(' '), expected);
}

// The colour is fixed by the name; the seed sums its codes as signed chars, so letters outside
// Latin-1 add nothing and 'é' (233) adds 233 - 256, which code 23 cancels.
void TestCharacter::defaultColor()
{
    const QColor color = Character::defaultColor({"MRS", "SMITH"});
    QCOMPARE(Character({"MRS", "SMITH"}).color, color);
    QVERIFY(color.saturation() == 200 && color.value() >= 150 && color.value() <= 205);
    const QColor empty = Character::defaultColor({});
    QCOMPARE(Character::defaultColor({QString::fromUtf8("ΑΛΦΑ")}), empty);
    QCOMPARE(Character::defaultColor({QString::fromUtf8("é") + QChar(23)}), empty);
    QVERIFY(Character::defaultColor({QString::fromUtf8("é")}) != empty);
}

QTEST_GUILESS_MAIN(TestCharacter)
#include "tst_character.moc"
