// SPDX-License-Identifier: MIT
#include "fileio.h"
#include "screenplayanalysis.h"

#include <QRegularExpression>

#include <algorithm>

namespace {

// Colour components from the settings files are brought into range rather than rejected; a
// number too long for an integer still counts by its sign, and anything else counts as 0.
int component(const QString &text)
{
    const QString number = text.trimmed();
    bool ok = false;
    const int value = number.toInt(&ok, 10);
    if (ok)
        return std::clamp(value, 0, 255);
    static const QRegularExpression integer(QStringLiteral("^[+-]?[0-9]+$"));
    if (!integer.match(number).hasMatch())
        return 0;
    return number.startsWith(QLatin1Char('-')) ? 0 : 255;
}

QString rgbText(const QColor &c)
{
    return QString::number(c.red()) + QLatin1Char(' ') + QString::number(c.green()) +
           QLatin1Char(' ') + QString::number(c.blue());
}

} // namespace

bool ScreenplayAnalysis::loadCharacters(const QString &fileName)
{
    QStringList lines;
    if (!readSettingsLines(fileName, &lines))
        return false;
    includeCharacters.clear();
    for (const QString &line : qAsConst(lines)) {
        const QStringList parts = line.split(QLatin1Char(':'), Qt::KeepEmptyParts);
        const QStringList groups = parts.at(0).split(QLatin1Char(','), Qt::KeepEmptyParts);
        for (int g = 0; g < groups.size(); ++g) {
            const QStringList words = groups.at(g).split(QLatin1Char(' '), Qt::SkipEmptyParts);
            if (words.isEmpty())
                continue;
            if (g == 0)
                includeCharacters.append(newCharacter(words));
            else if (!includeCharacters.isEmpty())
                includeCharacters.last()->aliases.append(words);
        }
        if (parts.size() < 2 || includeCharacters.isEmpty())
            continue;
        const QStringList rgb = parts.at(1).split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (rgb.size() < 3)
            continue;
        Character *c = includeCharacters.last();
        c->color = QColor(component(rgb.at(0)), component(rgb.at(1)), component(rgb.at(2)));
        c->colorSet = true;
    }
    return true;
}

FileError ScreenplayAnalysis::saveCharacters(const QString &fileName)
{
    QString text;
    for (const Character *c : qAsConst(includeCharacters)) {
        // The aliases go back as read, so that saving loses none: NAME, ALIAS, ALIAS : R G B.
        text += c->names.join(QLatin1Char(' '));
        for (const QStringList &alias : c->aliases)
            text += QLatin1String(", ") + alias.join(QLatin1Char(' '));
        text += QLatin1Char(' ');
        if (c->colorSet)
            text += QLatin1String(" : ") + rgbText(c->color);
        text += QLatin1Char('\n');
    }
    return saveOutput(fileName, text.toUtf8());
}

bool ScreenplayAnalysis::loadColors(const QString &fileName)
{
    QStringList lines;
    if (!readSettingsLines(fileName, &lines))
        return false;
    colors.clear();
    for (const QString &line : qAsConst(lines)) {
        const QStringList parts = line.split(QLatin1Char(' '), Qt::KeepEmptyParts);
        if (parts.size() > 2)
            colors.append(
                QColor(component(parts.at(0)), component(parts.at(1)), component(parts.at(2))));
    }
    return true;
}

FileError ScreenplayAnalysis::saveColors(const QString &fileName)
{
    // With no character in force the file would be emptied, and the colours in it lost.
    if (characters.isEmpty()) {
        const QString reason = QStringLiteral("there are no characters to take colours from");
        printLine(fileName + QStringLiteral(" left as it is: ") + reason);
        return {fileName, QStringLiteral("was left as it is"), reason};
    }
    QString text;
    for (const Character *c : qAsConst(characters))
        text += rgbText(c->color) + QLatin1Char('\n');
    return saveOutput(fileName, text.toUtf8());
}

bool ScreenplayAnalysis::loadBreakStrings(const QString &path)
{
    QStringList lines;
    if (!readSettingsLines(path, &lines))
        return false;
    breakStrings.clear();
    for (const QString &line : qAsConst(lines))
        if (!line.isEmpty())
            breakStrings.append(line);
    return true;
}

FileError ScreenplayAnalysis::saveBreakStrings(const QString &path)
{
    QString text;
    for (const QString &b : qAsConst(breakStrings))
        text += b + QLatin1Char('\n');
    return saveOutput(path, text.toUtf8());
}

QVector<ConfigEntry> ScreenplayAnalysis::configEntries()
{
    const QString shownAsName;
    return {
        {QStringLiteral("Find the Characters in the Text"), nullptr, &findCharactersInText,
         shownAsName},
        {QStringLiteral("looseMatch"), nullptr, &looseMatch, shownAsName},
        {QStringLiteral("CaseSensitivity"), nullptr, &caseSensitivity, shownAsName},
        {QStringLiteral("MinCharacterSpaces"), &minCharacterSpaces, nullptr, shownAsName},
        {QStringLiteral("MinNumberOfCharacterInstances"), &minNumberOfCharacterInstances, nullptr,
         shownAsName},
        {QStringLiteral("NumberSteps"), &numberSteps, nullptr, shownAsName},
        {QStringLiteral("MergeCueExtensions"), nullptr, &mergeCueExtensions,
         QStringLiteral("Merge Cue Extensions")},
    };
}

bool ScreenplayAnalysis::readConfig(const QString &path, const QVector<ConfigEntry *> &entries)
{
    QStringList lines;
    if (!readSettingsLines(path, &lines))
        return false;
    for (const QString &line : qAsConst(lines)) {
        const QStringList tokens = line.split(QLatin1Char(' '), Qt::KeepEmptyParts);
        for (int i = 0; i < tokens.size(); ++i) {
            for (const ConfigEntry *e : entries) {
                // A name of several words spans as many tokens; its value is the next token.
                const int span = e->name.count(QLatin1Char(' ')) + 1;
                if (i + span > tokens.size() || tokens.mid(i, span)
                                                        .join(QLatin1Char(' '))
                                                        .compare(e->name, Qt::CaseInsensitive) != 0)
                    continue;
                i += span;
                if (i >= tokens.size())
                    break;
                const QString &value = tokens.at(i);
                if (e->boolValue) {
                    if (value.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
                        *e->boolValue = true;
                    else if (value.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
                        *e->boolValue = false;
                } else if (e->intValue) {
                    *e->intValue = value.toInt(nullptr, 10);
                }
            }
        }
    }
    return true;
}

FileError ScreenplayAnalysis::writeConfig(const QString &path,
                                          const QVector<ConfigEntry *> &entries)
{
    QString text;
    for (const ConfigEntry *e : entries) {
        text += e->name + QLatin1Char(' ');
        if (e->boolValue)
            text += *e->boolValue ? QLatin1String("True") : QLatin1String("False");
        else if (e->intValue)
            text += QString::number(*e->intValue);
        text += QLatin1Char('\n');
    }
    return saveWholeFile(path, text.toUtf8());
}

bool ScreenplayAnalysis::loadSettings(const QString &path)
{
    QVector<ConfigEntry> entries = configEntries();
    QVector<ConfigEntry *> pointers;
    for (ConfigEntry &e : entries)
        pointers.append(&e);
    return readConfig(path, pointers);
}
