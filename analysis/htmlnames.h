// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

// Appends text to out as HTML element content that shows it as it is: "&", "<" and ">" escaped.
void appendHtmlEscaped(QString &out, QStringView text);

// The bytes of an HTML document: Latin-1, with every character that Latin-1 cannot hold written
// as a numeric character reference, so that no character is lost and every Latin-1 byte stays.
QByteArray latin1WithReferences(const QString &html);

// Escapes text for an HTML attribute value in single or double quotes.
QString htmlAttributeEscaped(const QString &value);

// Escapes a class name so that it reads as one CSS identifier whatever it holds (DR. GRANT gives
// DR\.GRANT, O'BRIEN gives O\'BRIEN). Characters beyond Latin-1 are written as code points
// (ŁUKASZ gives \141 UKASZ), so the identifier is Latin-1 like the rest of a saved document and
// every name keeps an identifier of its own.
QString cssIdentifier(const QString &name);

// The selector of every `element` of the given class, e.g. span.MRSSMITH.
QString classSelector(const QString &element, const QString &className);
