// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// One record of an RFC 4180 file: the fields separated by commas, a field holding a comma, a
// double quote or a line break quoted (its quotes doubled), ended by CR LF.
QString csvRecord(const QStringList &fields);
