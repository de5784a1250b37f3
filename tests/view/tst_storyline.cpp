// SPDX-License-Identifier: MIT
// The storyline layout as data: blocks, unbroken lines, spacing, crossings against the greedy
// layout, the same layout on every run; and the CSV and SVG files written from it.
#include "corpus.h"
#include "datatable.h"
#include "generatedmodel.h"
#include "modelbuilder.h"
#include "screenplayanalysis.h"
#include "storylinefiles.h"
#include "storylinelayout.h"

#include <QTemporaryDir>
#include <QXmlStreamReader>

namespace {

// Where a row's model comes from: "corpus NAME", "generated SCENES CHARACTERS SEED", or names and
// scenes as ModelBuilder takes them, "NAMES / LAYOUT".
struct Model {
    explicit Model(const QString &source)
    {
        const QStringList words = source.split(' ');
        if (words.first() == QLatin1String("corpus")) {
            analysis.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
            analysis.openScreenplay(corpusFile(words.at(1)));
            analysis.buildModel();
            list = analysis.characterList;
        } else if (words.first() == QLatin1String("generated")) {
            generated = std::make_unique<GeneratedModel>(words.at(1).toInt(), words.at(2).toInt(),
                                                         words.at(3).toUInt());
            list = &generated->list;
        } else {
            built = std::make_unique<ModelBuilder>(source.section(" / ", 0, 0).split(' '),
                                                   source.section(" / ", 1));
            list = &built->list;
        }
    }

    ScreenplayAnalysis analysis;
    std::unique_ptr<GeneratedModel> generated;
    std::unique_ptr<ModelBuilder> built;
    CharacterList *list = nullptr;
};

bool present(const CharacterList &list, int scene, int character)
{
    const QVector<int> &counts = list.timeIndices.at(scene)->counts;
    return character < counts.size() && counts.at(character) != 0;
}

// The model, the greedy layout's crossings, the layout's crossings (-1: at most four fifths of the
// greedy layout's) and wiggles (-1: any); -1 where the count is not checked.
using LayoutRows = DataTable<QString, int, int, int>;

} // namespace

class TestStoryline : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void layout_data();
    void layout();
    void files();

private:
    QTemporaryDir m_dir;
};

void TestStoryline::initTestCase()
{
    // Opening a screenplay reads the settings files of the working folder.
    QDir::setCurrent(m_dir.path());
}

void TestStoryline::layout_data()
{
    LayoutRows::columns();
    // B leaves A and C's scene and comes back alone: the greedy order keeps B between them and
    // crosses C; B can step aside at once. Leaving the block bends one line.
    LayoutRows::row("absent line steps aside", "A B C / 0 0.3 A B C | 0.3 0.6 A C | 0.6 1 B", 1, 0,
                    1);
    // Four pairings of four characters cannot all be neighbours without one crossing.
    LayoutRows::row("one crossing forced",
                    "A B C D / 0 .1 A B | .1 .2 C D | .2 .3 A C | .3 .4 B D"
                    " | .4 .5 A D | .5 1 B C",
                    -1, 1, -1);
    // Of an even number of present lines, the greedy order centres on the upper middle one.
    LayoutRows::row("even block", "A B C D / 0 .25 B C D | .25 .5 B D | .5 .75 A B C | .75 1 D", 2,
                    -1, -1);
    LayoutRows::row("one scene", "A B / 0 1 A B", 0, 0, 0);
    // Nobody in a scene, a character never present, counts shorter than the characters.
    LayoutRows::row("sparse", "A B C D / 0 .2 | .2 .4 A B | .4 .6 | .6 1 A", 0, 0, -1);
    LayoutRows::row("no scenes", "A B / ", 0, 0, 0);
    LayoutRows::row("generated 100 x 30", "generated 100 30 1", -1, -1, -1);
    LayoutRows::row("generated 60 x 40", "generated 60 40 2", -1, -1, -1);
    if (!hasCorpus()) {
        LayoutRows::row("the screenplay corpus", "corpus", -1, -1, -1);
        return;
    }
    for (const char *name :
         {"his-girl-friday-1940.txt", "barrier15-the-phoenix-child-2021.fountain",
          "meet-john-doe-1941.txt", "cyber-bob-ep1-traffic-control-dogs.fountain"})
        LayoutRows::row(name, QStringLiteral("corpus ") + name, -1, -1, -1);
}

