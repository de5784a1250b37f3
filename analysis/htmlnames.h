// SPDX-License-Identifier: MIT
#pragma once

#include <QString>

// Escapes text for an HTML attribute value in single or double quotes.
QString htmlAttributeEscaped(const QString &value);

// Escapes a class name so that it reads as one CSS identifier whatever it holds
// (DR. GRANT gives DR\.GRANT, O'BRIEN gives O\'BRIEN).
QString cssIdentifier(const QString &name);

// The selector of every `element` of the given class, e.g. span.MRSSMITH.
QString classSelector(const QString &element, const QString &className);
