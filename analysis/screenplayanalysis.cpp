// SPDX-License-Identifier: MIT
#include "screenplayanalysis.h"
#include "fileio.h"
#include "mentionindex.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>

// The mention index is private to the markup, so the special members live where it is complete.
ScreenplayAnalysis::ScreenplayAnalysis() : m_mentionIndex(std::make_unique<MentionIndex>())
{
}

ScreenplayAnalysis::~ScreenplayAnalysis()
{
    delete characterList;
}

Character *ScreenplayAnalysis::newCharacter(const QStringList &names)
{
    m_ownedCharacters.push_back(std::make_unique<Character>(names));
    return m_ownedCharacters.back().get();
}

Character *ScreenplayAnalysis::addCharacter(const QStringList &names)
{
    for (Character *c : qAsConst(characters))
        if (c->names == names)
            return c;
    for (Character *c : qAsConst(includeCharacters)) {
        if (c->names == names) {
            characters.append(c);
            return c;
        }
    }
    Character *c = newCharacter(names);
    characters.append(c);
    return c;
}

std::function<Character *(const QStringList &)> ScreenplayAnalysis::characterAdder()
{
    // The first character of each name in either list, as addCharacter finds it.
    QHash<QStringList, Character *> listed;
    QHash<QStringList, Character *> included;
    for (Character *c : qAsConst(characters))
        if (!listed.contains(c->names))
            listed.insert(c->names, c);
    for (Character *c : qAsConst(includeCharacters))
        if (!included.contains(c->names))
            included.insert(c->names, c);
    return [this, listed, included](const QStringList &names) mutable {
        Character *&c = listed[names];
        if (!c) {
            c = included.value(names);
            if (!c)
                c = newCharacter(names);
            characters.append(c);
        }
        return c;
    };
}

FileError ScreenplayAnalysis::openScreenplay(const QString &name)
{
    lines.clear();
    structured = false;
    cues.clear();
    headingLines.clear();
    speakerLines.clear();
    characters.clear();
    includeCharacters.clear();
    characterSpaces = 0;
    notice = FileError();
    fileName = name;
    fileType = QFileInfo(name).suffix();
    loadCharacters(QStringLiteral("characters.txt"));
    const FileError error = readFile(fileName);
    loadColors(QStringLiteral("colors.txt"));
    if (findCharactersInText) {
        progressStarted(QStringLiteral("Finding characters:"), lines.size());
        findCharacters();
        setProgressValue(lines.size());
        setProgressTitle(QStringLiteral("Finding characters: ") +
                         QString::number(characters.size()));
        progressFinished();
    }
    return error;
}

void ScreenplayAnalysis::buildModel()
{
    delete characterList;
    characterList = new CharacterList(characters);
    progressStarted(QStringLiteral("Parsing Text"), lines.size());
    setProgressTitle(QStringLiteral("Parsing Text"));
    markup = createMarkUp();
    setProgressValue(lines.size());
    progressFinished();
}

FileError ScreenplayAnalysis::saveOutput(const QString &path, const QByteArray &data,
                                         const QString &failureLine) const
{
    if (FileError error = overwriteProblem(path); !error.isNull()) {
        printLine(failureLine.isEmpty() ? QStringLiteral("could not write ") + path : failureLine);
        return error;
    }
    return saveWholeFile(path, data, failureLine);
}

FileError ScreenplayAnalysis::overwriteProblem(const QString &path) const
{
    if (fileName.isEmpty() || path.isEmpty() || findPathClash({fileName}, {path}).isEmpty())
        return {};
    return FileError::notWritten(path, QStringLiteral("it is the screenplay that is open"));
}

float ScreenplayAnalysis::viewStep() const
{
    return 1.0f /
           static_cast<float>(std::clamp(numberSteps, minimumNumberSteps, maximumNumberSteps));
}

QStringList ScreenplayAnalysis::sampleBreakStrings()
{
    return {QStringLiteral("int."),     QStringLiteral("ext."), QStringLiteral("INTERIOR"),
            QStringLiteral("EXTERIOR"), QStringLiteral("INT"),  QStringLiteral("EXT")};
}

Qt::CaseSensitivity ScreenplayAnalysis::matchCase() const
{
    return caseSensitivity ? Qt::CaseSensitive : Qt::CaseInsensitive;
}

void ScreenplayAnalysis::progressStarted(const QString &label, int maximum)
{
    if (m_progress)
        m_progress->started(label, maximum);
}

bool ScreenplayAnalysis::progressCanceled() const
{
    return m_progress && m_progress->canceled();
}

void ScreenplayAnalysis::setProgressValue(int value)
{
    if (m_progress)
        m_progress->setValue(value);
}

void ScreenplayAnalysis::setProgressTitle(const QString &title)
{
    if (m_progress)
        m_progress->setTitle(title);
}

void ScreenplayAnalysis::progressFinished()
{
    if (m_progress)
        m_progress->finished();
}
