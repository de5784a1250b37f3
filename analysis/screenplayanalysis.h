// SPDX-License-Identifier: MIT
#pragma once

#include "analysisprogress.h"
#include "character.h"
#include "characterlist.h"
#include "characternetwork.h"
#include "fileerror.h"
#include "sceneheading.h"
#include "screenplaylayout.h"

#include <QColor>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>
#include <vector>

class MentionIndex;

// One setting of "config.txt": its name (the file key) and the member that holds its value.
// Exactly one of the two pointers is set. The Options dialog shows the label, or the name when
// there is none.
struct ConfigEntry {
    QString name;
    int *intValue = nullptr;
    bool *boolValue = nullptr;
    QString label;
};

// What the text says of one scene beyond its mention counts.
struct SceneText {
    // The line the scene opens at and the number of its lines.
    int firstLine = 0;
    int lineCount = 0;
    // The heading line of a structured screenplay, or the line holding the break string that
    // opened the scene, without markup tags; empty for the opening scene and user breaks.
    QString heading;
    // The heading taken apart, from its break string on.
    SceneHeading parts;
    // The speaker of each speaker line or cue in the scene, in text order, as an index into the
    // CharacterList's characters.
    QVector<int> speeches;
};

// The analysis state of the main window and every operation on it that needs no widget:
// reading, discovery, markup and scene segmentation, the settings files and the statistics.
// The main window owns one; tests and plotloom-batch use it as it is. Operations on files return
// what failed as a FileError and show nothing; progress goes to the AnalysisProgress set here.
class ScreenplayAnalysis {
public:
    ScreenplayAnalysis();
    ~ScreenplayAnalysis();
    ScreenplayAnalysis(const ScreenplayAnalysis &) = delete;
    ScreenplayAnalysis &operator=(const ScreenplayAnalysis &) = delete;

    // Creates a character that lives as long as this object.
    Character *newCharacter(const QStringList &names);
    // Finds or creates the character with exactly these names and makes sure it is in
    // `characters`.
    Character *addCharacter(const QStringList &names);

    // Appends the rewritten lines of a plain-text, HTML, Fountain, Final Draft or PDF screenplay to
    // `lines`; a Fountain, Final Draft or PDF file (suffix "fountain", "fdx" or "pdf" in any case)
    // is laid out in typewriter columns first. A file that cannot be opened becomes the single
    // line "file not found\n"; a structured file that is not of its format gives no line.
    FileError readFile(const QString &fileName);
    // Why a file cannot be opened as a screenplay at all, told before anything is replaced: it
    // cannot be read, is no regular file or too large, or, outside PDF and Final Draft, it is
    // empty or not text.
    static FileError checkScreenplayFile(const QString &fileName);
    // Appends the lines of a structured screenplay with its cues and headings, and makes the
    // analysis follow them.
    void appendLayout(const ScreenplayLayout &layout);

    // Fills `characters` by the discovery of the file type: "xml", "csv" or anything else for
    // plain text and HTML.
    void findCharacters();
    // Speakers by indentation; in a structured screenplay, by its cues.
    void findCharactersPlainText();
    // CSV timelines: one event per row, its characters in a quoted list.
    void findCharactersCSV();
    // XML files are only inspected: their top-level divisions are reported.
    void findCharactersXML();

    // Builds the markup and the scenes of the current CharacterList by the file type.
    QString createMarkUp();
    QString createMarkUpPlainText();
    // Every row an event ("fight") and the gap after it ("break"), closed by an "end" scene.
    QString createMarkUpCSV();
    QString createMarkUpXML();
    // The markup of one line at a position from 0 up to 1; opens the scenes it meets. A heading
    // line of a structured screenplay opens one scene and is marked up whole as its heading.
    QString makeMarkUP(const QString &line, float position, bool heading = false);

    // Opens a screenplay as the file-open command does once the file is chosen: empties the
    // lists, takes the type from the suffix, loads "characters.txt", reads the file, loads
    // "colors.txt" and, when enabled, runs discovery. Returns why the file could not be read.
    FileError openScreenplay(const QString &name);
    // Replaces the CharacterList by a fresh copy of `characters` and builds markup and scenes.
    void buildModel();

    // The characters file: included characters with aliases and forced colours.
    bool loadCharacters(const QString &fileName);
    FileError saveCharacters(const QString &fileName);
    // The colours file: the colours discovery hands out in order.
    bool loadColors(const QString &fileName);
    // With no characters the file is left as it is, and the error says why.
    FileError saveColors(const QString &fileName);
    // Break-string files, one break string per line.
    bool loadBreakStrings(const QString &path);
    FileError saveBreakStrings(const QString &path);

    // The seven parse settings in file order, pointing at this object's members.
    QVector<ConfigEntry> configEntries();
    // Reads settings by the token rule: names match case-insensitively, values follow them.
    static bool readConfig(const QString &path, const QVector<ConfigEntry *> &entries);
    static FileError writeConfig(const QString &path, const QVector<ConfigEntry *> &entries);
    // The fraction of the text between two samples of the thread view: 1 / "NumberSteps", held
    // to the range that makes a useful, bounded graph.
    float viewStep() const;
    // The "NumberSteps" that viewStep uses: fewer would never reach the end of the text; more adds
    // nothing visible and grows the graph, a node per character per step, without bound.
    static constexpr int minimumNumberSteps = 1;
    static constexpr int maximumNumberSteps = 1000;
    // Reads "config.txt" (or another path) into the seven settings.
    bool loadSettings(const QString &path = QStringLiteral("config.txt"));

