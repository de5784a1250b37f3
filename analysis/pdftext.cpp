// SPDX-License-Identifier: MIT
#include "pdftext.h"

#include <QCoreApplication>
#include <QLibrary>

namespace {

using ReadFunction = void (*)(const QString &, PdfText *);

// The reader lives in the module "plotloom-pdf", installed beside the programs' libraries and
// built in the build tree; it is loaded once, at the first PDF.
ReadFunction pdfReader()
{
    static const ReadFunction read = []() -> ReadFunction {
        QStringList folders;
        if (QCoreApplication::instance())
            folders.append(QCoreApplication::applicationDirPath() +
                           QStringLiteral("/../" PLOTLOOM_LIBDIR "/plotloom"));
        folders.append(QStringLiteral(PLOTLOOM_BUILD_MODULE_DIR));
        for (const QString &folder : qAsConst(folders)) {
            QLibrary module(folder + QStringLiteral("/plotloom-pdf"));
            if (const auto found =
                    reinterpret_cast<ReadFunction>(module.resolve("plotloomReadPdfText")))
                return found;
        }
        return nullptr;
    }();
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
