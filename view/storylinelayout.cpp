// SPDX-License-Identifier: MIT
#include "storylinelayout.h"

#include "characterlist.h"

#include <algorithm>
#include <climits>
#include <numeric>

namespace {

// Neighbouring lines of one block, and every other pair of neighbours, are this far apart.
constexpr int bundledSpacing = 1;
constexpr int looseSpacing = 2;

// Charts larger than this many scene-character cells keep their greedy order and uncompacted
// heights: the optimisation keeps a table of that size, and both take time in proportion.
constexpr long long largestOptimisedChart = 4'000'000;
// Rounds of rerouting every line; the layout stops improving long before on real screenplays.
constexpr int rerouteRounds = 40;
// A bound on the rerouting work, in line-slot steps, so that no chart takes long to lay out.
constexpr long long rerouteBudget = 400'000'000;
// A line turns from one scene's height to the next over this share of each scene's width, and
// at most over this much of the text.
constexpr float turnShare = 0.25f;
constexpr float longestTurn = 0.01f;
// The compaction gives up (keeping the heights it was given) after this many relaxation rounds.
constexpr int compactionRounds = 50;
// A line that keeps its height is linked to one at most this many lines above it.
constexpr int chainReach = 128;

// Slots a line may not take start at this cost; costs above half of it mean out of reach.
constexpr int unreachable = INT_MAX / 4;

bool reachable(int cost)
{
    return cost < unreachable / 2;
}

using Column = StorylineLayout::Column;

bool isPresent(const TimeIndex *scene, int character)
{
    return character < scene->counts.size() && scene->counts.at(character) != 0;
}

// Inversions of a sequence of distinct values below limit.
long long inversions(const std::vector<int> &values, int limit)
{
    std::vector<int> tree(size_t(limit) + 1, 0);
    long long count = 0;
    for (size_t i = 0; i < values.size(); ++i) {
        int seenBelow = 0;
        for (int v = values[i]; v > 0; v -= v & -v)
            seenBelow += tree[size_t(v)];
        count += (long long)i - seenBelow;
        for (int v = values[i] + 1; v <= limit; v += v & -v)
            ++tree[size_t(v)];
    }
    return count;
}

// Values under additions to every value from some index on, with the smallest value known at
// every moment. Its storage is kept from one use to the next.
class MinTree {
public:
    // Starts over with values; the tree then counts as holding that many.
    void assign(const std::vector<int> &values, int count)
    {
        m_leaves = 1;
        while (m_leaves < count)
            m_leaves *= 2;
        m_min.assign(size_t(2 * m_leaves), unreachable);
        m_add.assign(size_t(2 * m_leaves), 0);
        std::copy(values.begin(), values.begin() + count, m_min.begin() + m_leaves);
        for (int i = m_leaves - 1; i >= 1; --i)
            m_min[size_t(i)] = std::min(m_min[size_t(2 * i)], m_min[size_t(2 * i + 1)]);
    }

    void addFrom(int first, int delta)
    {
        if (first >= m_leaves)
            return;
        int i = first + m_leaves;
        m_min[size_t(i)] += delta;
        while (i > 1) {
            // A left child passes the addition to its whole right sibling.
            if ((i & 1) == 0) {
                m_min[size_t(i + 1)] += delta;
                m_add[size_t(i + 1)] += delta;
            }
            i /= 2;
            m_min[size_t(i)] =
                std::min(m_min[size_t(2 * i)], m_min[size_t(2 * i + 1)]) + m_add[size_t(i)];
        }
    }

    int minimum() const { return m_min[1]; }

private:
    int m_leaves = 1;
    std::vector<int> m_min;
    std::vector<int> m_add;
};

// Improves the order of the columns by rerouting one line at a time: every other line stays
// where it is, and the line takes the path through the columns that crosses the fewest of them,
// found exactly by a shortest path over its possible slots, column by column.
class Router {
public:
    Router(std::vector<Column> &columns, const std::vector<int> &first,
           const std::vector<int> &last, int characterCount)
        : m_columns(columns), m_first(first), m_last(last),
          m_rank(columns.size(), std::vector<int>(size_t(characterCount), -1))
    {
        for (size_t k = 0; k < columns.size(); ++k)
            renumber(int(k));
        m_sequence.resize(first.size());
        std::iota(m_sequence.begin(), m_sequence.end(), 0);
        std::stable_sort(m_sequence.begin(), m_sequence.end(), [&](int a, int b) {
            return last[size_t(a)] - first[size_t(a)] > last[size_t(b)] - first[size_t(b)];
        });
    }

