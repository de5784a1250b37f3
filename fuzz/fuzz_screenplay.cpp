// SPDX-License-Identifier: MIT
// Reading, discovery, markup and the exports of arbitrary bytes taken as a plain-text
// or HTML screenplay.
#include "fuzzsupport.h"
#include "screenplayanalysis.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = writeInput(QStringLiteral("play.txt"), data, size);
    ScreenplayAnalysis a;
    a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.openScreenplay(path);
    a.buildModel();
    a.sceneStats();
    a.sceneBreakdown();
    a.characterNetwork().graphml();
    a.characterStats();
    a.markupDocument();
    return 0;
}
