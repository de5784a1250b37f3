// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

// One cell of a CSV file as a spreadsheet must read it: a cell that is not a number and begins
// with "=" or "@", with "+" or "-" followed by anything but a blank, or with a tab or a carriage
// return, gets a leading apostrophe, so that it shows as text and runs nothing; then a cell
// holding a comma, a double quote or a line break is quoted (its quotes doubled). Every other
// cell, numbers such as -1 included, stays as it is.
QString csvCell(const QString &field);

// One record of an RFC 4180 file: the fields as cells, separated by commas, ended by CR LF.
QString csvRecord(const QStringList &fields);
