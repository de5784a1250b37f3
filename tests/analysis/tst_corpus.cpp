// SPDX-License-Identifier: MIT
#include "analysistest.h"
#include "corpus.h"
#include "datatable.h"
#include "finaldraftwriter.h"
#include "fountain.h"
#include "typewriterpdf.h"

#include <QTemporaryDir>

namespace {

const QString barrier15 = QStringLiteral("barrier15-the-phoenix-child-2021.fountain");
const QString hisGirlFriday = QStringLiteral("his-girl-friday-1940.txt");

} // namespace

// Real screenplays through reading, discovery, markup and the exports, and the same screenplay
// in other forms giving the same cast.
class TestCorpus : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void wholePipeline_data();
    void wholePipeline();
    void sameCastInEveryForm_data();
    void sameCastInEveryForm();

private:
    QTemporaryDir m_dir;
};

// Every test here reads the corpus, so without it the whole case is skipped, once.
void TestCorpus::initTestCase()
{
    REQUIRE_CORPUS();
}

void TestCorpus::init()
{
    QDir::setCurrent(m_dir.path());
}

// The path, the number of speakers (0: not known) and how the cast starts.
using PipelineRows = DataTable<QString, int, QString>;

// Every screenplay of the corpus, and what is known of some: the number of speakers (27 in
// barrier15) and how the cast starts.
void TestCorpus::wholePipeline_data()
{
    PipelineRows::columns();
    const QMap<QString, QPair<int, QString>> known{
        {barrier15, {27, "BRIANNA:229|SAMANTHA:145|TOKAMAK:59|CAPTAIN LE GUIN:55|"}},
        {"utf8-bom-crlf-snippet.fountain", {2, "GUY:2|GURL:1"}},
        {hisGirlFriday, {0, "HILDY:428|BURNS:362|"}}};
    for (const QString &path : corpusScreenplays()) {
        const QString name = QFileInfo(path).fileName();
        PipelineRows::row(qPrintable(name), path, known.value(name).first,
                          known.value(name).second);
    }
}

// The scenes cover the text from 0 to 1 without gaps; in a structured screenplay one opens at
// each heading line and nowhere else, and no title page, escape, byte-order mark or carriage
// return is left (one Fountain file has both).
void TestCorpus::wholePipeline()
{
    const auto [path, speakers, leadingCast] = PipelineRows::fetch();
    ScreenplayAnalysis a;
    openAndParse(a, path);
    QVERIFY(!a.lines.isEmpty());
    if (speakers > 0)
        QCOMPARE(a.characters.size(), speakers);
    QVERIFY2(castSummary(a.characters).startsWith(leadingCast),
             qPrintable(castSummary(a.characters)));

    const QVector<TimeIndex *> &scenes = a.characterList->timeIndices;
    QVERIFY(!scenes.isEmpty());
    QCOMPARE(scenes.first()->start, 0.0f);
    QCOMPARE(scenes.last()->stop, 1.0f);
    for (int i = 1; i < scenes.size(); ++i)
        QCOMPARE(scenes.at(i)->start, scenes.at(i - 1)->stop);
    if (a.structured) {
        QCOMPARE(scenes.size(), a.headingLines.size() + 1);
        for (int k = 0; k < a.headingLines.size(); ++k)
            QCOMPARE(scenes.at(k + 1)->start, float(a.headingLines.at(k)) / float(a.lines.size()));
        for (const QString &line : qAsConst(a.lines))
            QVERIFY2(!line.startsWith("Title:") && !line.contains("\\_") &&
                         !line.contains(QChar(0xFEFF)) && !line.contains('\r'),
                     qPrintable(line));
    }
    QVERIFY(a.markup.startsWith(QLatin1String("<div class='scene'>")));
    QVERIFY(a.markup.endsWith(QLatin1String("<br></div>")));
    a.writeSceneStats(QStringLiteral("scene.csv"));
    a.writeCharacterStats(QStringLiteral("character.csv"));
    QCOMPARE(readFile(QStringLiteral("scene.csv")).count('\n'), scenes.size() + 1);
    QCOMPARE(readFile(QStringLiteral("character.csv")).count('\n'),
             a.characterList->characters.size() + 1);
}

// A screenplay in another form reads as its source, cast and counts alike: the Fountain reader's
// layout saved as typewritten text (read with extensions merged and speakers from column 31 on),
// the same as Final Draft, screenplays printed as PDFs, furniture and all, and the archive's
// page of His Girl Friday, the text in a <pre> block with <b> before every cue. Where both are
// structured, or both typewritten, the scenes and their counts are the same too.
// The source, its copy, the speakers, whether the scenes are the same.
using CopyRows = DataTable<QString, QString, int, bool>;

void TestCorpus::sameCastInEveryForm_data()
{
    CopyRows::columns();
    const auto row = &CopyRows::row;
    row("barrier15 laid out as text", barrier15, "copy.txt", 27, false);
    row("barrier15 as Final Draft", barrier15, "copy.fdx", 27, true);
    row("barrier15 printed", barrier15, "copy.pdf", 27, true);
    row("His Girl Friday printed", hisGirlFriday, "copy.pdf", 66, false);
    row("His Girl Friday's page", hisGirlFriday, corpusFile("his-girl-friday-1940.html"), 66, true);
}

void TestCorpus::sameCastInEveryForm()
{
    const auto [source, copy, speakers, sameScenes] = CopyRows::fetch();
    const QString path = corpusFile(source);
    const auto layout = [&path] {
        return fountainLayout(QString::fromUtf8(readFile(path)).split('\n'));
    };
    if (copy.endsWith(".txt"))
        writeFile(copy, layout().lines.join('\n').toUtf8());
    else if (copy.endsWith(".fdx"))
        writeFile(copy, finalDraftOf(layout()));
    else if (copy.endsWith(".pdf"))
        QVERIFY(printAsPdf(path, copy) > 0);

    ScreenplayAnalysis original;
    ScreenplayAnalysis copied;
    original.mergeCueExtensions = true;
    copied.mergeCueExtensions = true;
    copied.minCharacterSpaces = 30;
    openAndParse(original, path);
    openAndParse(copied, copy);
    QCOMPARE(copied.characters.size(), speakers);
    QCOMPARE(castSummary(copied.characters), castSummary(original.characters));
    if (sameScenes)
        QCOMPARE(sceneSummary(copied.characterList, false),
                 sceneSummary(original.characterList, false));
}

QTEST_MAIN(TestCorpus)
#include "tst_corpus.moc"
