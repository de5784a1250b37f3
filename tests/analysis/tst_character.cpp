// SPDX-License-Identifier: MIT
#include "character.h"
#include "characterlist.h"

#include <QtTest>

class TestCharacter : public QObject {
    Q_OBJECT
private slots:
    void match_data();
    void match();
    void defaultColor();
    void openScene();
};

void TestCharacter::match_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("aliases");
    QTest::addColumn<QString>("line");
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("caseSensitive");
    QTest::addColumn<bool>("loose");
    QTest::addColumn<QStringList>("expected");

    const QStringList none;
    QTest::newRow("one word") << "JOHN" << none << "    JOHN" << 4 << false << false
                              << QStringList{"JOHN"};
    QTest::newRow("case-insensitive keeps text form")
        << "JOHN" << none << "Hello John" << 1 << false << false << QStringList{"John"};
    QTest::newRow("case-sensitive refuses")
        << "JOHN" << none << "Hello John" << 1 << true << false << QStringList{};
    QTest::newRow("empty name never matches") << "" << none << "JOHN" << 0 << false << false
                                              << QStringList{};
    QTest::newRow("two words complete") << "MRS SMITH" << none << "MRS SMITH said" << 0 << false
                                        << false << QStringList{"MRS", "SMITH"};
    QTest::newRow("partial leading run") << "MRS SMITH" << none << "MRS JONES" << 0 << false
                                         << false << QStringList{"MRS"};
    QTest::newRow("last word of line") << "MRS SMITH" << none << "hello MRS" << 1 << false
                                       << false << QStringList{"MRS"};
    QTest::newRow("later word only is refused")
        << "MRS SMITH" << none << "THE SMITH" << 0 << false << false << QStringList{};
    QTest::newRow("strict refuses colon") << "JOHN" << none << "JOHN: hi" << 0 << false << false
                                          << QStringList{};
    QTest::newRow("loose contains colon") << "JOHN" << none << "JOHN: hi" << 0 << false << true
                                          << QStringList{"JOHN:"};
    QTest::newRow("loose contains prefix") << "JOHN" << none << "JOHNSON" << 0 << false << true
                                           << QStringList{"JOHNSON"};
    QTest::newRow("alias returned as stored")
        << "MARGARET SMITH" << QStringList{"MAGGIE"} << "maggie ran" << 0 << false << false
        << QStringList{"MAGGIE"};
    QTest::newRow("alias cut by line end") << "MARGARET" << QStringList{"MRS.|SMITH"}
                                           << "hi MRS." << 1 << false << false << QStringList{};
    QTest::newRow("loose alias drops punctuation")
        << "MARGARET" << QStringList{"MRS|SMITH"} << "MRS. SMITH," << 0 << false << true
        << QStringList{"MRS", "SMITH"};
    QTest::newRow("loose alias drops em dash")
        << "MARGARET" << QStringList{"MAG"} << QString("MAG") + QChar(0x2014) << 0 << false
        << true << QStringList{"MAG"};
    QTest::newRow("first complete alias wins")
        << "MARGARET" << QStringList{"MRS|SMITH", "MRS"} << "MRS SMITH" << 0 << false << false
        << QStringList{"MRS", "SMITH"};
    QTest::newRow("full name before alias") << "MAG" << QStringList{"MAG|PIE"} << "MAG PIE" << 0
                                            << false << false << QStringList{"MAG"};
    QTest::newRow("partial name falls back after aliases")
        << "MRS SMITH" << QStringList{"MAGGIE"} << "MRS JONES" << 0 << false << false
        << QStringList{"MRS"};
}

void TestCharacter::match()
{
    QFETCH(QString, name);
    QFETCH(QStringList, aliases);
    QFETCH(QString, line);
    QFETCH(int, index);
    QFETCH(bool, caseSensitive);
    QFETCH(bool, loose);
    QFETCH(QStringList, expected);

    Character c(name.isEmpty() ? QStringList{} : name.split(' '));
    for (const QString &alias : aliases)
        c.aliases.append(alias.split('|'));
    const QStringList words = line.split(' ', Qt::KeepEmptyParts);
    QCOMPARE(c.match(words, index, caseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive, loose),
             expected);
}

void TestCharacter::defaultColor()
{
    const Character a({"MRS", "SMITH"});
    const Character b({"MRS", "SMITH"});
    QCOMPARE(a.color, b.color);
    QCOMPARE(a.color.saturation(), 200);
    QVERIFY(a.color.value() >= 150 && a.color.value() <= 205);
    QCOMPARE(a.numInstances, 0);
    QCOMPARE(a.start, -1.0f);
    QCOMPARE(a.stop, -1.0f);
    QVERIFY(!a.colorSet);
    QVERIFY(!a.listItem);

    // Letters outside Latin-1 add nothing to the seed, like an empty name.
    const Character greek({QString::fromUtf8("ΑΛΦΑ")});
    const Character empty(QStringList{});
    QCOMPARE(greek.color, empty.color);
    // A Latin-1 letter above 127 adds its code minus 256: 'é' (233) and code 23 cancel out.
    QCOMPARE(Character::defaultColor({QString::fromUtf8("é") + QChar(23)}), empty.color);
    QVERIFY(Character::defaultColor({QString::fromUtf8("é")}) != empty.color);
}

void TestCharacter::openScene()
{
    Character john({"JOHN"});
    CharacterList list({&john});
    TimeIndex *first = list.openScene(0.0f, "START");
    QVERIFY(first->pages.isEmpty());
    QCOMPARE(first->counts, QVector<int>{0});
    first->pages.append(12);
    TimeIndex *second = list.openScene(0.25f, "INT");
    QCOMPARE(first->stop, 0.25f);
    QCOMPARE(second->start, 0.25f);
    QCOMPARE(second->stop, 0.0f);
    QCOMPARE(second->pages, QVector<int>{12});
    QCOMPARE(second->type, QString("INT"));

    CharacterList empty;
    QVERIFY(empty.openScene(0.0f, "START")->counts.isEmpty());
}

QTEST_GUILESS_MAIN(TestCharacter)
#include "tst_character.moc"