    void run()
    {
        const int count = int(m_first.size());
        // A line is worth rerouting again only once a line it meets has moved.
        std::vector<char> stale(size_t(count), 1);
        for (int round = 0; round < rerouteRounds; ++round) {
            bool improved = false;
            for (int i = 0; i < count && m_work < rerouteBudget; ++i) {
                const int c = m_sequence[size_t(i)];
                if (!stale[size_t(c)])
                    continue;
                stale[size_t(c)] = 0;
                if (!reroute(c))
                    continue;
                improved = true;
                for (int k = m_first[size_t(c)]; k <= m_last[size_t(c)]; ++k)
                    for (const int x : m_columns[size_t(k)].characters)
                        stale[size_t(x)] = 1;
            }
            if (!improved || m_work >= rerouteBudget)
                break;
        }
    }

private:
    void renumber(int k)
    {
        const std::vector<int> &characters = m_columns[size_t(k)].characters;
        for (size_t i = 0; i < characters.size(); ++i)
            m_rank[size_t(k)][size_t(characters[i])] = int(i);
    }

    // The slots of c's line in column k, counted among the other lines: c may go to slots
    // [low, high] when it must join the block there, or anywhere but strictly inside (low, high)
    // when it must stay out of it.
    struct Slots {
        int count = 0;
        int low = 0;
        int high = 0;
        bool inside = false;

        bool allows(int slot) const
        {
            if (low == high && !inside)
                return true;
            return inside ? slot >= low && slot <= high : slot <= low || slot >= high;
        }
    };

    Slots slotsOf(int c, int k) const
    {
        const Column &column = m_columns[size_t(k)];
        const int own = m_rank[size_t(k)][size_t(c)];
        Slots slots;
        slots.count = int(column.characters.size());
        slots.inside = own >= column.blockBegin && own < column.blockEnd;
        if (slots.inside) {
            slots.low = column.blockBegin;
            slots.high = column.blockEnd - 1;
            // Alone in its block, the line may go anywhere.
            if (slots.low == slots.high)
                slots.inside = false;
        } else {
            slots.low = column.blockBegin - (own < column.blockBegin ? 1 : 0);
            slots.high = column.blockEnd - (own < column.blockBegin ? 1 : 0);
        }
        return slots;
    }

