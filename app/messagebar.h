// SPDX-License-Identifier: MIT
#pragma once

#include <QFrame>

class QPlainTextEdit;

// The window's message area: a bar above the views that lists what went wrong, one line each,
// the newest last, until the user dismisses it. It blocks neither the window nor a batch run, and
// it takes no more height than the window can spare: further lines scroll.
class MessageBar : public QFrame {
    Q_OBJECT
public:
    explicit MessageBar(QWidget *parent = nullptr);

    // Adds a line and shows the bar; lines added while it is shown join the earlier ones.
    void add(const QString &line);
    // The lines, one per line, the oldest first.
    QString text() const;
    // Hides the bar and forgets its lines.
    void dismiss();

private:
    QPlainTextEdit *m_lines;
};
