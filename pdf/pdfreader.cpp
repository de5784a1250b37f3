// SPDX-License-Identifier: MIT
// The PDF text reader, a module of its own: Poppler and the twenty libraries it brings are loaded
// only when a PDF is opened, not at every start of the window or the command-line tool.
#include "pdftext.h"

#include <QtGlobal>

#include <poppler-qt5.h>

#include <cmath>
#include <memory>

namespace {

// Poppler's own diagnostics ("Incorrect password", "May not be a PDF file") would only repeat,
// less clearly, the one reason the reader gives.
void ignorePopplerMessage(const QString &, const QVariant &)
{
}

// The turn that undoes a page's own /Rotate, so that its words read along their lines as on the
// page before it was turned in a viewer.
Poppler::Page::Rotation upright(const Poppler::Page &page)
{
    switch (page.orientation()) {
    case Poppler::Page::Landscape:
        return Poppler::Page::Rotate270;
    case Poppler::Page::UpsideDown:
        return Poppler::Page::Rotate180;
    case Poppler::Page::Seascape:
        return Poppler::Page::Rotate90;
    case Poppler::Page::Portrait:
        break;
    }
    return Poppler::Page::Rotate0;
}

} // namespace

extern "C" Q_DECL_EXPORT void plotloomReadPdfText(const QString &fileName, PdfText *text)
{
    PdfText &result = *text;
    Poppler::setDebugErrorFunction(ignorePopplerMessage, QVariant());
    const std::unique_ptr<Poppler::Document> document(Poppler::Document::load(fileName));
    if (!document) {
        result.error = QStringLiteral("This file is not a PDF that can be read.");
        return;
    }
    if (document->isLocked()) {
        result.error = QStringLiteral("This PDF is locked with a password and cannot be read.");
        return;
    }
    bool anyWord = false;
    for (int p = 0; p < document->numPages(); ++p) {
        PdfPage words;
        const std::unique_ptr<Poppler::Page> page(document->page(p));
        const QList<Poppler::TextBox *> boxes =
            page ? page->textList(upright(*page)) : QList<Poppler::TextBox *>();
        for (const Poppler::TextBox *box : boxes) {
            const QRectF r = box->boundingBox();
            if (std::isfinite(r.left()) && std::isfinite(r.bottom()) && std::isfinite(r.width()))
                words.append(PdfWord{box->text(), r.left(), r.bottom(), r.width()});
        }
        qDeleteAll(boxes);
        anyWord = anyWord || !words.isEmpty();
        result.pages.append(words);
    }
    if (!anyWord) {
        result.pages.clear();
        result.error = QStringLiteral(
            "This PDF has no text layer (it may be a scan), so no characters can be found.");
    }
}
