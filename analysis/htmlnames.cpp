// SPDX-License-Identifier: MIT
#include "htmlnames.h"

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
    for (int i = 0; i < name.size(); ++i) {
        const QChar c = name.at(i);
        const ushort u = c.unicode();
        const bool letter = (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z');
        const bool digit = u >= '0' && u <= '9';
        // A digit may not start an identifier, nor follow a leading hyphen.
        const bool leadingDigit = digit && (i == 0 || (i == 1 && name.at(0) == QLatin1Char('-')));
        if (u == 0)
            result += hexEscape(0xfffd);
        else if (u < 0x20 || u == 0x7f || leadingDigit)
            result += hexEscape(u);
        else if (letter || digit || u == '_' || u >= 0x80 || (u == '-' && name.size() > 1))
            result += c;
        else
            result += QLatin1Char('\\') + c;
    }
    return result;
}

QString classSelector(const QString &element, const QString &className)
{
    return element + QLatin1Char('.') + cssIdentifier(className);
}
