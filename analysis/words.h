// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// Splits a line at every single blank, keeping empty parts, as QString::split does with
// Qt::KeepEmptyParts; faster on the long runs of blanks that indent screenplay lines.
QStringList splitAtBlanks(const QString &line);