    bool reroute(int c)
    {
        const int f = m_first[size_t(c)];
        const int l = m_last[size_t(c)];
        if (f < 0 || f == l)
            return false;

        // Shortest paths over the slots, column by column; the costs of every column are kept to
        // trace the best path back.
        m_costs.resize(size_t(l - f + 1));
        Slots slots = slotsOf(c, f);
        m_costs[0].assign(size_t(slots.count), unreachable);
        for (int p = 0; p < slots.count; ++p)
            if (slots.allows(p))
                m_costs[0][size_t(p)] = 0;
        int current = 0;
        for (int k = f; k < l; ++k) {
            const std::vector<int> &here = m_columns[size_t(k)].characters;
            const std::vector<int> &there = m_columns[size_t(k) + 1].characters;
            const std::vector<int> &rankHere = m_rank[size_t(k)];
            const std::vector<int> &rankThere = m_rank[size_t(k) + 1];
            const int ownHere = rankHere[size_t(c)];
            const int ownThere = rankThere[size_t(c)];
            const Slots next = slotsOf(c, k + 1);

            // The path from slot p here to slot q there crosses the lines of both columns that lie
            // above p here and below q there, or the other way round: with L(p) and R(q) the
            // lines of both above p and above q, and A(p, q) those above both, that is
            // L(p) + R(q) - 2 A(p, q). The tree holds cost + L - 2 A over p as q goes down.
            const std::vector<int> &cost = m_costs[size_t(k - f)];
            m_value.assign(size_t(slots.count), unreachable);
            int above = 0;
            for (int i = 0, p = 0; i <= int(here.size()); ++i) {
                if (i == ownHere)
                    continue;
                if (reachable(cost[size_t(p)]))
                    m_value[size_t(p)] = cost[size_t(p)] + above;
                if (i == int(here.size()))
                    break;
                if (rankThere[size_t(here[size_t(i)])] >= 0)
                    ++above;
                ++p;
            }
            m_tree.assign(m_value, slots.count);

            std::vector<int> &nextCost = m_costs[size_t(k - f + 1)];
            nextCost.assign(size_t(next.count), unreachable);
            int aboveThere = 0;
            for (int i = 0, q = 0; i <= int(there.size()); ++i) {
                if (i == ownThere)
                    continue;
                if (next.allows(q) && reachable(m_tree.minimum()))
                    nextCost[size_t(q)] = m_tree.minimum() + aboveThere;
                if (i == int(there.size()))
                    break;
                const int x = there[size_t(i)];
                const int r = rankHere[size_t(x)];
                if (r >= 0) {
                    ++aboveThere;
                    m_tree.addFrom((r > ownHere ? r - 1 : r) + 1, -2);
                }
                ++q;
            }
            m_work += (long long)(slots.count + next.count) * 8;

            // The crossings of the line as it runs now.
            current += crossingsOf(c, k);
            slots = next;
        }

        const std::vector<int> &last = m_costs.back();
        const int best = int(std::min_element(last.begin(), last.end()) - last.begin());
        if (last[size_t(best)] >= current)
            return false;

        std::vector<int> path(size_t(l - f + 1));
        path.back() = best;
        for (int k = l - 1; k >= f; --k)
            path[size_t(k - f)] = previousSlot(c, k, path[size_t(k - f + 1)]);
        for (int k = f; k <= l; ++k)
            move(c, k, path[size_t(k - f)]);
        return true;
    }

    // The slot of column k that the cheapest path to slot q of column k + 1 comes from.
    int previousSlot(int c, int k, int q) const
    {
        const std::vector<int> &here = m_columns[size_t(k)].characters;
        const std::vector<int> &rankThere = m_rank[size_t(k) + 1];
        const int ownThere = rankThere[size_t(c)];
        const std::vector<int> &cost = m_costs[size_t(k - m_first[size_t(c)])];
        // Lines of both columns on different sides of slot p here and slot q there, as p goes
        // down: at first every line of both that lies above q there.
        int crossed = 0;
        for (const int x : here) {
            const int r = rankThere[size_t(x)];
            if (x != c && r >= 0 && (r > ownThere ? r - 1 : r) < q)
                ++crossed;
        }
        int best = -1;
        int bestCost = unreachable;
        const int ownHere = m_rank[size_t(k)][size_t(c)];
        for (int i = 0, p = 0; i <= int(here.size()); ++i) {
            if (i == ownHere)
                continue;
            if (reachable(cost[size_t(p)]) && cost[size_t(p)] + crossed < bestCost) {
                bestCost = cost[size_t(p)] + crossed;
                best = p;
            }
            if (i == int(here.size()))
                break;
            const int r = rankThere[size_t(here[size_t(i)])];
            if (r >= 0)
                crossed += (r > ownThere ? r - 1 : r) < q ? -1 : 1;
            ++p;
        }
        return best;
    }

    // Crossings of c's line with the others between columns k and k + 1.
    int crossingsOf(int c, int k) const
    {
        const int ownHere = m_rank[size_t(k)][size_t(c)];
        const int ownThere = m_rank[size_t(k) + 1][size_t(c)];
        int count = 0;
        for (const int x : m_columns[size_t(k)].characters) {
            const int there = m_rank[size_t(k) + 1][size_t(x)];
            if (x == c || there < 0)
                continue;
            const bool aboveHere = m_rank[size_t(k)][size_t(x)] < ownHere;
            const bool aboveThere = there < ownThere;
            count += aboveHere != aboveThere ? 1 : 0;
        }
        return count;
    }

