// SPDX-License-Identifier: MIT
// How the time of reading, discovery, markup and the exports grows with the input: every case
// runs at 1, 2 and 4 times a base size, so a row whose time per byte rises with the size has
// work that grows faster than its input. The inputs are made of the shapes hostile files take:
// one very long line, one very long paragraph, openers that are never closed, old Mac line ends,
// thousands of distinct names.
#include "screenplayanalysis.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <functional>

namespace {

// Writes the case's file for a size factor into a fresh folder, with the settings it needs, and
// times the analysis and every export of it.
void analyse(benchmark::State &state, const QString &name,
             const std::function<QByteArray(int)> &make, const QByteArray &characters = {})
{
    QTemporaryDir dir;
    QDir::setCurrent(dir.path());
    const QByteArray bytes = make(int(state.range(0)));
    QFile file(name);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        state.SkipWithError("cannot write the input");
        return;
    }
    file.close();
    if (!characters.isEmpty()) {
        QFile included(QStringLiteral("characters.txt"));
        if (!included.open(QIODevice::WriteOnly))
            return state.SkipWithError("cannot write characters.txt");
        included.write(characters);
    }
    for (auto _ : state) {
        ScreenplayAnalysis a;
        a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
        a.openScreenplay(name);
        a.buildModel();
        benchmark::DoNotOptimize(a.sceneStats().size() + a.characterStats().size() +
                                 a.markupDocument().size() + a.sceneBreakdown().size());
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
    state.counters["bytes"] = double(bytes.size());
}

QByteArray repeated(const QByteArray &piece, int bytes)
{
    return piece.repeated(bytes / piece.size() + 1);
}

constexpr int kilobyte = 1024;

// One line of 96 KB (times the factor) of speech naming two forced characters, one of them by
// an alias.
void BM_LongLineForcedCharacters(benchmark::State &state)
{
    analyse(
        state, QStringLiteral("line.txt"),
        [](int f) {
            return repeated("Then WALTER said to the COLONEL that   Mr. Hale < & > left. ",
                            96 * kilobyte * f);
        },
        "WALTER, WALLY\nCOLONEL HALE, COLONEL\n");
}
BENCHMARK(BM_LongLineForcedCharacters)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// One Final Draft action paragraph of 2 MB (times the factor), wrapped into lines of 60 columns.
void BM_FinalDraftLongParagraph(benchmark::State &state)
{
    analyse(state, QStringLiteral("play.fdx"), [](int f) {
        return "<FinalDraft><Content><Paragraph Type=\"Action\"><Text>" +
               repeated("The rain falls on HENRY and on the sea. ", 2048 * kilobyte * f) +
               "</Text></Paragraph></Content></FinalDraft>";
    });
}
BENCHMARK(BM_FinalDraftLongParagraph)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// A Fountain screenplay of 256 KB (times the factor) whose every speech opens a note and a
// boneyard that are never closed.
void BM_FountainUnclosedNotes(benchmark::State &state)
{
    analyse(state, QStringLiteral("play.fountain"), [](int f) {
        return repeated("INT. HALL - NIGHT\n\nBOB\nHello [[to check\nthere /* cut.\n\n",
                        256 * kilobyte * f);
    });
}
BENCHMARK(BM_FountainUnclosedNotes)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// One Fountain action line of 256 KB (times the factor) full of emphasis markers that never
// close, and a forced heading of as many blanks before a scene-number sign.
void BM_FountainLongLine(benchmark::State &state)
{
    analyse(state, QStringLiteral("play.fountain"), [](int f) {
        const int bytes = 256 * kilobyte * f;
        return repeated("*a **b ***c _d ", bytes) + "\n\n.HALL" + QByteArray(bytes, ' ') +
               "x#1 #\n";
    });
}
BENCHMARK(BM_FountainLongLine)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// A plain-text screenplay of 4,000 (times the factor) distinct speakers, each speaking twice,
// with old Mac line ends.
void BM_DistinctSpeakersCarriageReturns(benchmark::State &state)
{
    analyse(state, QStringLiteral("play.txt"), [](int f) {
        QByteArray text;
        for (int i = 0; i < 4000 * f; ++i) {
            const QByteArray cue =
                QByteArray(37, ' ') + "SPEAKER " + QByteArray::number(i, 36).toUpper() + '\r';
            text += cue + QByteArray(25, ' ') + "Hello.\r" + cue + QByteArray(25, ' ') + "Bye.\r";
        }
        return text;
    });
}
BENCHMARK(BM_DistinctSpeakersCarriageReturns)
    ->Arg(1)
    ->Arg(2)
    ->Arg(4)
    ->Unit(benchmark::kMillisecond);

// A CSV timeline of 4,000 (times the factor) rows, each naming a new character and an old one.
void BM_CsvDistinctNames(benchmark::State &state)
{
    analyse(state, QStringLiteral("events.csv"), [](int f) {
        QByteArray text;
        for (int i = 0; i < 4000 * f; ++i)
            text += QByteArray::number(i) + ",1,\"['N" + QByteArray::number(i) + "','N" +
                    QByteArray::number(i / 2) + "']\"\n";
        return text;
    });
}
BENCHMARK(BM_CsvDistinctNames)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

// An XML file of 1 MB (times the factor): one division holding many, on one long line.
void BM_XmlOneLine(benchmark::State &state)
{
    analyse(state, QStringLiteral("play.xml"), [](int f) {
        return "<div style='A'>" + repeated("<p>text &amp; more</p>", 1024 * kilobyte * f) +
               "</div>";
    });
}
BENCHMARK(BM_XmlOneLine)->Arg(1)->Arg(2)->Arg(4)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
