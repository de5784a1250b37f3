// SPDX-License-Identifier: MIT
#include "mentionindex.h"

#include <QHashFunctions>
#include <QVarLengthArray>

#include <algorithm>
#include <iterator>

namespace {

// The articles that a partial match may not consist of alone.
bool isArticle(QStringView word)
{
    return word.compare(QLatin1String("THE"), Qt::CaseInsensitive) == 0 ||
           word.compare(QLatin1String("A"), Qt::CaseInsensitive) == 0 ||
           word.compare(QLatin1String("AN"), Qt::CaseInsensitive) == 0;
}

// The case-insensitive key of a word holding surrogates: each code point folded on its own, as
// the comparison folds it.
uint surrogateKey(QStringView word)
{
    uint h = 0;
    for (qsizetype i = 0; i < word.size(); ++i) {
        uint u = word.at(i).unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < word.size() && word.at(i + 1).isLowSurrogate())
            u = QChar::surrogateToUcs4(ushort(u), word.at(++i).unicode());
        h = 31 * h + QChar::toCaseFolded(u);
    }
    return h;
}

} // namespace

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
            return surrogateKey(word);
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
    m_names.resize(1);
    m_names[0] = NameNode();
    for (int i = 0; i < characters.size(); ++i) {
        const Character *c = characters.at(i);
        m_all.append(i);
        if (!loose && c->aliases.isEmpty() && !c->names.isEmpty()) {
            int node = 0;
            for (const QString &word : c->names) {
                int next = child(node, word);
                if (next < 0) {
                    next = m_names.size();
                    m_names[node].children.insert(key(word), next);
                    m_names.append(NameNode());
                    m_names.last().word = word;
                }
                node = next;
                if (m_names.at(node).firstThrough < 0)
                    m_names[node].firstThrough = i;
            }
            if (m_names.at(node).firstEnding < 0)
                m_names[node].firstEnding = i;
        }
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

int MentionIndex::child(int node, QStringView word) const
{
    const QMultiHash<uint, int> &children = m_names.at(node).children;
    const uint k = key(word);
    for (auto it = children.constFind(k); it != children.cend() && it.key() == k; ++it)
        if (word.compare(m_names.at(it.value()).word, m_cs) == 0)
            return it.value();
    return -1;
}

void MentionIndex::update(const QVector<Character *> &characters, Qt::CaseSensitivity cs,
                          bool loose)
{
    // Markup appends included characters as it meets them, so the index follows the list.
    if (!m_built || m_cs != cs || m_loose != loose || m_indexed != characters)
        rebuild(characters, cs, loose);
}

const QVector<int> &MentionIndex::candidates(const QVector<Character *> &characters,
                                             Qt::CaseSensitivity cs, bool loose, QStringView word)
{
    update(characters, cs, loose);
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

bool MentionIndex::mayMatch(const QVector<Character *> &characters, Qt::CaseSensitivity cs,
                            bool loose, QStringView word)
{
    update(characters, cs, loose);
    if (m_loose || !m_withAliases.isEmpty())
        return !m_all.isEmpty();
    if (!word.isEmpty() && word.front().unicode() < 0x80 &&
        !m_firstWordFilter.test(size_t(filterBit(word, m_cs))))
        return false;
    return child(0, word) >= 0;
}

int MentionIndex::testedMatch(const QVector<Character *> &characters, Qt::CaseSensitivity cs,
                              bool loose, const QStringView *words, int count, QStringList *mention)
{
    int winner = -1;
    mention->clear();
    for (const int i : candidates(characters, cs, loose, words[0])) {
        const QStringList r = characters.at(i)->match(words, count, cs, loose);
        if (r.size() > mention->size()) {
            winner = i;
            *mention = r;
        }
    }
    return winner;
}

int MentionIndex::longestMatch(const QVector<Character *> &characters, Qt::CaseSensitivity cs,
                               bool loose, const QStringView *words, int count,
                               QStringList *mention)
{
    update(characters, cs, loose);
    if (m_loose)
        return testedMatch(characters, cs, loose, words, count, mention);
    // Without aliases, a character's match is its name words that equal the text's from the
    // first on: all of them, or a leading run that is more than articles. The deepest node the
    // text reaches holds the longest; the first character through it wins, unless its words are
    // all articles, when only a whole name of them matches.
    QVarLengthArray<int, 8> path;
    for (int node = 0; path.size() < count && (node = child(node, words[path.size()])) >= 0;)
        path.append(node);
    const bool articles = std::all_of(words, words + path.size(), isArticle);
    int winner = -1;
    for (int depth = path.size(); depth > 0 && winner < 0; --depth) {
        const NameNode &node = m_names.at(path.at(depth - 1));
        winner = articles ? node.firstEnding : node.firstThrough;
    }
    mention->clear();
    if (winner >= 0)
        *mention = characters.at(winner)->match(words, count, cs, loose);
    // A winner always names words; the markup moves on by their number.
    if (mention->isEmpty())
        winner = -1;
    // Characters with aliases are tested one by one.
    for (const int i : qAsConst(m_withAliases)) {
        const QStringList r = characters.at(i)->match(words, count, cs, loose);
        if (r.size() > mention->size() ||
            (!r.isEmpty() && r.size() == mention->size() && i < winner)) {
            winner = i;
            *mention = r;
        }
    }
    return winner;
}
