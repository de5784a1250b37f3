// SPDX-License-Identifier: MIT
// The input repeated to a base size and to four times it, and read by one reader: work that grows
// faster than the input (a search to the end of the file for every opener, a copy of the rest of
// a paragraph for every line) takes far more than four times as long at four times the size,
// which aborts, or runs past the time-out. A short input hides such work. The first byte picks
// the reader: a plain-text screenplay with forced characters or a CSV timeline through discovery
// and markup, the Fountain or Final Draft reader alone (the input the text of one long
// paragraph), or the heading parser on one long heading. Processor time is measured, so that
// other processes do not count; only the reader is timed, so that the quadratic part of old
// faults is not lost in the sanitizers' cost of the linear rest.
#include "fileio.h"
#include "finaldraft.h"
#include "fountain.h"
#include "fuzzsupport.h"
#include "sceneheading.h"
#include "screenplayanalysis.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

enum Reader { PlainText, Fountain, FinalDraft, Timeline, Heading, Readers };

// The base size of each reader's input: large enough for quadratic work to dominate at four
// times it, small enough that linear work under the sanitizers stays well inside the time-out.
constexpr int baseSizes[Readers] = {32 << 10, 128 << 10, 512 << 10, 32 << 10, 128 << 10};
// Linear work takes four times as long at four times the size, quadratic work sixteen times.
constexpr double largestGrowth = 8.0;
// Below this much processor time, a difference is noise.
constexpr double noiseSeconds = 0.05;

double processorSeconds()
{
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

// The processor time the reader takes for the piece repeated to size bytes.
double timeRead(Reader reader, const QByteArray &piece, int size)
{
    QByteArray bytes = piece.repeated(size / piece.size() + 1);
    QString path;
    if (reader == PlainText || reader == Timeline)
        path = writeInput(
            reader == PlainText ? QStringLiteral("play.txt") : QStringLiteral("events.csv"),
            reinterpret_cast<const uint8_t *>(bytes.constData()), size_t(bytes.size()));
    if (reader == FinalDraft)
        bytes = "<FinalDraft><Content><Paragraph Type=\"Action\"><Text>" +
                bytes.replace('&', "&amp;").replace('<', "&lt;") +
                "</Text></Paragraph></Content></FinalDraft>";
    const QString text = QString::fromUtf8(bytes);
    const double start = processorSeconds();
    if (reader == Fountain) {
        fountainLayout(splitTextLines(text));
    } else if (reader == FinalDraft) {
        QString error;
        finalDraftLayout(bytes, &error);
    } else if (reader == Heading) {
        SceneHeading::parse(text);
    } else {
        ScreenplayAnalysis a;
        a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
        a.openScreenplay(path);
        a.buildModel();
    }
    return processorSeconds() - start;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 2)
        return 0;
    const auto reader = Reader(data[0] % Readers);
    const QByteArray forced = reader == PlainText ? "JOHN, JACK\nTHE MAN\n" : "";
    writeInput(QStringLiteral("characters.txt"),
               reinterpret_cast<const uint8_t *>(forced.constData()), size_t(forced.size()));
    const QByteArray piece(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const int base = baseSizes[reader];
    const double small = timeRead(reader, piece, base);
    const double large = timeRead(reader, piece, 4 * base);
    if (large > largestGrowth * small + noiseSeconds) {
        std::fprintf(stderr, "reader %d: %.3f s at %d bytes, %.3f s at four times that\n",
                     int(reader), small, base, large);
        std::abort();
    }
    return 0;
}
