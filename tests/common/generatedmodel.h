// SPDX-License-Identifier: MIT
#pragma once

#include "characterlist.h"

#include <algorithm>
#include <memory>
#include <random>
#include <vector>

// A screenplay of the given size drawn from a seed: every character has a span of scenes and
// belongs to one of a few circles; each scene gathers two to six characters of its span, mostly
// of one circle, and every character is present at both ends of its span.
class GeneratedModel {
public:
    GeneratedModel(int scenes, int characters, unsigned seed)
    {
        constexpr int circles = 6;
        std::mt19937 random(seed);
        const auto size = size_t(characters);
        std::vector<int> first(size), last(size), circle(size);
        for (int j = 0; j < characters; ++j) {
            const int a = int(random() % unsigned(scenes));
            const int b = int(random() % unsigned(scenes));
            first[size_t(j)] = std::min(a, b);
            last[size_t(j)] = std::max(a, b);
            circle[size_t(j)] = int(random() % circles);
            owned.push_back(std::make_unique<Character>(QStringList{QString::number(j)}));
            list.characters.append(owned.back().get());
        }
        for (int k = 0; k < scenes; ++k) {
            auto *scene = new TimeIndex;
            scene->start = float(k) / float(scenes);
            scene->stop = float(k + 1) / float(scenes);
            scene->counts.fill(0, characters);
            std::vector<int> active;
            for (int j = 0; j < characters; ++j)
                if (first[size_t(j)] <= k && k <= last[size_t(j)])
                    active.push_back(j);
            const int wanted = int(random() % circles);
            for (int n = 2 + int(random() % 5); n > 0 && !active.empty(); --n) {
                int pick = active[random() % active.size()];
                for (int tries = 0; tries < 4 && circle[size_t(pick)] != wanted; ++tries)
                    pick = active[random() % active.size()];
                scene->counts[pick] = 1;
            }
            for (int j = 0; j < characters; ++j)
                if (first[size_t(j)] == k || last[size_t(j)] == k)
                    scene->counts[j] = 1;
            list.timeIndices.append(scene);
        }
    }

    std::vector<std::unique_ptr<Character>> owned;
    CharacterList list;
};
