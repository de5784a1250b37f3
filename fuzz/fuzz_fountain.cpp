// SPDX-License-Identifier: MIT
// The Fountain layout of arbitrary bytes, then the analysis of what it lays out.
#include "fuzzsupport.h"
#include "screenplayanalysis.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = writeInput(QStringLiteral("play.fountain"), data, size);
    ScreenplayAnalysis a;
    a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.openScreenplay(path);
    a.buildModel();
    a.sceneStats();
    a.sceneBreakdown();
    a.characterNetwork().graphml();
    return 0;
}
