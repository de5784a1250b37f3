// SPDX-License-Identifier: MIT
#include "mentionindex.h"

#include <QHashFunctions>

#include <algorithm>
#include <iterator>

uint MentionIndex::key(QStringView word) const
{
    if (m_cs == Qt::CaseSensitive)
        return qHash(word);
    // Case-insensitive comparison equals comparison of the case-folded words; ASCII folds to
    // lower case without a table lookup.
    uint h = 0;
    for (const QChar c : word) {
        const ushort u = c.unicode();
        if (u < 0x80) {
            h = 31 * h + (u >= 'A' && u <= 'Z' ? u + ('a' - 'A') : u);
            continue;
        }
        if (c.isSurrogate())
            return qHash(word.toString().toCaseFolded());
        h = 31 * h + c.toCaseFolded().unicode();
    }
    return h;
}

int MentionIndex::filterBit(QStringView word, Qt::CaseSensitivity cs)
{
    constexpr int lengths = 64;
    ushort first = word.front().unicode();
    if (first >= 0x80 && cs == Qt::CaseInsensitive)
        first = word.front().toCaseFolded().unicode();
    if (first >= 0x80)
        first = 0;
    else if (cs == Qt::CaseInsensitive && first >= 'A' && first <= 'Z')
        first += 'a' - 'A';
    return int(std::min<qsizetype>(word.size(), lengths - 1)) * lengths + (first & (lengths - 1));
}

void MentionIndex::rebuild(const QVector<Character *> &characters, Qt::CaseSensitivity cs,
                           bool loose)
{
    m_indexed = characters;
    m_cs = cs;
    m_loose = loose;
    m_built = true;
    m_byFirstWord.clear();
    m_firstWordFilter.reset();
    m_emptyFirstWord = false;
    m_withAliases.clear();
    m_all.clear();
    for (int i = 0; i < characters.size(); ++i) {
        const Character *c = characters.at(i);
        m_all.append(i);
        if (!c->aliases.isEmpty())
            m_withAliases.append(i);
        else if (!c->names.isEmpty()) {
            m_byFirstWord[key(c->names.first())].append(i);
            if (!c->names.first().isEmpty())
                m_firstWordFilter.set(size_t(filterBit(c->names.first(), cs)));
        }
        if (!c->names.isEmpty() && c->names.first().isEmpty())
            m_emptyFirstWord = true;
    }
}

const QVector<int> &MentionIndex::candidates(const QVector<Character *> &characters,
                                             Qt::CaseSensitivity cs, bool loose, QStringView word)
{
    // Markup appends included characters as it meets them, so the index follows the list.
    if (!m_built || m_cs != cs || m_loose != loose || m_indexed != characters)
        rebuild(characters, cs, loose);
    if (m_loose)
        return m_all;
    // Most words of a typewritten page are the empty ones between blanks; no name starts there.
    if (word.isEmpty() && !m_emptyFirstWord)
        return m_withAliases;
    if (!word.isEmpty() && word.front().unicode() < 0x80 &&
        !m_firstWordFilter.test(size_t(filterBit(word, m_cs))))
        return m_withAliases;
    const auto hit = m_byFirstWord.constFind(key(word));
    if (hit == m_byFirstWord.constEnd())
        return m_withAliases;
    m_candidates.clear();
    std::merge(hit->cbegin(), hit->cend(), m_withAliases.cbegin(), m_withAliases.cend(),
               std::back_inserter(m_candidates));
    return m_candidates;
}