void TestStoryline::layout()
{
    const auto [source, greedyCrossings, crossings, wiggles] = LayoutRows::fetch();
    if (source.startsWith(QLatin1String("corpus")))
        REQUIRE_CORPUS();
    Model model(source);
    const CharacterList &list = *model.list;
    // These scenes were opened before C and D were known.
    if (QByteArray(QTest::currentDataTag()) == "sparse")
        for (TimeIndex *scene : list.timeIndices)
            scene->counts.resize(2);
    const StorylineLayout layout(list);
    const StorylineLayout greedy = StorylineLayout::greedy(list);

    QCOMPARE(int(layout.columns.size()), list.timeIndices.size());
    for (int k = 0; k < int(layout.columns.size()); ++k) {
        const StorylineLayout::Column &column = layout.columns[size_t(k)];
        // Every line from its first scene to its last passes once; the present ones form the block.
        std::vector<int> expected;
        for (int j = 0; j < list.characters.size(); ++j)
            if (layout.firstScene[size_t(j)] >= 0 && layout.firstScene[size_t(j)] <= k &&
                k <= layout.lastScene[size_t(j)])
                expected.push_back(j);
        std::vector<int> drawn = column.characters;
        std::sort(drawn.begin(), drawn.end());
        QCOMPARE(drawn, expected);
        for (int i = 0; i < int(column.characters.size()); ++i) {
            const bool inBlock = i >= column.blockBegin && i < column.blockEnd;
            QCOMPARE(inBlock, present(list, k, column.characters[size_t(i)]));
            if (i > 0) {
                const int gap = column.heights[size_t(i)] - column.heights[size_t(i - 1)];
                QVERIFY2(inBlock && i > column.blockBegin ? gap == 1 : gap >= 2,
                         qPrintable(QStringLiteral("scene %1, lane %2").arg(k).arg(i)));
            }
        }
    }
    for (int j = 0; j < list.characters.size(); ++j) {
        bool seen = false;
        for (int k = 0; k < list.timeIndices.size(); ++k)
            seen |= present(list, k, j);
        QCOMPARE(layout.firstScene[size_t(j)] >= 0, seen);
    }

    if (greedyCrossings >= 0)
        QCOMPARE(greedy.crossings(), greedyCrossings);
    if (crossings >= 0)
        QCOMPARE(layout.crossings(), crossings);
    else
        QVERIFY2(layout.crossings() * 5 <= greedy.crossings() * 4,
                 qPrintable(QStringLiteral("%1 crossings, greedy %2")
                                .arg(layout.crossings())
                                .arg(greedy.crossings())));
    if (wiggles >= 0)
        QCOMPARE(layout.wiggles(), wiggles);

    const StorylineLayout again(list);
    for (size_t k = 0; k < layout.columns.size(); ++k) {
        QCOMPARE(again.columns[k].characters, layout.columns[k].characters);
        QCOMPARE(again.columns[k].heights, layout.columns[k].heights);
    }
}

// The CSV row by row; the SVG well formed whatever the names hold, with a path and a name per
// line and a titled band per scene.
void TestStoryline::files()
{
    ModelBuilder model({"ANNA", "BOB", "CARL"},
                       "0 0.3 ANNA BOB | 0.3 0.6 CARL | 0.6 1 ANNA BOB CARL");
    model.list.characters.at(1)->names = QStringList{"BOB, JR", "<&\"\x01>"};
    const StorylineLayout layout(model.list);
    QCOMPARE(storylineCsv(layout, model.list),
             QByteArray("Scene,Character,Lane,InScene\r\n"
                        "1,ANNA,0,1\r\n1,\"BOB, JR <&\"\"\x01>\",1,1\r\n"
                        "2,ANNA,0,0\r\n2,\"BOB, JR <&\"\"\x01>\",1,0\r\n2,CARL,2,1\r\n"
                        "3,ANNA,0,1\r\n3,\"BOB, JR <&\"\"\x01>\",1,1\r\n3,CARL,2,1\r\n"));

    QXmlStreamReader svg(storylineSvg(layout, model.list, {"INT. <HALL>", "", "EXT. & DAY"}));
    QStringList paths, names, titles;
    while (!svg.atEnd()) {
        svg.readNext();
        if (svg.isStartElement() && svg.name() == QLatin1String("path"))
            paths.append(svg.attributes().value(QLatin1String("data-character")).toString());
        else if (svg.isStartElement() && svg.name() == QLatin1String("text"))
            names.append(svg.readElementText());
        else if (svg.isStartElement() && svg.name() == QLatin1String("title"))
            titles.append(svg.readElementText());
    }
    QVERIFY2(!svg.hasError(), qPrintable(svg.errorString()));
    const QStringList expected{"ANNA", "BOB, JR <&\">", "CARL"};
    QCOMPARE(paths, expected);
    QCOMPARE(names, expected);
    QCOMPARE(titles, (QStringList{"INT. <HALL>", "Scene 2", "EXT. & DAY"}));
}

QTEST_MAIN(TestStoryline)
#include "tst_storyline.moc"
