// SPDX-License-Identifier: MIT
#include "pdftext.h"

#include "modules.h"

namespace {

using ReadFunction = void (*)(const QString &, PdfText *);

// The reader lives in the module "plotloom-pdf"; it is loaded once, at the first PDF.
ReadFunction pdfReader()
{
    static const auto read =
        reinterpret_cast<ReadFunction>(moduleFunction("plotloom-pdf", "plotloomReadPdfText"));
    return read;
}

} // namespace

PdfText readPdfText(const QString &fileName)
{
    PdfText result;
    if (const ReadFunction read = pdfReader())
        read(fileName, &result);
    else
        result.error = QStringLiteral("PDF support is not installed (the module plotloom-pdf is "
                                      "missing), so this PDF cannot be read.");
    return result;
}
