// SPDX-License-Identifier: MIT
#include "contrastingrowdelegate.h"

#include <QBrush>
#include <QColor>

#include <cmath>

namespace {

// Relative luminance of an sRGB colour, from 0 (black) to 1 (white).
double luminance(const QColor &c)
{
    const auto linear = [](double v) {
        return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

// The contrast ratio of black and of white text against a background of luminance l are
// (l + 0.05) / 0.05 and 1.05 / (l + 0.05); they are equal at this luminance.
constexpr double equalContrastLuminance = 0.179;

// Black or white, whichever has the higher contrast ratio against background.
QColor textColorOn(const QColor &background)
{
    return luminance(background) > equalContrastLuminance ? QColor(Qt::black) : QColor(Qt::white);
}

} // namespace

void ContrastingRowDelegate::initStyleOption(QStyleOptionViewItem *option,
                                             const QModelIndex &index) const
{
    QStyledItemDelegate::initStyleOption(option, index);
    const QVariant background = index.data(Qt::BackgroundRole);
    if (background.canConvert<QBrush>())
        option->palette.setColor(QPalette::Text,
                                 textColorOn(qvariant_cast<QBrush>(background).color()));
}
