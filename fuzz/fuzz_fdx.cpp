// SPDX-License-Identifier: MIT
// The Final Draft reader on arbitrary bytes, then the analysis of what it lays out.
#include "fuzzsupport.h"
#include "screenplayanalysis.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = writeInput(QStringLiteral("play.fdx"), data, size);
    ScreenplayAnalysis a;
    a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.openScreenplay(path);
    a.buildModel();
    a.sceneStats();
    a.markupDocument();
    return 0;
}
