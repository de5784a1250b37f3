// SPDX-License-Identifier: MIT
#include "htmlnames.h"

#include <algorithm>

namespace {

constexpr uint replacementCharacter = 0xFFFD;

// The code point at i and the number of UTF-16 units it takes; a lone surrogate, which stands for
// no character, reads as U+FFFD.
uint codePointAt(const QString &text, int i, int *units)
{
    const QChar c = text.at(i);
    *units = 1;
    if (!c.isSurrogate())
        return c.unicode();
    if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
        *units = 2;
        return QChar::surrogateToUcs4(c, text.at(i + 1));
    }
    return replacementCharacter;
}

} // namespace

void appendHtmlEscaped(QString &out, QStringView text)
{
    const auto special = [](QChar c) {
        return c == QLatin1Char('&') || c == QLatin1Char('<') || c == QLatin1Char('>');
    };
    const QChar *p = text.data();
    const QChar *const end = p + text.size();
    for (const QChar *run = p;; run = ++p) {
        p = std::find_if(p, end, special);
        out.append(run, int(p - run));
        if (p == end)
            return;
        out += *p == QLatin1Char('&')   ? QLatin1String("&amp;")
               : *p == QLatin1Char('<') ? QLatin1String("&lt;")
                                        : QLatin1String("&gt;");
    }
}

QByteArray latin1WithReferences(const QString &html)
{
    QByteArray bytes;
    bytes.reserve(html.size());
    for (int i = 0; i < html.size();) {
        int units = 1;
        const uint code = codePointAt(html, i, &units);
        if (code <= 0xFF)
            bytes += char(code);
        else
            bytes += "&#" + QByteArray::number(code) + ';';
        i += units;
    }
    return bytes;
}

QString htmlAttributeEscaped(const QString &value)
{
    QString result;
    result.reserve(value.size());
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '&':
            result += QLatin1String("&amp;");
            break;
        case '<':
            result += QLatin1String("&lt;");
            break;
        case '>':
            result += QLatin1String("&gt;");
            break;
        case '"':
            result += QLatin1String("&quot;");
            break;
        case '\'':
            result += QLatin1String("&#39;");
            break;
        default:
            result += c;
        }
    }
    return result;
}

namespace {

QString hexEscape(uint code)
{
    return QLatin1Char('\\') + QString::number(code, 16) + QLatin1Char(' ');
}

} // namespace

QString cssIdentifier(const QString &name)
{
    QString result;
    result.reserve(name.size() + 8);
    for (int i = 0; i < name.size();) {
        int units = 1;
        const uint u = codePointAt(name, i, &units);
        const bool letter = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
        const bool digit = u >= '0' && u <= '9';
        // A digit may not start an identifier, nor follow a leading hyphen.
        const bool leadingDigit = digit && (i == 0 || (i == 1 && name.at(0) == QLatin1Char('-')));
        if (u == 0)
            result += hexEscape(replacementCharacter);
        else if (u < 0x20 || u == 0x7f || u > 0xFF || leadingDigit)
            result += hexEscape(u);
        else if (letter || digit || u == '_' || u >= 0x80 || (u == '-' && name.size() > 1))
            result += QChar(u);
        else
            result += QLatin1Char('\\') + QChar(u);
        i += units;
    }
    return result;
}

QString classSelector(const QString &element, const QString &className)
{
    return element + QLatin1Char('.') + cssIdentifier(className);
}
