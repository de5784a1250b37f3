// SPDX-License-Identifier: MIT
// CSV event timelines: discovery of the quoted name lists, the scenes and their normalisation.
#include "fuzzsupport.h"
#include "screenplayanalysis.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = writeInput(QStringLiteral("events.csv"), data, size);
    ScreenplayAnalysis a;
    a.openScreenplay(path);
    a.buildModel();
    a.sceneStats();
    a.sceneBreakdown();
    a.characterNetwork().graphml();
    a.characterStats();
    return 0;
}
