// SPDX-License-Identifier: MIT
// The four settings-file readers on the same arbitrary bytes, and the files they write back.
#include "fuzzsupport.h"
#include "screenplayanalysis.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = writeInput(QStringLiteral("settings.txt"), data, size);
    ScreenplayAnalysis a;
    a.loadSettings(path);
    a.loadBreakStrings(path);
    a.loadCharacters(path);
    a.loadColors(path);
    a.characters = a.includeCharacters;
    a.saveCharacters(QStringLiteral("characters-out.txt"));
    a.saveColors(QStringLiteral("colors-out.txt"));
    a.saveBreakStrings(QStringLiteral("breaks-out.txt"));
    return 0;
}
