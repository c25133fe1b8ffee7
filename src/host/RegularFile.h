#pragma once

#include <QByteArray>
#include <QString>

struct stat;

namespace host {

class Clock;

// Opens `path` with `flags` (O_RDONLY, O_WRONLY, …) only when it is a regular
// file reached without a link at its name, never waiting on the way (a FIFO
// with no one at its other end, a device waiting for a carrier). Returns the
// descriptor, in blocking mode, and fills *info when given; -1 otherwise,
// with errno 0 when something other than a regular file is there.
int openRegularFile(const QString &path, int flags, struct stat *info = nullptr);

// A file opened only when it is a regular file: never through a symbolic
// link at its name, and never waiting on the way, so a FIFO, a device or a
// folder in its place is refused at once instead of holding the program up
// or being written to. Throws HostError (FileIo) when the file cannot be
// opened so.
class RegularFile {
public:
    // ReadAppend reads anywhere and writes only at the end.
    enum class Mode { Read, Append, ReadAppend };

    RegularFile(const QString &path, Mode mode);
    ~RegularFile();
    RegularFile(const RegularFile &) = delete;
    RegularFile &operator=(const RegularFile &) = delete;

    int handle() const { return m_fd; }
    qint64 size() const;
    // Up to `length` bytes from `offset`; fewer at the end of the file.
    QByteArray readAt(qint64 offset, qint64 length) const;
    // The same into `into`, for a reader that keeps one buffer; the bytes
    // read.
    qint64 readInto(qint64 offset, char *into, qint64 length) const;
    // Adds the bytes at the end as one write (more only when the system
    // takes fewer bytes at a time). When that fails, the file is cut back to
    // the size it had, so it never keeps part of them, and HostError is thrown.
    void appendWhole(const QByteArray &bytes);
    // Takes an exclusive advisory lock (flock) on the file, shared with every
    // process that locks it so, trying again after short pauses of `clock`
    // for at most `maxWaitMs` of pauses: a holder that never lets go cannot
    // hold the program up. Throws HostError (FileIo) when the lock stays
    // taken. The lock ends when the file is closed.
    void lockExclusive(Clock &clock, int maxWaitMs);

private:
    [[noreturn]] void fail(const char *what) const;

    QString m_path;
    int m_fd = -1;
};

} // namespace host
