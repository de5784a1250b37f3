// SPDX-License-Identifier: MIT
#pragma once

#include "pdflayout.h"

#include <QString>
#include <QVector>

// The words of a PDF file's text layer, page by page, or why there are none: the file is no PDF,
// asks for a password, or has no text layer (a scan). `error` is empty when the words were read.
struct PdfText {
    QVector<PdfPage> pages;
    QString error;
};

// Reads the text layer through the PDF module, loaded at the first call; without the module the
// error says so.
PdfText readPdfText(const QString &fileName);
