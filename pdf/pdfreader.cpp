// SPDX-License-Identifier: MIT
// The PDF text reader, a module of its own: Poppler is loaded only when a PDF is opened, not at
// every start of the window or the command-line tool. It drives Poppler's text device directly,
// words in the order they were drawn: the layout groups them into lines itself, so the reading
// order analysis and the per-character boxes of Poppler's Qt interface would be wasted work.
#include "pdftext.h"

#include <QFile>
#include <QThread>

#include <Error.h>
#include <GlobalParams.h>
#include <PDFDoc.h>
#include <TextOutputDev.h>
#include <goo/GooString.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <memory>
#include <mutex>
#include <vector>

namespace {

// Each thread reads at least this many pages, and at most this many threads read.
constexpr int kPagesPerThread = 8;
constexpr int kMostThreads = 8;
constexpr double kPointsPerInch = 72;

// Poppler's own diagnostics ("Incorrect password", "May not be a PDF file") would only repeat,
// less clearly, the one reason the reader gives.
void ignorePopplerMessage(ErrorCategory, Goffset, const char *)
{
}

std::unique_ptr<PDFDoc> open(const QString &fileName)
{
    return std::make_unique<PDFDoc>(
        std::make_unique<GooString>(QFile::encodeName(fileName).toStdString()));
}

// A face whose name says it is bold, as a PostScript name does ("Courier-Bold",
// "ABCDEF+CourierPrime-Bold"), or whose descriptor does.
bool isBold(const TextFontInfo *font)
{
    if (!font)
        return false;
    const GooString *name = font->getFontName();
    return font->isBold() ||
           (name && QByteArray::fromStdString(name->toStr()).contains("Bold"));
}

// The words of one page (numbered from 1) as shown turned by `rotate` degrees, and the turn
// most of them still read at, in quarters clockwise.
PdfPage wordsOf(PDFDoc &document, int page, int rotate, int *quarters)
{
    TextOutputDev device(nullptr, false, 0, true, false);
    document.displayPage(&device, page, kPointsPerInch, kPointsPerInch, rotate, false, false,
                         false);
    const std::unique_ptr<TextWordList> list = device.makeWordList();
    PdfPage words;
    int turned[4] = {0, 0, 0, 0};
    for (int i = 0; list && i < list->getLength(); ++i) {
        const TextWord *word = list->get(i);
        double left, top, right, bottom;
        word->getBBox(&left, &top, &right, &bottom);
        if (!std::isfinite(left) || !std::isfinite(right) || !std::isfinite(bottom))
            continue;
        ++turned[word->getRotation() & 3];
        const std::unique_ptr<GooString> text(word->getText());
        words.append(PdfWord{QString::fromUtf8(text->c_str(), text->getLength()), left, bottom,
                             right - left, word->getLength() > 0 && isBold(word->getFontInfo(0))});
    }
    *quarters = int(std::max_element(std::begin(turned), std::end(turned)) - std::begin(turned));
    return words;
}

// The words of one page, upright: its own /Rotate undone, so that they read along their lines
// as on the page before it was turned in a viewer, and the page turned again where its text
// was drawn turned.
PdfPage uprightWords(PDFDoc &document, int page)
{
    const int upright = (360 - document.getPageRotate(page) % 360) % 360;
    int quarters = 0;
    PdfPage words = wordsOf(document, page, upright, &quarters);
    if (quarters != 0)
        words = wordsOf(document, page, (upright + 360 - quarters * 90) % 360, &quarters);
    return words;
}

} // namespace

extern "C" Q_DECL_EXPORT void plotloomReadPdfText(const QString &fileName, PdfText *text)
{
    static std::once_flag started;
    std::call_once(started, [] {
        globalParams = std::make_unique<GlobalParams>();
        setErrorCallback(ignorePopplerMessage);
    });
    PdfText &result = *text;
    std::unique_ptr<PDFDoc> document = open(fileName);
    if (!document->isOk()) {
        result.error = document->getErrorCode() == errEncrypted
                           ? QStringLiteral("This PDF is locked with a password and cannot be read.")
                           : QStringLiteral("This file is not a PDF that can be read.");
        return;
    }
    // Pages are read on as many threads as the processor runs, each with a document of its
    // own, since one Poppler document is not to be shared between threads.
    const int pageCount = document->getNumPages();
    const int threads =
        std::clamp(std::min(QThread::idealThreadCount(), pageCount / kPagesPerThread), 1,
                   kMostThreads);
    std::vector<std::unique_ptr<PDFDoc>> documents;
    documents.push_back(std::move(document));
    for (int t = 1; t < threads; ++t) {
        std::unique_ptr<PDFDoc> copy = open(fileName);
        if (!copy->isOk() || copy->getNumPages() != pageCount)
            break;
        documents.push_back(std::move(copy));
    }
    result.pages.resize(std::max(0, pageCount));
    PdfPage *pages = result.pages.data();
    std::atomic<int> next{0};
    const auto readPages = [&next, pages, pageCount](PDFDoc *doc) {
        for (int p = next++; p < pageCount; p = next++)
            pages[p] = uprightWords(*doc, p + 1);
    };
    std::vector<std::unique_ptr<QThread>> workers;
    for (size_t t = 1; t < documents.size(); ++t) {
        PDFDoc *doc = documents.at(t).get();
        workers.emplace_back(QThread::create([&readPages, doc] { readPages(doc); }));
        workers.back()->start();
    }
    readPages(documents.front().get());
    for (const auto &worker : workers)
        worker->wait();
    const bool anyWord = std::any_of(result.pages.cbegin(), result.pages.cend(),
                                     [](const PdfPage &page) { return !page.isEmpty(); });
    if (!anyWord) {
        result.pages.clear();
        result.error = QStringLiteral(
            "This PDF has no text layer (it may be a scan), so no characters can be found.");
    }
}
