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

PdfText readPdfText(const QString &fileName);
