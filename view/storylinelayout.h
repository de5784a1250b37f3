// SPDX-License-Identifier: MIT
#pragma once

#include <vector>

class CharacterList;

// A storyline chart of a screenplay: scenes are columns from left to right, each character's line
// runs from the first scene it occurs in to the last, and in every scene the lines of the
// characters present there run side by side as one block, the others outside it. The order of the
// lines in each column is chosen to cross as few lines as possible; then the heights keep as many
// lines straight as they can, and the whole is pulled together to leave little white space.
// Computed from the model alone, without GL; the same model always gives the same layout.
class StorylineLayout {
public:
    // The lines through one scene, top to bottom. Heights are in half line spacings: the lines of
    // a block are one unit apart, every other pair of neighbours at least two.
    struct Column {
        std::vector<int> characters;
        std::vector<int> heights;
        // The characters present in the scene are characters[blockBegin, blockEnd).
        int blockBegin = 0;
        int blockEnd = 0;
        // The scene's place in the text, from 0 to 1.
        float start = 0.0f;
        float stop = 0.0f;
    };

    StorylineLayout() = default;
    // The optimised layout of list.
    explicit StorylineLayout(const CharacterList &list);

    // A plain layout to measure the optimised one against: each column keeps the order of the one
    // before and pulls the scene's characters together where the median of those already drawn
    // lies; characters new to the chart join the end of their first block.
    static StorylineLayout greedy(const CharacterList &list);

    // Pairs of lines whose order differs between neighbouring scenes, summed over the scenes.
    long long crossings() const;
    // Lines whose height changes from one scene to the next, summed over the scenes.
    long long wiggles() const;
    // The index of character in the column of scene, or -1 when its line does not pass there.
    int lane(int scene, int character) const;

    // One character's line: for every scene from its first to its last, its height there and
    // whether the character is present.
    struct Line {
        std::vector<int> heights;
        std::vector<char> present;
    };
    // The lines of every character, in the model's order (empty for those without a line).
    std::vector<Line> lines() const;

    // Where the lines run straight through a scene, as positions in the text; between one
    // scene's straight part and the next, each line eases from the one height to the other.
    float straightBegin(int scene) const;
    float straightEnd(int scene) const;
    // The scene at position x of the text, the last one holding it; -1 before the first.
    int sceneAt(float x) const;
    // The height of character's line at position x of the text; false where it has no line.
    bool heightAt(int character, float x, float *height) const;
    // How far a line has come, at u from 0 to 1 of its turn, from one height to the next: with no
    // slope at either end, as a cubic Bezier curve with its control points at the thirds draws it.
    static float ease(float u) { return u * u * (3.0f - 2.0f * u); }

    // One per scene of the model, in order.
    std::vector<Column> columns;
    // Per character of the model: the first and last scene it occurs in, -1 when it occurs in none
    // (and has no line).
    std::vector<int> firstScene;
    std::vector<int> lastScene;
    // One more than the largest height of any line; 0 for a chart without lines.
    int height = 0;

private:
    // Orders the columns of an empty layout as greedy() does.
    void orderGreedily(const CharacterList &list);
    // Gives every line its heights once the columns are ordered, keeping as many lines straight
    // from one scene to the next as the order allows.
    void placeHeights();
    // Moves the lines up as far as they go without bending a straight line or parting a block.
    void compact();
};