    // The statistics exports; with no parsed screenplay they write the header only.
    FileError writeSceneStats(const QString &fname);
    FileError writeCharacterStats(const QString &fname);
    QByteArray sceneStats() const;
    // Computes every character's statistics fields and returns the file's bytes.
    QByteArray characterStats();
    // What "Save Markup" writes: a style block colouring the characters, then the markup.
    QByteArray markupDocument() const;
    FileError writeMarkup(const QString &fname);

    // The lines, heading and speeches of every scene of the current model, in scene order.
    QVector<SceneText> sceneTexts() const;
    // The scene breakdown: one CSV row per scene with its heading taken apart, its speakers and
    // the characters present; with no parsed screenplay, the header only.
    QByteArray sceneBreakdown() const;
    FileError writeSceneBreakdown(const QString &fname);
    // Who shares scenes with whom in the current model.
    CharacterNetwork characterNetwork() const;
    // Writes the network as GraphML to graphmlName and as a CSV edge list beside it, named like
    // it with "-edges.csv" in place of ".graphml".
    FileError writeCharacterNetwork(const QString &graphmlName);
    static QString edgeListName(const QString &graphmlName);

    // The sample break strings offered when "breakStrings.txt" is missing.
    static QStringList sampleBreakStrings();

    QStringList lines;
    // What the reader of a structured screenplay knows of `lines`: the speaker named by each cue
    // line and the scene heading lines (ascending). A structured screenplay takes its cast from
    // the cues and opens its scenes at the headings only; for plain text, HTML, CSV and XML
    // `structured` is false and both are empty.
    bool structured = false;
    QMap<int, QString> cues;
    QVector<int> headingLines;
    // The speaker lines plain-text discovery found: the name words each gave, by line index.
    // (A structured screenplay's speaker lines are its cues.)
    QMap<int, QStringList> speakerLines;
    CharacterList *characterList = nullptr;
    QVector<Character *> characters;
    QVector<Character *> includeCharacters;
    QStringList breakStrings;
    QVector<float> userBreaks;
    int characterSpaces = 0;
    QVector<QColor> colors;
    QString fileName;
    QString fileType;
    // What the reader of the open file wants the user to know of how it read it, in the shape of
    // an error though nothing failed ("play.pdf gives no screenplay structure: ..."); null when
    // there is nothing to say.
    FileError notice;
    QString markup;
    QString sceneClass = QStringLiteral("scene");
    QString breakStringClass = QStringLiteral("breakString");
    int minCharacterSpaces = 15;
    int minNumberOfCharacterInstances = 0;
    bool caseSensitivity = false;
    bool looseMatch = false;
    bool findCharactersInText = true;
    int numberSteps = 100;
    // Plain-text discovery leaves a speaker line's extensions, from its first "(" on, out of the
    // name, so that JOHN (V.O.), JOHN(CONT'D) and JOHN are one character.
    bool mergeCueExtensions = false;
    float lastPosition = 0.0f;

    // Why path must not be written: it is the open screenplay (or reaches it through a link).
    FileError overwriteProblem(const QString &path) const;

    // Receives the progress of discovery and markup and may cancel them; none by default. The
    // owner keeps it alive while it is set.
    void setProgress(AnalysisProgress *progress) { m_progress = progress; }

private:
    Qt::CaseSensitivity matchCase() const;
    // addCharacter for a reader that meets many names: the names are looked up in hashes made
    // once, rather than in the lists at every name.
    std::function<Character *(const QStringList &)> characterAdder();
    // Drops the characters found no more than minNumberOfCharacterInstances times.
    void dropRareCharacters();
    // Keeps the characters at the indentation most speakers share, stored in characterSpaces.
    void keepSpeakerIndentation();
    // The scene type of a heading line: the break string it starts with, or its first word.
    QString headingType(const QString &line) const;
    void colorCharacters();
    // The characters whose name can start at a word, in `characters` order.
    const QVector<int> &mentionCandidates(QStringView word);
    // Appends the markup of one line to out, as makeMarkUP returns it.
    void appendMarkUp(QString &out, const QString &line, float position, bool heading);
    // Whether marking up a line would only copy it: no word of it can start a mention, open a
    // scene or give a page number. Told without splitting the line into words.
    bool markupLeavesAsIs(const QString &line, const QStringList &sceneOpeners);

    // Writes an export or settings file, never over the open screenplay.
    FileError saveOutput(const QString &path, const QByteArray &data,
                         const QString &failureLine = QString()) const;
    // The progress display, when there is one.
    void progressStarted(const QString &label, int maximum);
    bool progressCanceled() const;
    void setProgressValue(int value);
    void setProgressTitle(const QString &title);
    void progressFinished();

    AnalysisProgress *m_progress = nullptr;
    std::vector<std::unique_ptr<Character>> m_ownedCharacters;
    std::unique_ptr<MentionIndex> m_mentionIndex;
    // Set while a whole text is marked up and no name, alias or break string starts with an
    // empty word, so that the empty words between blanks are written out straight away.
    bool m_blankWordsInert = false;
};
