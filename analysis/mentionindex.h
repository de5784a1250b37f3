// SPDX-License-Identifier: MIT
#pragma once

#include "character.h"

#include <QHash>
#include <QVector>

#include <bitset>

// Markup tests every word of the text against every character. Only characters whose first name
// word equals the text word, or that have aliases, can match there, so in strict mode a hash of
// first name words narrows the candidates; loose mode matches by containment and tests them all.
// Many characters may share a first name word (SPEAKER 1, SPEAKER 2, ...); a tree of their name
// words finds the one that matches longest without testing them all.
class MentionIndex {
public:
    // Indices into characters, ascending, of the characters that can match at word; the list
    // stays valid until the next call.
    const QVector<int> &candidates(const QVector<Character *> &characters, Qt::CaseSensitivity cs,
                                   bool loose, QStringView word);
    // Whether some character may match at a text that starts with word; false only when none
    // can.
    bool mayMatch(const QVector<Character *> &characters, Qt::CaseSensitivity cs, bool loose,
                  QStringView word);
    // The index of the character whose match at the count words from words on is longest, the
    // earliest on a tie, as testing every character would find it, with that match in mention;
    // -1 when no one matches.
    int longestMatch(const QVector<Character *> &characters, Qt::CaseSensitivity cs, bool loose,
                     const QStringView *words, int count, QStringList *mention);

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
    void update(const QVector<Character *> &characters, Qt::CaseSensitivity cs, bool loose);
    // The longest match among the candidates of the first word, each tested.
    int testedMatch(const QVector<Character *> &characters, Qt::CaseSensitivity cs, bool loose,
                    const QStringView *words, int count, QStringList *mention);

    // A node of the tree of the name words of the characters without aliases: the path from the
    // root spells a name's first words, each node one word as the comparison sees it. Its
    // children are found by their word's key; it keeps the first character whose name runs
    // through it, and the first whose name ends there.
    struct NameNode {
        QString word;
        QMultiHash<uint, int> children;
        int firstThrough = -1;
        int firstEnding = -1;
    };
    // The child of a node for a word, or -1.
    int child(int node, QStringView word) const;

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
    QVector<NameNode> m_names;
};
