// SPDX-License-Identifier: MIT
#include "storylinefiles.h"

#include "characterlist.h"
#include "csvrecord.h"
#include "storylinelayout.h"

#include <QColor>

#include <algorithm>

namespace {

// The drawing's size: the text runs over chartWidth pixels, and a height unit of the layout
// (half the spacing of lines that are not bundled) is unitHeight pixels.
constexpr double chartWidth = 1600.0;
constexpr double unitHeight = 8.0;
constexpr double margin = 20.0;
// Room above the top line for its name.
constexpr double topMargin = 30.0;
constexpr double lineWidth = 2.0;
constexpr double nameSize = 8.0;
// Names sit this far above their lines.
constexpr double nameRaise = 3.0;
// A block's shading reaches this far beyond its outer lines, in height units.
constexpr double blockPadding = 0.6;
constexpr int nameDarkening = 150;

QString characterName(const CharacterList &list, int character)
{
    return list.characters.at(character)->names.join(QLatin1Char(' '));
}

// Text as XML character data or attribute value: markup characters escaped, and characters that
// XML cannot hold at all (most control characters, lone surrogates) left out.
QString xmlText(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const ushort u = c.unicode();
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            out += c;
            out += text.at(++i);
        } else if (c.isSurrogate() || u == 0xFFFE || u == 0xFFFF ||
                   (u < 0x20 && u != '\t' && u != '\n' && u != '\r')) {
            continue;
        } else if (u == '&') {
            out += QLatin1String("&amp;");
        } else if (u == '<') {
            out += QLatin1String("&lt;");
        } else if (u == '>') {
            out += QLatin1String("&gt;");
        } else if (u == '"') {
            out += QLatin1String("&quot;");
        } else {
            out += c;
        }
    }
    return out;
}

QString number(double value)
{
    return QString::number(value, 'f', 2);
}

} // namespace

QByteArray storylineCsv(const StorylineLayout &layout, const CharacterList &list)
{
    QString text = csvRecord({QStringLiteral("Scene"), QStringLiteral("Character"),
                              QStringLiteral("Lane"), QStringLiteral("InScene")});
    for (size_t k = 0; k < layout.columns.size(); ++k) {
        const StorylineLayout::Column &column = layout.columns[k];
        for (int i = 0; i < int(column.characters.size()); ++i) {
            const bool present = i >= column.blockBegin && i < column.blockEnd;
            text += csvRecord(
                {QString::number(k + 1), characterName(list, column.characters[size_t(i)]),
                 QString::number(i), present ? QStringLiteral("1") : QStringLiteral("0")});
        }
    }
    return text.toUtf8();
}

QByteArray storylineSvg(const StorylineLayout &layout, const CharacterList &list,
                        const QStringList &headings)
{
    const double width = chartWidth + 2 * margin;
    const double height = topMargin + unitHeight * std::max(layout.height - 1, 0) + margin;
    const auto x = [](float position) { return number(margin + chartWidth * double(position)); };
    const auto y = [](double h) { return number(topMargin + unitHeight * h); };

    QString svg = QStringLiteral("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"%1\" "
                                 "height=\"%2\" viewBox=\"0 0 %1 %2\">\n")
                      .arg(number(width), number(height));
    svg += QStringLiteral("<rect width=\"%1\" height=\"%2\" fill=\"#ffffff\"/>\n")
               .arg(number(width), number(height));

    // Scene bands, titled with their headings, and the shading of each block.
    for (int k = 0; k < int(layout.columns.size()); ++k) {
        const StorylineLayout::Column &column = layout.columns[size_t(k)];
        const QString heading = k < headings.size() && !headings.at(k).trimmed().isEmpty()
                                    ? headings.at(k).trimmed()
                                    : QStringLiteral("Scene %1").arg(k + 1);
        svg += QStringLiteral("<rect data-scene=\"%1\" x=\"%2\" y=\"0\" width=\"%3\" "
                              "height=\"%4\" fill=\"%5\"><title>%6</title></rect>\n")
                   .arg(k + 1)
                   .arg(x(column.start))
                   .arg(number(chartWidth * double(column.stop - column.start)))
                   .arg(number(height))
                   .arg(k % 2 == 0 ? QStringLiteral("#ffffff") : QStringLiteral("#f0f0f0"))
                   .arg(xmlText(heading));
        if (column.blockEnd > column.blockBegin) {
            const double top = column.heights[size_t(column.blockBegin)] - blockPadding;
            const double bottom = column.heights[size_t(column.blockEnd - 1)] + blockPadding;
            const float begin = layout.straightBegin(k);
            svg += QStringLiteral("<rect x=\"%1\" y=\"%2\" width=\"%3\" height=\"%4\" rx=\"3\" "
                                  "fill=\"#000000\" fill-opacity=\"0.08\"/>\n")
                       .arg(x(begin), y(top))
                       .arg(number(chartWidth * double(layout.straightEnd(k) - begin)))
                       .arg(number(unitHeight * (bottom - top)));
        }
    }

    // One path per line: straight through each scene, easing between scenes.
    const int count = std::min(int(layout.firstScene.size()), int(list.characters.size()));
    const std::vector<StorylineLayout::Line> lines = layout.lines();
    QString names;
    for (int j = 0; j < count; ++j) {
        const int first = layout.firstScene[size_t(j)];
        const int last = layout.lastScene[size_t(j)];
        if (first < 0)
            continue;
        const QColor color = list.characters.at(j)->color;
        QString path;
        double previous = 0.0;
        for (int k = first; k <= last; ++k) {
            const double h = lines[size_t(j)].heights[size_t(k - first)];
            const StorylineLayout::Column &column = layout.columns[size_t(k)];
            if (k == first) {
                path = QStringLiteral("M %1 %2").arg(x(column.start), y(h));
            } else {
                const double from = double(layout.straightEnd(k - 1));
                const double to = double(layout.straightBegin(k));
                const double third = (to - from) / 3.0;
                path += QStringLiteral(" C %1 %2 %3 %4 %5 %4")
                            .arg(x(float(from + third)), y(previous), x(float(to - third)), y(h),
                                 x(float(to)));
            }
            path += QStringLiteral(" H %1").arg(x(k == last ? column.stop : layout.straightEnd(k)));
            previous = h;
        }
        const QString name = xmlText(characterName(list, j));
        svg += QStringLiteral("<path data-character=\"%1\" d=\"%2\" fill=\"none\" stroke=\"%3\" "
                              "stroke-width=\"%4\" stroke-linecap=\"round\"/>\n")
                   .arg(name, path, color.name(), number(lineWidth));
        const double h = lines[size_t(j)].heights.front();
        names += QStringLiteral("<text x=\"%1\" y=\"%2\" font-family=\"sans-serif\" "
                                "font-size=\"%3\" fill=\"%4\">%5</text>\n")
                     .arg(x(layout.columns[size_t(first)].start))
                     .arg(number(topMargin + unitHeight * h - nameRaise))
                     .arg(number(nameSize))
                     .arg(color.darker(nameDarkening).name(), name);
    }
    // Names go over every line, so none is hidden.
    svg += names;
    svg += QLatin1String("</svg>\n");
    return svg.toUtf8();
}
