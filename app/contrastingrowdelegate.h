// SPDX-License-Identifier: MIT
#pragma once

#include <QStyledItemDelegate>

// Draws the rows of a character list with black or white text, whichever stands out more from
// the row's colour, so that every name stays readable whatever colour its character has.
class ContrastingRowDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem *option, const QModelIndex &index) const override;
};
