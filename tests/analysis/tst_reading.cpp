// SPDX-License-Identifier: MIT
#include "analysistest.h"

#include <QTemporaryDir>

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

private:
    QTemporaryDir m_dir;
};

void TestReading::rewrite_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    const QString indent(16, ' ');
    const QString txt = QStringLiteral("play.txt");
    QTest::newRow("speaker element")
        << txt << QByteArray("<speaker x><center><b>JOHN</b></center>\n")
        << QStringList{indent + "JOHN"};
    QTest::newRow("speaker without centre tag")
        << txt << QByteArray("<speaker>JOHN</b></center> rest\n")
        << QStringList{indent + "<speaker> JOHN"};
    QTest::newRow("tabs to four blanks")
        << txt << QByteArray("\t\t\t\tJOHN\n") << QStringList{indent + "JOHN"};
    QTest::newRow("page styling neutralised, blank after every tag")
        << txt << QByteArray("<h2 style=\"font-size: 9pt\"><font size=2>x</font></h2>\n")
        << QStringList{"<noh2 style=\"no-font-size: 9pt\"> <nofont size=2> x</nofont> </noh2> "};
    QTest::newRow("replacements are case-sensitive")
        << txt << QByteArray("<FONT><H2>\n") << QStringList{"<FONT> <H2> "};
    QTest::newRow("line ends, empty line, no final newline")
        << txt << QByteArray("a\r\n\nb") << QStringList{"a", "", "b"};
    QTest::newRow("byte-order mark dropped, UTF-8 decoded")
        << txt
        << QByteArray("\xEF\xBB\xBF"
                      "caf\xC3\xA9\xC2\xA0ok\n")
        << QStringList{QString::fromUtf8("caf\xC3\xA9\xC2\xA0ok")};
    QTest::newRow("NUL bytes survive")
        << txt << QByteArray("a\0b\n", 4) << QStringList{QString::fromLatin1("a\0b", 3)};
    QTest::newRow("empty file") << txt << QByteArray("") << QStringList{};
    // Fountain is laid out in typewriter columns first, then rewritten like any text.
    const QByteArray fountain("BOB\na > b\n");
    QTest::newRow("Fountain suffix in any case")
        << QStringLiteral("play.Fountain") << fountain
        << QStringList{QString(37, ' ') + "BOB", QString(25, ' ') + "a >  b"};
    // Final Draft too; a file that is not one shows why.
    const QString fdx = QStringLiteral("play.fdx");
    QTest::newRow("Final Draft suffix in any case")
        << QStringLiteral("play.FDX")
        << QByteArray("<FinalDraft><Content><Paragraph Type=\"Character\"><Text>BOB</Text>"
                      "</Paragraph></Content></FinalDraft>")
        << QStringList{QString(37, ' ') + "BOB"};
    QTest::newRow("another XML document as Final Draft")
        << fdx << QByteArray("<html><body><p>INT. HOUSE</p></body></html>")
        << QStringList{"not a Final Draft document"};
    QTest::newRow("Final Draft document broken off")
        << fdx << QByteArray("<FinalDraft>\n<Content>\n<Paragraph>")
        << QStringList{"not a Final Draft document: XML error at line 3"};
    QTest::newRow("plain text as Final Draft")
        << fdx << QByteArray("\n\nINT. HOUSE\n\nBOB & ANN\nHi.")
        << QStringList{"not a Final Draft document: XML error at line 3"};
    QTest::newRow("empty Final Draft file")
        << fdx << QByteArray("") << QStringList{"not a Final Draft document: the file is empty"};
    QTest::newRow("no suffix is plain text")
        << QStringLiteral("fountain") << fountain << QStringList{"BOB", "a >  b"};
    QTest::newRow("missing file") << txt << QByteArray() << QStringList{"file not found\n"};
}

void TestReading::rewrite()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);
    // A null row reads a file that is not there.
    const QString path = m_dir.filePath(bytes.isNull() ? "absent.txt" : name);
    if (!bytes.isNull())
        writeFile(path, bytes);

    TitledAnalysis a;
    a.lines.append(QStringLiteral("kept"));
    a.readFile(path);
    QCOMPARE(a.lines, QStringList{"kept"} + expected);
    QCOMPARE(a.title, bytes.isNull() ? QString() : "Yarnwise : " + name);
}

QTEST_GUILESS_MAIN(TestReading)
#include "tst_reading.moc"