    // Moves c's line in column k to the slot among the other lines.
    void move(int c, int k, int slot)
    {
        Column &column = m_columns[size_t(k)];
        const int own = m_rank[size_t(k)][size_t(c)];
        const bool present = own >= column.blockBegin && own < column.blockEnd;
        // The block among the others, as [begin, end).
        int begin = column.blockBegin;
        int end = column.blockEnd;
        if (present) {
            --end;
        } else if (own < begin) {
            --begin;
            --end;
        }
        std::vector<int> &characters = column.characters;
        characters.erase(characters.begin() + own);
        characters.insert(characters.begin() + slot, c);
        if (present) {
            if (begin == end) {
                begin = slot;
                end = slot + 1;
            } else {
                ++end;
            }
        } else if (slot <= begin && begin != end) {
            ++begin;
            ++end;
        }
        column.blockBegin = begin;
        column.blockEnd = end;
        m_rank[size_t(k)][size_t(c)] = -1;
        renumber(k);
    }

    std::vector<Column> &m_columns;
    const std::vector<int> &m_first;
    const std::vector<int> &m_last;
    std::vector<std::vector<int>> m_rank;
    std::vector<int> m_sequence;
    long long m_work = 0;
    // Working storage of reroute, kept between calls.
    std::vector<std::vector<int>> m_costs;
    std::vector<int> m_value;
    MinTree m_tree;
};

} // namespace

StorylineLayout::StorylineLayout(const CharacterList &list)
{
    orderGreedily(list);
    const long long cells = (long long)columns.size() * (long long)firstScene.size();
    if (cells <= largestOptimisedChart) {
        Router router(columns, firstScene, lastScene, int(firstScene.size()));
        router.run();
    }
    placeHeights();
}

StorylineLayout StorylineLayout::greedy(const CharacterList &list)
{
    StorylineLayout layout;
    layout.orderGreedily(list);
    layout.placeHeights();
    return layout;
}

void StorylineLayout::orderGreedily(const CharacterList &list)
{
    const QVector<TimeIndex *> &scenes = list.timeIndices;
    const int n = list.characters.size();
    firstScene.assign(size_t(n), -1);
    lastScene.assign(size_t(n), -1);
    for (int k = 0; k < scenes.size(); ++k) {
        for (int j = 0; j < n; ++j) {
            if (!isPresent(scenes.at(k), j))
                continue;
            if (firstScene[size_t(j)] < 0)
                firstScene[size_t(j)] = k;
            lastScene[size_t(j)] = k;
        }
    }

    columns.assign(size_t(scenes.size()), Column());
    std::vector<int> previous;
    std::vector<int> above;
    std::vector<int> block;
    std::vector<int> below;
    for (int k = 0; k < scenes.size(); ++k) {
        const TimeIndex *scene = scenes.at(k);
        above.clear();
        block.clear();
        below.clear();
        // The median of the present lines already drawn, as an index into previous.
        std::vector<int> continuing;
        for (const int j : previous)
            if (lastScene[size_t(j)] >= k)
                continuing.push_back(j);
        std::vector<int> presentAt;
        for (int i = 0; i < int(continuing.size()); ++i)
            if (isPresent(scene, continuing[size_t(i)]))
                presentAt.push_back(i);
        const int median =
            presentAt.empty() ? int(continuing.size()) : presentAt[(presentAt.size() - 1) / 2];
        for (int i = 0; i < int(continuing.size()); ++i) {
            const int j = continuing[size_t(i)];
            if (isPresent(scene, j))
                block.push_back(j);
            else
                (i < median ? above : below).push_back(j);
        }
        for (int j = 0; j < n; ++j)
            if (firstScene[size_t(j)] == k)
                block.push_back(j);

        Column &column = columns[size_t(k)];
        column.start = scene->start;
        column.stop = std::max(scene->start, scene->stop);
        column.characters = above;
        column.blockBegin = int(above.size());
        column.characters.insert(column.characters.end(), block.begin(), block.end());
        column.blockEnd = int(column.characters.size());
        column.characters.insert(column.characters.end(), below.begin(), below.end());
        previous = column.characters;
    }
}

