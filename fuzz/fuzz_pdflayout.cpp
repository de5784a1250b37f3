// SPDX-License-Identifier: MIT
// The PDF layout of arbitrary words, then the analysis of what it lays out. The bytes are read as
// records: a flag byte (odd: the word starts a new page), left edge, bottom and width as 32-bit
// sixteenths of a point, a length byte and that many bytes of Latin-1 text.
#include "fuzzsupport.h"
#include "pdflayout.h"
#include "screenplayanalysis.h"

#include <cstring>

namespace {

qreal coordinate(const uint8_t *bytes)
{
    qint32 value;
    std::memcpy(&value, bytes, sizeof value);
    return qreal(value) / 16;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzFolder();
    constexpr size_t header = 1 + 3 * sizeof(qint32) + 1;
    QVector<PdfPage> pages(1);
    size_t at = 0;
    while (at + header <= size) {
        const uint8_t *record = data + at;
        const size_t length = std::min<size_t>(record[header - 1], size - at - header);
        if (record[0] & 1)
            pages.append(PdfPage());
        pages.last().append(PdfWord{
            QString::fromLatin1(reinterpret_cast<const char *>(record + header), int(length)),
            coordinate(record + 1), coordinate(record + 5), coordinate(record + 9)});
        at += header + length;
    }
    ScreenplayAnalysis a;
    a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.appendLayout(pdfLayout(pages));
    a.findCharacters();
    a.buildModel();
    a.sceneStats();
    return 0;
}
