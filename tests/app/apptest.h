// SPDX-License-Identifier: MIT
#pragma once

#include "plotloom.h"
#include "testfiles.h"

#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QWebElement>
#include <QWebFrame>
#include <QtTest>

#include <functional>

// Answers the modal dialogs the window opens, in order, each once it is the active modal widget;
// a dialog nobody expects is rejected, so that no test hangs on one. The titles are recorded.
class ModalAnswers : public QObject {
public:
    using Answer = std::function<void(QWidget *)>;

    ModalAnswers()
    {
        QCoreApplication::setAttribute(
            Qt::AA_DontUseNativeDialogs); // Qt's own, which tests fill in
        startTimer(10);
    }
    ModalAnswers &then(const Answer &answer)
    {
        m_answers.append(answer);
        return *this;
    }
    static void closeDialog(QWidget *w, bool accept)
    {
        auto *dialog = static_cast<QDialog *>(w); // every modal widget of the window is one
        accept ? dialog->accept() : dialog->reject();
    }
    static void accept(QWidget *w) { closeDialog(w, true); }

    QStringList titles;

protected:
    void timerEvent(QTimerEvent *) override
    {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || w == m_last || !w->isVisible())
            return;
        m_last = w;
        titles.append(w->windowTitle());
        const Answer answer =
            m_answers.isEmpty() ? [](QWidget *d) { closeDialog(d, false); } : m_answers.takeFirst();
        // Answered from the event loop, so that a dialog can open another.
        QTimer::singleShot(0, w, [answer, w] { answer(w); });
    }

private:
    QList<Answer> m_answers;
    QPointer<QWidget> m_last;
};

// Answers a file dialog with the given files, as if typed into its name field.
inline void chooseFiles(QWidget *w, const QStringList &paths)
{
    auto *dialog = qobject_cast<QFileDialog *>(w);
    dialog->setDirectory(QFileInfo(paths.first()).absolutePath());
    QString names;
    for (const QString &path : paths)
        names += '"' + QFileInfo(path).fileName() + "\" ";
    dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(names);
    static_cast<QDialog *>(dialog)->accept();
}

// The main window with "Quit" recorded instead of ending the test.
class TestWindow : public Plotloom {
public:
    int quitStatus = -1;

protected:
    void quit(int status) override { quitStatus = status; }
};

// The sample break strings as "breakStrings.txt" holds them.
inline QByteArray sampleFile()
{
    return (ScreenplayAnalysis::sampleBreakStrings().join('\n') + '\n').toUtf8();
}

// The window remembers its layout; tests keep it apart from the user's, one file per test program.
inline const bool layoutInTestMode = [] {
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setOrganizationName(QStringLiteral("Plotloom"));
    return true;
}();

// A temporary working folder, made current, holding the sample break strings. Windows start with
// no remembered layout.
class WorkingFolder : public QTemporaryDir {
public:
    WorkingFolder()
    {
        QSettings().clear();
        QDir::setCurrent(path());
        write("breakStrings.txt", sampleFile());
    }
    ~WorkingFolder() { QDir::setCurrent(QDir::tempPath()); }

    QByteArray read(const QString &name) const { return readFile(filePath(name)); }
    // Writes a file and returns its path.
    QString write(const QString &name, const QByteArray &bytes) const
    {
        return writeFile(filePath(name), bytes);
    }
};

// A screenplay from '|'-separated lines, each a column and the text there: "37 ANN|25 Hello.".
inline QByteArray screenplay(const QByteArray &lines)
{
    QByteArray text;
    for (const QByteArray &line : lines.split('|'))
        text += QByteArray(line.left(line.indexOf(' ')).toInt(), ' ') +
                line.mid(line.indexOf(' ') + 1) + '\n';
    return text;
}

// Builds and shows the window at the given size (none: the size it takes itself), closing the
// About dialog that start-up shows.
template <class Window = TestWindow>
std::unique_ptr<Window> makeWindow(const QSize &size = QSize(1400, 900))
{
    ModalAnswers answers;
    answers.then(ModalAnswers::accept);
    auto window = std::make_unique<Window>();
    if (size.isValid())
        window->resize(size);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get(), 30000))
        qWarning("the main window was not exposed");
    return window;
}

// Opens a screenplay as "Open File" does once the file is chosen.
inline void openInWindow(Plotloom &window, const QString &path)
{
    window.openAndParse(path);
}

// Passes the analysis' progress on to the window's dialog, calling onValue after each value.
class ProgressTap : public AnalysisProgress {
public:
    ProgressTap(Plotloom &window, std::function<void(int)> onValue)
        : m_window(window), m_shown(window.progressDisplay()), m_onValue(std::move(onValue))
    {
        window.analysis.setProgress(this);
    }
    ~ProgressTap() override { m_window.analysis.setProgress(&m_shown); }
    void started(const QString &label, int maximum) override { m_shown.started(label, maximum); }
    void setValue(int value) override
    {
        m_shown.setValue(value);
        m_onValue(value);
    }
    void setTitle(const QString &title) override { m_shown.setTitle(title); }
    bool canceled() const override { return m_shown.canceled(); }
    void finished() override { m_shown.finished(); }

private:
    Plotloom &m_window;
    AnalysisProgress &m_shown;
    std::function<void(int)> m_onValue;
};

// The inline style of every element the selector finds in the text view: the values of the
// properties, space-separated ("rgb(255, 0, 0) bold" for a character's span).
inline QStringList styles(Plotloom &w, const QString &selector,
                          const QStringList &properties = {"color", "font-weight"})
{
    QStringList result;
    for (const QWebElement &e : w.ui.webView->page()->mainFrame()->findAllElements(selector)) {
        QStringList values;
        for (const QString &property : properties)
            values.append(e.styleProperty(property, QWebElement::InlineStyle));
        result.append(values.join(' '));
    }
    return result;
}

// The styles of n spans of a character of the given colour.
inline QStringList styled(const QColor &c, int n)
{
    const QString style = QStringLiteral("rgb(%1, %2, %3) bold");
    return QVector<QString>(n, style.arg(c.red()).arg(c.green()).arg(c.blue())).toList();
}
