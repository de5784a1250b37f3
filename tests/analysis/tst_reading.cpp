// SPDX-License-Identifier: MIT
#include "screenplayanalysis.h"

#include <QTemporaryDir>
#include <QtTest>

// Records the window title the analysis asks for.
class TitledAnalysis : public ScreenplayAnalysis {
public:
    QString title;

protected:
    void titleChanged(const QString &t) override { title = t; }
};

class TestReading : public QObject {
    Q_OBJECT
private slots:
    void rewrite_data();
    void rewrite();
    void missingFile();
    void emptyFileSetsTitle();

private:
    QTemporaryDir m_dir;
};

void TestReading::rewrite_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("speaker element") << QByteArray("<speaker x><center><b>JOHN</b></center>\n")
                                     << QStringList{QString(16, ' ') + "JOHN"};
    QTest::newRow("speaker without centre tag")
        << QByteArray("<speaker>JOHN</b></center> rest\n")
        << QStringList{QString(16, ' ') + "<speaker> JOHN"};
    QTest::newRow("tabs to four blanks") << QByteArray("\t\t\t\tJOHN\n")
                                         << QStringList{QString(16, ' ') + "JOHN"};
    QTest::newRow("blank after every tag") << QByteArray("<b>JOHN</b>\n")
                                           << QStringList{"<b> JOHN</b> "};
    QTest::newRow("font neutralised") << QByteArray("<font size=2>x</font>\n")
                                      << QStringList{"<nofont size=2> x</nofont> "};
    QTest::newRow("heading neutralised") << QByteArray("<h2>Title</h2>\n")
                                         << QStringList{"<noh2> Title</noh2> "};
    QTest::newRow("font size neutralised") << QByteArray("<p style=\"font-size: 9pt\">\n")
                                           << QStringList{"<p style=\"no-font-size: 9pt\"> "};
    QTest::newRow("replacements are case-sensitive") << QByteArray("<FONT><H2>\n")
                                                     << QStringList{"<FONT> <H2> "};
    QTest::newRow("empty lines kept") << QByteArray("a\n\nb\n") << QStringList{"a", "", "b"};
    QTest::newRow("CR LF line ends") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
    QTest::newRow("no final newline") << QByteArray("a\nb") << QStringList{"a", "b"};
    QTest::newRow("byte-order mark dropped") << QByteArray("\xEF\xBB\xBFINT. HOUSE\n")
                                             << QStringList{"INT. HOUSE"};
    QTest::newRow("UTF-8 text") << QByteArray("caf\xC3\xA9\xC2\xA0ok\n")
                                << QStringList{QString::fromUtf8("caf\xC3\xA9\xC2\xA0ok")};
    QTest::newRow("NUL bytes survive") << QByteArray("a\0b\n", 4)
                                       << QStringList{QString::fromLatin1("a\0b", 3)};
}

void TestReading::rewrite()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    const QString path = m_dir.filePath(QStringLiteral("play.txt"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();

    TitledAnalysis a;
    a.lines.append(QStringLiteral("kept"));
    a.readFile(path);
    QCOMPARE(a.lines, QStringList{"kept"} + expected);
    QCOMPARE(a.title, QStringLiteral("Yarnwise : play.txt"));
}

void TestReading::missingFile()
{
    TitledAnalysis a;
    a.readFile(m_dir.filePath(QStringLiteral("absent.txt")));
    a.readFile(QString());
    a.readFile(m_dir.path()); // a directory
    const QString notFound = QStringLiteral("file not found\n");
    QCOMPARE(a.lines, (QStringList{notFound, notFound, notFound}));
    QVERIFY(a.title.isEmpty());
}

void TestReading::emptyFileSetsTitle()
{
    const QString path = m_dir.filePath(QStringLiteral("empty"));
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.close();
    TitledAnalysis a;
    a.readFile(path);
    QVERIFY(a.lines.isEmpty());
    QCOMPARE(a.title, QStringLiteral("Yarnwise : empty"));
}

QTEST_GUILESS_MAIN(TestReading)
#include "tst_reading.moc"
