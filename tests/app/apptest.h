// SPDX-License-Identifier: MIT
#pragma once

#include "plotloom.h"

#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLineEdit>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <functional>

// Answers the modal dialogs the window opens, one answer per dialog in order: each answer gets
// the dialog once it is the active modal widget. Dialogs that nobody expects are rejected, so a
// test never hangs on one; their titles are recorded.
class ModalAnswers : public QObject {
public:
    using Answer = std::function<void(QWidget *)>;

    ModalAnswers()
    {
        connect(&m_timer, &QTimer::timeout, this, &ModalAnswers::poll);
        m_timer.start(10);
    }

    // Queues an answer for the next dialog.
    ModalAnswers &then(const Answer &answer)
    {
        m_answers.append(answer);
        return *this;
    }

    // Queues a rejection of the next dialog.
    ModalAnswers &reject() { return then([](QWidget *w) { closeDialog(w, false); }); }
    ModalAnswers &accept() { return then([](QWidget *w) { closeDialog(w, true); }); }

    QStringList titles;
    int pending() const { return m_answers.size(); }

    static void closeDialog(QWidget *w, bool accept)
    {
        if (auto *dialog = qobject_cast<QDialog *>(w))
            accept ? dialog->accept() : dialog->reject();
        else
            w->close();
    }

private:
    void poll()
    {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || w == m_last || !w->isVisible())
            return;
        m_last = w;
        titles.append(w->windowTitle());
        const Answer answer = m_answers.isEmpty() ? Answer([](QWidget *d) { closeDialog(d, false); })
                                                  : m_answers.takeFirst();
        // Answer from the event loop, not from inside the poll, so dialogs can open dialogs.
        QTimer::singleShot(0, w, [answer, w] { answer(w); });
    }

    QList<Answer> m_answers;
    QPointer<QWidget> m_last;
    QTimer m_timer;
};

// Answers a file dialog with the given files, as if typed into its name field.
inline void chooseFiles(QWidget *w, const QStringList &paths)
{
    auto *dialog = qobject_cast<QFileDialog *>(w);
    QStringList names;
    for (const QString &path : paths)
        names.append(paths.size() > 1 ? '"' + QFileInfo(path).fileName() + '"'
                                       : QFileInfo(path).fileName());
    dialog->setDirectory(QFileInfo(paths.first()).absolutePath());
    dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(names.join(' '));
    static_cast<QDialog *>(dialog)->accept();
}

// The main window with "Quit" recorded instead of ending the test.
class TestWindow : public Plotloom {
public:
    int quitStatus = -1;

protected:
    void quit(int status) override { quitStatus = status; }
};

// A temporary working folder made current, with the sample break strings unless told otherwise.
class WorkingFolder {
public:
    explicit WorkingFolder(bool withBreakStrings = true)
    {
        QDir::setCurrent(m_dir.path());
        if (withBreakStrings)
            write(QStringLiteral("breakStrings.txt"), "int.\next.\nINTERIOR\nEXTERIOR\nINT\nEXT\n");
    }
    ~WorkingFolder() { QDir::setCurrent(QDir::tempPath()); }

    QString path(const QString &name) const { return m_dir.filePath(name); }

    void write(const QString &name, const QByteArray &bytes) const
    {
        QFile file(path(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(bytes);
    }

    QByteArray read(const QString &name) const
    {
        QFile file(path(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }

private:
    QTemporaryDir m_dir;
};

// Builds the window, closing the About dialog that start-up shows.
inline std::unique_ptr<TestWindow> makeWindow()
{
    ModalAnswers answers;
    answers.accept();
    auto window = std::make_unique<TestWindow>();
    window->resize(1400, 900);
    window->show();
    if (!QTest::qWaitForWindowExposed(window.get()))
        qWarning("the main window was not exposed");
    return window;
}

// Opens a screenplay as "Open File" does once the file is chosen.
inline void openInWindow(Plotloom &window, const QString &path)
{
    window.openScreenplay(path);
    window.Parse();
}