long long StorylineLayout::crossings() const
{
    long long count = 0;
    std::vector<int> rank(firstScene.size(), -1);
    std::vector<int> sequence;
    for (size_t k = 0; k + 1 < columns.size(); ++k) {
        const std::vector<int> &there = columns[k + 1].characters;
        for (size_t i = 0; i < there.size(); ++i)
            rank[size_t(there[i])] = int(i);
        sequence.clear();
        for (const int j : columns[k].characters)
            if (rank[size_t(j)] >= 0)
                sequence.push_back(rank[size_t(j)]);
        count += inversions(sequence, int(there.size()));
        for (const int j : there)
            rank[size_t(j)] = -1;
    }
    return count;
}

long long StorylineLayout::wiggles() const
{
    long long count = 0;
    std::vector<int> height(firstScene.size(), -1);
    for (size_t k = 0; k < columns.size(); ++k) {
        const Column &column = columns[k];
        for (size_t i = 0; i < column.characters.size(); ++i) {
            const size_t j = size_t(column.characters[i]);
            if (k > 0 && firstScene[j] < int(k) && height[j] != column.heights[i])
                ++count;
            height[j] = column.heights[i];
        }
    }
    return count;
}

int StorylineLayout::lane(int scene, int character) const
{
    if (scene < 0 || scene >= int(columns.size()))
        return -1;
    const std::vector<int> &characters = columns[size_t(scene)].characters;
    const auto found = std::find(characters.begin(), characters.end(), character);
    return found == characters.end() ? -1 : int(found - characters.begin());
}

std::vector<StorylineLayout::Line> StorylineLayout::lines() const
{
    std::vector<Line> result(firstScene.size());
    for (const Column &column : columns) {
        for (size_t i = 0; i < column.characters.size(); ++i) {
            Line &line = result[size_t(column.characters[i])];
            line.heights.push_back(column.heights[i]);
            line.present.push_back(int(i) >= column.blockBegin && int(i) < column.blockEnd);
        }
    }
    return result;
}

float StorylineLayout::straightBegin(int scene) const
{
    const Column &column = columns[size_t(scene)];
    return column.start + std::min(turnShare * (column.stop - column.start), longestTurn);
}

float StorylineLayout::straightEnd(int scene) const
{
    const Column &column = columns[size_t(scene)];
    return column.stop - std::min(turnShare * (column.stop - column.start), longestTurn);
}

int StorylineLayout::sceneAt(float x) const
{
    const auto after = std::upper_bound(columns.begin(), columns.end(), x,
                                        [](float x, const Column &c) { return x < c.start; });
    return int(after - columns.begin()) - 1;
}

bool StorylineLayout::heightAt(int character, float x, float *result) const
{
    int k = sceneAt(x);
    if (k < 0 || character < 0 || character >= int(firstScene.size()) ||
        k < firstScene[size_t(character)] || k > lastScene[size_t(character)] ||
        x > columns[size_t(k)].stop)
        return false;
    // Before a scene's straight part the line is still turning from the scene before.
    if (x < straightBegin(k) && k > firstScene[size_t(character)])
        --k;
    const int here = lane(k, character);
    const float h = float(columns[size_t(k)].heights[size_t(here)]);
    const float end = straightEnd(k);
    if (x <= end || k == lastScene[size_t(character)]) {
        *result = h;
        return true;
    }
    const float next = float(columns[size_t(k) + 1].heights[size_t(lane(k + 1, character))]);
    const float span = straightBegin(k + 1) - end;
    *result = span > 0.0f ? h + (next - h) * ease(std::min(1.0f, (x - end) / span)) : next;
    return true;
}

