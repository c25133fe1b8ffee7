#pragma once

#include <QHash>
#include <QSet>
#include <QStringList>

#include <atomic>
#include <functional>

namespace stamp {

// How a long read of the stamp log reports how far it is and is stopped.
struct LogReadControl {
    // Called as the read goes on, with the bytes read so far and the log's
    // size, on the reading thread.
    std::function<void(qint64 done, qint64 total)> progress;
    // Set from any thread to stop the read soon after.
    const std::atomic_bool *cancel = nullptr;
};

struct FoundRecords {
    // By number (upper case): each record's first two lines, joined by a
    // line break, in the log's order. A number with none is absent.
    QHash<QString, QStringList> records;
    bool cancelled = false; // stopped before the end: what was found so far
};

// The records of every number asked for, from one pass over the log as a
// stream: the time and memory it takes do not grow with how many numbers are
// asked for, and its memory not with the log's size. Numbers are matched as
// typed in any case, spaces around them ignored. A log that cannot be read,
// or is no regular file, has no records.
FoundRecords FindStampRecords(
    const QString &logPath, const QSet<QString> &numbers, const LogReadControl &control = {});

} // namespace stamp
