// SPDX-License-Identifier: MIT
#pragma once

#include "progressdialogs.h"
#include "screenplayanalysis.h"
#include "ui_includecharacters.h"
#include "ui_plotloom.h"

#include <QColor>
#include <QMainWindow>
#include <QStringList>
#include <QTimer>

#include <deque>
#include <functional>
#include <memory>
#include <vector>

class MessageBar;
class Option;
class QAction;
class QListWidgetItem;
class QMimeData;
class QProgressDialog;
class WebTextView;

// The main window: it owns the screenplay analysis, shows the marked-up text beside the thread
// view, and dispatches the six menus.
class Plotloom : public QMainWindow {
    Q_OBJECT
public:
    explicit Plotloom(QWidget *parent = nullptr);
    ~Plotloom() override;

    static constexpr int majorVersion = 0;
    static constexpr int minorVersion = 1;

    // Asks for a screenplay and runs the whole chain: read, discover, parse, show.
    void OpenFile();
    // Opens a screenplay and parses it, as Open File and each batch step do; a file that cannot
    // be read is named in the message area. False when it could not be read.
    bool openAndParse(const QString &name);
    // Rebuilds the model and both views from the lines and characters in memory.
    void Parse();
    // Shows the markup in the text view and styles characters, scenes and headings.
    void SetText();

    // Rebuilds the option list and reads "config.txt".
    bool loadConfig();
    // Takes the Options dialog's values and writes "config.txt".
    bool saveConfig();

    // Break strings: the list widget mirrors `breakStrings`.
    void resetBreakStringList();
    // The Included Characters dialog's list mirrors `includeCharacters`.
    void resetCharacterUIList();
    // Shows the reparse button over the thread view and stops it drawing until the next parse.
    void setReparseNeeded();

    // Saves the marked-up screenplay with a style block.
    void saveMarkup();
    // Chooses screenplays and batch options and starts a batch run.
    void Automate();
    // Shows the About dialog modally.
    void About();

    // The screenplay model, the settings and every operation on them that needs no widget.
    ScreenplayAnalysis analysis;
    Ui_PlotloomClass ui;
    // The Included Characters form while its dialog is open; all null otherwise.
    Ui_IncludeCharacters includeUi{};
    std::vector<std::unique_ptr<Option>> options;
    QColor sceneColorEven = QColor(255, 255, 255);
    QColor sceneColorOdd = QColor(240, 240, 240);
    QStringList automateFiles;
    int autoDelay = 5000;
    bool autoWriteImages = true;
    bool autoWriteSceneStats = false;
    bool autoWriteCharacterStats = false;
    bool autoStarting = false;
    // The progress dialog of the running parse stage.
    std::unique_ptr<QProgressDialog> progress;
    int contextMenuY = 0;
    WebTextView *textView() const { return m_textView.get(); }

