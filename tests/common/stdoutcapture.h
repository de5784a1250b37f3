// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryFile>

#include <cstdio>
#include <iostream>
#include <unistd.h>

// Captures everything the process writes to standard output (or standard error), so tests can
// check the diagnostic lines that the program prints. The capture ends when the text is first
// read (so a failing comparison afterwards reaches the test log) or when the object goes.
// Captures of one stream do not nest.
class StdoutCapture {
public:
    explicit StdoutCapture(FILE *stream = stdout) : m_stream(stream)
    {
        std::fflush(m_stream);
        std::cout.flush();
        m_file.open();
        m_saved = ::dup(::fileno(m_stream));
        ::dup2(m_file.handle(), ::fileno(m_stream));
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
        std::fflush(m_stream);
        std::cout.flush();
        ::dup2(m_saved, ::fileno(m_stream));
        ::close(m_saved);
        m_saved = -1;
    }

    FILE *m_stream;
    QTemporaryFile m_file;
    int m_saved = -1;
};