void StorylineLayout::placeHeights()
{
    const size_t n = firstScene.size();
    // The height of every line in the column before, or none.
    constexpr int none = INT_MIN;
    std::vector<int> before(n, none);
    std::vector<int> offset;
    std::vector<int> target;
    std::vector<int> chain;
    std::vector<int> from;
    for (Column &column : columns) {
        const std::vector<int> &lines = column.characters;
        const int count = int(lines.size());
        const auto bundled = [&column](int i) {
            return i > column.blockBegin && i < column.blockEnd;
        };
        // Where each line would lie with every line as close as it may be to the one above.
        offset.assign(size_t(count), 0);
        target.assign(size_t(count), none);
        for (int i = 0; i < count; ++i) {
            if (i > 0)
                offset[size_t(i)] =
                    offset[size_t(i - 1)] + (bundled(i) ? bundledSpacing : looseSpacing);
            target[size_t(i)] = before[size_t(lines[size_t(i)])];
        }
        // The most lines that can keep their height: a chain of lines, each far enough below the
        // one before, and exactly the packed distance below it within the block. Links reach at
        // most chainReach lines up, which bounds the work in columns of very many lines.
        const auto fits = [&](int i, int j) {
            const int room = target[size_t(j)] - target[size_t(i)];
            const int needed = offset[size_t(j)] - offset[size_t(i)];
            const bool sameBlock = i >= column.blockBegin && j < column.blockEnd;
            return sameBlock ? room == needed : room >= needed;
        };
        chain.assign(size_t(count), 0);
        from.assign(size_t(count), -1);
        int end = -1;
        for (int j = 0; j < count; ++j) {
            if (target[size_t(j)] == none)
                continue;
            chain[size_t(j)] = 1;
            for (int i = std::max(0, j - chainReach); i < j; ++i) {
                if (target[size_t(i)] != none && chain[size_t(i)] + 1 > chain[size_t(j)] &&
                    fits(i, j)) {
                    chain[size_t(j)] = chain[size_t(i)] + 1;
                    from[size_t(j)] = i;
                }
            }
            if (end < 0 || chain[size_t(j)] > chain[size_t(end)])
                end = j;
        }
        std::vector<char> kept(size_t(count), 0);
        for (int i = end; i >= 0; i = from[size_t(i)])
            kept[size_t(i)] = 1;

        // The other lines go as near their old height as the kept ones let them; the lines of
        // the block stay packed together. Below the first kept line, top down:
        std::vector<int> &heights = column.heights;
        heights.assign(size_t(count), 0);
        const int firstKept = int(std::find(kept.begin(), kept.end(), 1) - kept.begin());
        int following = firstKept;
        for (int i = firstKept; i < count; ++i) {
            if (kept[size_t(i)]) {
                heights[size_t(i)] = target[size_t(i)];
                following = int(std::find(kept.begin() + i + 1, kept.end(), 1) - kept.begin());
                continue;
            }
            const int lowest = heights[size_t(i - 1)] + offset[size_t(i)] - offset[size_t(i - 1)];
            const int wanted = target[size_t(i)] == none ? lowest : target[size_t(i)];
            if (bundled(i)) {
                heights[size_t(i)] = lowest;
            } else if (following == count) {
                heights[size_t(i)] = std::max(lowest, wanted);
            } else {
                const int highest =
                    target[size_t(following)] - (offset[size_t(following)] - offset[size_t(i)]);
                // A block held by a kept line further down starts exactly where that puts it.
                const bool held = i == column.blockBegin && following < column.blockEnd;
                heights[size_t(i)] = held ? highest : std::clamp(wanted, lowest, highest);
            }
        }
        // above it, bottom up; a column where no line keeps its height is packed from the top.
        for (int i = std::min(firstKept, count) - 1; i >= 0; --i) {
            if (firstKept == count) {
                heights[size_t(i)] = offset[size_t(i)];
                continue;
            }
            const int highest =
                heights[size_t(i + 1)] - (offset[size_t(i + 1)] - offset[size_t(i)]);
            const bool free = !bundled(i + 1) && target[size_t(i)] != none;
            heights[size_t(i)] = free ? std::min(highest, target[size_t(i)]) : highest;
        }

        std::fill(before.begin(), before.end(), none);
        for (int i = 0; i < count; ++i)
            before[size_t(lines[size_t(i)])] = heights[size_t(i)];
    }
    compact();
}

