// SPDX-License-Identifier: MIT
#pragma once

#include "character.h"

#include <QHash>
#include <QVector>

#include <bitset>

// Markup tests every word of the text against every character. Only characters whose first name
// word equals the text word, or that have aliases, can match there, so in strict mode a hash of
// first name words narrows the candidates; loose mode matches by containment and tests them all.
class MentionIndex {
public:
    // Indices into characters, ascending, of the characters that can match at word; the list
    // stays valid until the next call.
    const QVector<int> &candidates(const QVector<Character *> &characters, Qt::CaseSensitivity cs,
                                   bool loose, QStringView word);

private:
    // A hash of the word as the comparison sees it: exact, or case-folded code unit by code unit
    // without building the folded string (words holding surrogates are folded whole). Different
    // words may share a key; the candidates are then tested by match, which compares exactly.
    uint key(QStringView word) const;
    // A word can equal a first name word only if it has its length and, as the comparison sees
    // it, its first letter; a bit per length and ASCII first letter tells most words apart
    // before their key is computed. Words of 63 or more letters share a bit, and so do first
    // letters beyond ASCII, which are always looked up.
    static int filterBit(QStringView word, Qt::CaseSensitivity cs);
    void rebuild(const QVector<Character *> &characters, Qt::CaseSensitivity cs, bool loose);

    QVector<Character *> m_indexed;
    Qt::CaseSensitivity m_cs = Qt::CaseInsensitive;
    bool m_loose = false;
    bool m_built = false;
    // Whether a name starts with an empty word, as one added from a selection may.
    bool m_emptyFirstWord = false;
    QHash<uint, QVector<int>> m_byFirstWord;
    std::bitset<64 * 64> m_firstWordFilter;
    QVector<int> m_withAliases;
    QVector<int> m_all;
    QVector<int> m_candidates;
};
