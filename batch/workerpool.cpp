// SPDX-License-Identifier: MIT
#include "workerpool.h"

#include "batchjob.h"
#include "batchtool.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QHash>
#include <QJsonObject>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <numeric>

// A worker that cannot start fails its screenplays.
int runWorkers(const BatchOptions &options, const QStringList &names, const QString &program,
               QVector<CorpusSummary::Screenplay> *read)
{
    const QStringList childArgs = options.workerArguments();
    const int count = options.screenplays.size();
    QVector<int> order(count);
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&options](int a, int b) {
        return QFileInfo(options.screenplays.at(a)).size() >
               QFileInfo(options.screenplays.at(b)).size();
    });
    const int childCount = std::min(options.jobs, count);
    QVector<QVector<int>> shares(childCount);
    QVector<qint64> bytes(childCount, 0);
    for (const int index : order) {
        const int child = int(std::min_element(bytes.begin(), bytes.end()) - bytes.begin());
        shares[child].append(index);
        bytes[child] += std::max<qint64>(QFileInfo(options.screenplays.at(index)).size(), 1);
    }

    // A child reports "[k/m] PATH: ..." about the k-th screenplay of its share, by the absolute
    // path it was given; the share tells which screenplay that is, even when one is given twice.
    const auto passOn = [&](const QString &line, const QVector<int> &share) {
        static const QRegularExpression head(QStringLiteral("^\\[([0-9]+)/[0-9]+\\] "));
        const QRegularExpressionMatch match = head.match(line);
        const int k = match.hasMatch() ? match.captured(1).toInt() - 1 : -1;
        if (k >= 0 && k < share.size()) {
            const int i = share.at(k);
            const QString &path = options.screenplays.at(i);
            const QString rest = line.mid(match.capturedLength());
            if (rest.startsWith(path + QLatin1Char(':'))) {
                report(progressPrefix(i, count) + names.at(i) + rest.mid(path.size()));
                return;
            }
        }
        report(line);
    };

    // Each worker appends a record of every screenplay it has done to a file of its own, so
    // that what a worker that dies had done still counts, and what it had not is named.
    QTemporaryDir records;
    QVector<QString> ended(childCount); // why a worker ended early; empty when it ran to its end
    int running = 0;
    int status = BatchOk;
    QEventLoop loop;
    for (int k = 0; k < childCount; ++k) {
        const QVector<int> &share = shares.at(k);
        auto *process = new QProcess(&loop);
        auto *pending = new QByteArray;
        QObject::connect(process, &QProcess::destroyed, [pending] { delete pending; });
        QObject::connect(process, &QProcess::readyReadStandardOutput, process, [process] {
            const QByteArray out = process->readAllStandardOutput();
            std::fwrite(out.constData(), 1, size_t(out.size()), stdout);
        });
        QObject::connect(process, &QProcess::readyReadStandardError, process, [=] {
            pending->append(process->readAllStandardError());
            int end;
            while ((end = pending->indexOf('\n')) >= 0) {
                passOn(QString::fromLocal8Bit(pending->left(end)), share);
                pending->remove(0, end + 1);
            }
        });
        QObject::connect(process, qOverload<int, QProcess::ExitStatus>(&QProcess::finished), &loop,
                         [&, k](int code, QProcess::ExitStatus exit) {
                             if (exit != QProcess::NormalExit || code != BatchOk)
                                 status = BatchFailed;
                             if (exit != QProcess::NormalExit)
                                 ended[k] = QStringLiteral("its worker process ended abnormally");
                             if (--running == 0)
                                 loop.quit();
                         });
        // A worker that cannot start (no program, or the process limit reached) never finishes.
        QObject::connect(process, &QProcess::errorOccurred, &loop,
                         [&, k, process](QProcess::ProcessError error) {
                             if (error != QProcess::FailedToStart)
                                 return;
                             ended[k] = QStringLiteral("its worker process could not start: ") +
                                        process->errorString();
                             status = BatchFailed;
                             if (--running == 0)
                                 loop.quit();
                         });
        QStringList arguments = childArgs;
        arguments << QStringLiteral("--record") << records.filePath(QString::number(k));
        for (const int i : share)
            arguments.append(options.screenplays.at(i));
        ++running;
        process->start(program, arguments);
    }
    // Every worker may have failed to start already, and then nothing would end the loop.
    if (running > 0)
        loop.exec();

    // A worker does its share in order, so its k-th record is of the k-th screenplay of its share.
    QVector<bool> measured(count, false);
    QVector<CorpusSummary::Screenplay> figures(count);
    for (int k = 0; k < childCount; ++k) {
        const QVector<int> &share = shares.at(k);
        QFile file(records.filePath(QString::number(k)));
        const QList<QByteArray> lines =
            file.open(QIODevice::ReadOnly) ? file.readAll().split('\n') : QList<QByteArray>();
        for (int j = 0; j < share.size(); ++j) {
            const int i = share.at(j);
            // A line cut off by the worker's end is no record.
            const QJsonObject record =
                j < lines.size() ? QJsonDocument::fromJson(lines.at(j)).object() : QJsonObject();
            if (record.isEmpty()) {
                report(progressPrefix(i, count) + names.at(i) +
                       QStringLiteral(": error: not processed: ") +
                       (ended.at(k).isEmpty() ? QStringLiteral("its worker process stopped early")
                                              : ended.at(k)));
                status = BatchFailed;
                continue;
            }
            if (record.value(QStringLiteral("read")).toBool() && options.wantsFigures()) {
                figures[i] = CorpusSummary::fromJson(
                    record.value(QStringLiteral("figures")).toObject());
                measured[i] = true;
            }
        }
    }
    // In the given order, named as given.
    for (int i = 0; i < count; ++i) {
        if (!measured.at(i))
            continue;
        read->append(figures.at(i));
        read->last().name = names.at(i);
    }
    return status;
}
