// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QStringList>
#include <QStringView>
#include <QVector>

class QListWidgetItem;

// One speaking character of a screenplay. Characters are shared by pointer among the analysis
// lists, the current CharacterList, the character list rows and the thread view.
class Character {
public:
    explicit Character(const QStringList &names);

    // Returns the words that name this character at words[index], or an empty list. A complete
    // name match returns the text's own words; otherwise the first alias that matches completely
    // is returned as stored; otherwise the leading run of name words that matched from index on,
    // unless that run holds nothing but articles (THE, A, AN).
    QStringList match(const QStringList &words, int index, Qt::CaseSensitivity cs,
                      bool loose) const;
    // The same for the count words from words on, given as views; only the result is copied.
    QStringList match(const QStringView *words, int count, Qt::CaseSensitivity cs,
                      bool loose) const;

    // The class name of the character's mentions in the markup: the name words joined.
    QString className() const { return names.join(QString()); }

    // The colour a new character with these names gets; reseeds the process's rand().
    static QColor defaultColor(const QStringList &names);

    QStringList names;
    QVector<QStringList> aliases;
    QColor color;
    int numInstances = 0;
    int spaces = 0;
    QListWidgetItem *listItem = nullptr;
    int numScenes = 0;
    int numDialogueLines = 0;
    float perInvolved = 0.0f;
    float start = -1.0f;
    float stop = -1.0f;
    bool colorSet = false;
};

// Orders characters by how often discovery met them, most often first.
struct CharacterSort {
    bool operator()(const Character *a, const Character *b) const
    {
        return a->numInstances > b->numInstances;
    }
};

// Orders characters by the indentation of their speaker lines, deepest first.
struct SpacesSort {
    bool operator()(const Character *a, const Character *b) const { return a->spaces > b->spaces; }
};
