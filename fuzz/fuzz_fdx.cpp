// SPDX-License-Identifier: MIT
// The Final Draft reader on arbitrary bytes, then the analysis of what it lays out.
#include "fuzzsupport.h"
#include "screenplayanalysis.h"

// Keeps the reader's complaints about broken documents off the fuzzer's output.
class QuietAnalysis : public ScreenplayAnalysis {
protected:
    void readFailed(const QString &, const QString &) override {}
};

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = writeInput(QStringLiteral("play.fdx"), data, size);
    QuietAnalysis a;
    a.breakStrings = ScreenplayAnalysis::sampleBreakStrings();
    a.openScreenplay(path);
    a.buildModel();
    a.sceneStats();
    a.markupDocument();
    return 0;
}