    // Runs op as an operation of the window: at once when none is running, otherwise as soon as
    // the running one has ended. Operations run the event loop inside their progress and modal
    // dialogs, where a timer or a menu could otherwise start another over the same members.
    void whenIdle(std::function<void()> op);
    bool busy() const { return m_operations > 0; }
    // Where the analysis reports its progress: the `progress` dialog.
    AnalysisProgress &progressDisplay() { return m_progressDialogs; }
    // Names a file operation that failed, with its reason, in the message area above the views.
    void showError(const FileError &error);
    // Says in the status bar, for a few seconds, that path was written, with what it holds
    // ("12 scenes"), or shows why it was not.
    void reportSaved(const FileError &error, const QString &path, const QString &detail = {});
    MessageBar *messageBar() const { return m_messageBar; }

public slots:
    void saveImage();
    void writeCharacterStats();
    void writeCharacterStats(const QString &fname);
    void writeSceneStats();
    void writeSceneStats(const QString &fname);
    void writeSceneBreakdown();
    void writeSceneBreakdown(const QString &fname);
    // Asks for the GraphML file; the CSV edge list goes beside it.
    void writeCharacterNetwork();
    void writeCharacterNetwork(const QString &graphmlName);
    void filemenuTrigger(QAction *action);
    void statsmenuTrigger(QAction *action);
    void charactersmenuTrigger(QAction *action);
    void breakstringsmenuTrigger(QAction *action);
    void optionsmenuTrigger(QAction *action);
    void fontsmenuTrigger(QAction *action);
    void textAddCharacterTrigger();
    void textBreakStringTrigger();
    void textBreakHereTrigger();
    void addIncludeCharacter();
    void removeIncludeCharacter();
    void setIncludeCharacterColor();
    void addBreakString();
    void removeBreakString();
    void loadBreakStringList();
    void saveBreakStringList();
    void automateTrigger();
    void currentColorChanged(const QColor &color);
    void customContextMenuTrigger(const QPoint &pos);
    void reparseTrigger();
    // Selects the character's row and scrolls the text to the scene starting at position.
    void showThread(int character, float position);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // A screenplay file dropped anywhere on the window opens it.
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;
    // Ends the process for "Quit"; tests replace it.
    virtual void quit(int status);

private:
    void includeCharactersDialog();
    void loadColorsAndRecolor();
    void scheduleAutomateStep(int delay);
    void forgetListRows(const QVector<Character *> &list);
    // False, with a word to the user, for a selection that holds no text.
    bool selectionUsable(const QString &selected);
    // The slot as a menu, button or text view action runs it: through whenIdle.
    std::function<void()> operation(void (Plotloom::*slot)());
    void runOperation(const std::function<void()> &op);
    void runDeferredOperation();
    // The page shown in place of screenplay text: while none is open, how to open one, what is
    // read and where the example is; for a screenplay that gave no text, a pointer to the reason.
    QString welcomePage() const;
    // The files among dropped data, local files only.
    static QStringList droppedFiles(const QMimeData *data);
    // The window's geometry of the last run, when it fits a screen; the splitters follow it once
    // the window is shown (placeSplitters).
    void restoreLayout();
    void saveLayout() const;
    // The splitters' positions of the last run with its geometry, or else first sizes that give
    // the text view room for a typewriter page.
    void placeSplitters();
    void imageSaved(const QString &name, const QString &failure);
    // The name an image is saved under: a name without a suffix the image writers know gets
    // ".png".
    static QString imageName(const QString &name);
    void saveColors(const QString &path);
    void saveBreakStrings(const QString &path);
    int sceneCount() const;
    int characterCount() const;
    // "1 scene", "12 scenes".
    static QString counted(int n, const QString &one, const QString &many);
    // Ends a batch run with one line: screenplays processed, files written, those not read.
    void batchEnded();

    // How long a status bar message stays, in milliseconds.
    static constexpr int messageTimeout = 10000;
    // How long a status bar line saying what was saved stays.
    static constexpr int doneTimeout = 6000;

    std::unique_ptr<WebTextView> m_textView;
    ProgressDialogs m_progressDialogs{this, progress};
    MessageBar *m_messageBar = nullptr;
    // Why the screenplay last opened gave no text, for the page shown in its place.
    FileError m_openError;
    // Saves the layout a moment after the user last moved a splitter or the window (as well as
    // when the window goes), so that it outlives Quit, which ends the process at once.
    QTimer m_layoutSaver;
    // Whether the remembered geometry was taken, and so the splitters' positions that go with it.
    bool m_restoreSplitters = false;
    // Set at the window's first showing, which lays out the splitters.
    bool m_shown = false;
    // What the running batch run has done so far, for the line that ends it.
    struct BatchTally {
        int processed = 0;
        int written = 0;
        QStringList notRead;
    } m_batch;
    // Images written so far; a batch step counts its own by the difference.
    int m_imagesSaved = 0;
    // Identifies the batch run whose steps are pending; a new run makes older steps stale.
    int m_automateRun = 0;
    // The number of operations running (nested ones count too) and those waiting for their end.
    int m_operations = 0;
    std::deque<std::function<void()>> m_deferredOperations;
};