void StorylineLayout::compact()
{
    // Heights from 0 down.
    int top = INT_MAX;
    for (const Column &column : columns)
        if (!column.heights.empty())
            top = std::min(top, column.heights.front());
    height = 0;
    if (top == INT_MAX)
        return;
    long long cells = 0;
    for (Column &column : columns) {
        for (int &h : column.heights)
            h -= top;
        cells += (long long)column.heights.size();
        height = std::max(height, column.heights.empty() ? 0 : column.heights.back() + 1);
    }
    if (cells > largestOptimisedChart)
        return;

    // A straight stretch of a line is one piece, and the pieces of one block are bound to each
    // other; each group of bound pieces moves up as one, as far as the group above it lets it.
    std::vector<std::vector<int>> piece(columns.size());
    std::vector<int> pieceHeight;
    std::vector<int> last(firstScene.size(), -1);
    std::vector<int> lastHeight(firstScene.size(), 0);
    for (size_t k = 0; k < columns.size(); ++k) {
        const Column &column = columns[k];
        piece[k].resize(column.characters.size());
        for (size_t i = 0; i < column.characters.size(); ++i) {
            const size_t j = size_t(column.characters[i]);
            const int h = column.heights[i];
            if (last[j] < 0 || lastHeight[j] != h || firstScene[j] == int(k)) {
                last[j] = int(pieceHeight.size());
                pieceHeight.push_back(h);
            }
            lastHeight[j] = h;
            piece[k][i] = last[j];
        }
    }
    std::vector<int> group(pieceHeight.size());
    std::iota(group.begin(), group.end(), 0);
    const auto find = [&group](int p) {
        while (group[size_t(p)] != p) {
            group[size_t(p)] = group[size_t(group[size_t(p)])];
            p = group[size_t(p)];
        }
        return p;
    };
    for (size_t k = 0; k < columns.size(); ++k) {
        const Column &column = columns[k];
        for (int i = column.blockBegin + 1; i < column.blockEnd; ++i)
            group[size_t(find(piece[k][size_t(i - 1)]))] = find(piece[k][size_t(i)]);
    }
    // How far each group moves: at first, until its highest piece is at the top.
    std::vector<int> shift(pieceHeight.size(), INT_MAX);
    for (size_t p = 0; p < pieceHeight.size(); ++p) {
        int &s = shift[size_t(find(int(p)))];
        s = std::min(s, pieceHeight[p]);
    }
    for (size_t p = 0; p < pieceHeight.size(); ++p)
        if (group[p] == int(p))
            shift[p] = -shift[p];

    struct Gap {
        int above;
        int below;
        int room;
    };
    std::vector<Gap> gaps;
    for (size_t k = 0; k < columns.size(); ++k) {
        const Column &column = columns[k];
        for (size_t i = 1; i < column.characters.size(); ++i) {
            const int a = find(piece[k][i - 1]);
            const int b = find(piece[k][i]);
            if (a == b)
                continue;
            const bool bundled = int(i) > column.blockBegin && int(i) < column.blockEnd;
            gaps.push_back({piece[k][i - 1], piece[k][i], bundled ? bundledSpacing : looseSpacing});
        }
    }
    std::stable_sort(gaps.begin(), gaps.end(), [&pieceHeight](const Gap &a, const Gap &b) {
        return pieceHeight[size_t(a.above)] < pieceHeight[size_t(b.above)];
    });
    bool settled = false;
    for (int round = 0; round < compactionRounds && !settled; ++round) {
        settled = true;
        for (const Gap &gap : gaps) {
            const int a = find(gap.above);
            const int b = find(gap.below);
            const int wanted = pieceHeight[size_t(gap.above)] + shift[size_t(a)] + gap.room -
                               pieceHeight[size_t(gap.below)];
            if (shift[size_t(b)] < wanted) {
                shift[size_t(b)] = wanted;
                settled = false;
            }
        }
    }

    height = 0;
    for (size_t k = 0; k < columns.size(); ++k) {
        Column &column = columns[k];
        for (size_t i = 0; i < column.characters.size(); ++i) {
            if (settled)
                column.heights[i] =
                    pieceHeight[size_t(piece[k][i])] + shift[size_t(find(piece[k][i]))];
            height = std::max(height, column.heights[i] + 1);
        }
    }
}
