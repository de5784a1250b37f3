// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryFile>

#include <cstdio>
#include <iostream>
#include <unistd.h>

// Captures everything the process writes to standard output, so tests can check the diagnostic
// lines that the program prints. The capture ends when the text is first read (so a failing
// comparison afterwards reaches the test log) or when the object goes. Captures do not nest.
class StdoutCapture {
public:
    StdoutCapture()
    {
        std::fflush(stdout);
        std::cout.flush();
        m_file.open();
        m_saved = ::dup(STDOUT_FILENO);
        ::dup2(m_file.handle(), STDOUT_FILENO);
    }
    ~StdoutCapture() { restore(); }
    StdoutCapture(const StdoutCapture &) = delete;
    StdoutCapture &operator=(const StdoutCapture &) = delete;

    // Ends the capture and returns everything written, as UTF-8 text.
    QString text()
    {
        restore();
        m_file.seek(0);
        return QString::fromUtf8(m_file.readAll());
    }

    // The captured text split into lines, without the final empty piece.
    QStringList lines()
    {
        QStringList result = text().split('\n');
        if (!result.isEmpty() && result.last().isEmpty())
            result.removeLast();
        return result;
    }

private:
    void restore()
    {
        if (m_saved < 0)
            return;
        std::fflush(stdout);
        std::cout.flush();
        ::dup2(m_saved, STDOUT_FILENO);
        ::close(m_saved);
        m_saved = -1;
    }

    QTemporaryFile m_file;
    int m_saved = -1;
};
