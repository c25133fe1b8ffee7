#include "RegularFile.h"

#include "Clock.h"
#include "HostError.h"

#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

int openRegularFile(const QString &path, int flags, struct stat *info)
{
    // O_NONBLOCK: opening a FIFO with no one at its other end, or a device
    // that waits for a carrier, returns at once.
    const int fd
        = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0666);
    if (fd < 0)
        return -1;
    struct stat st = {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        errno = 0;
        return -1;
    }
    // Regular files never block; blocking mode keeps write() from
    // returning early for no reason.
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (info)
        *info = st;
    return fd;
}

RegularFile::RegularFile(const QString &path, Mode mode) : m_path(path)
{
    const int flags = mode == Mode::Read ? O_RDONLY
        : mode == Mode::Append           ? O_WRONLY | O_CREAT | O_APPEND
                                         : O_RDWR | O_CREAT | O_APPEND;
    m_fd = openRegularFile(path, flags);
    if (m_fd < 0)
        fail(errno != 0 ? "cannot open" : "not a regular file:");
}

RegularFile::~RegularFile()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

qint64 RegularFile::size() const
{
    struct stat info = {};
    if (::fstat(m_fd, &info) != 0)
        fail("cannot examine");
    return info.st_size;
}

QByteArray RegularFile::readAt(qint64 offset, qint64 length) const
{
    QByteArray bytes(length, Qt::Uninitialized);
    bytes.truncate(readInto(offset, bytes.data(), length));
    return bytes;
}

qint64 RegularFile::readInto(qint64 offset, char *into, qint64 length) const
{
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::pread(m_fd, into + done, size_t(length - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail("cannot read");
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

void RegularFile::appendWhole(const QByteArray &bytes)
{
    const qint64 before = size();
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0) {
            const int error = errno;
            [[maybe_unused]] const int cut = ::ftruncate(m_fd, off_t(before));
            errno = error;
            fail("cannot write");
        }
        done += wrote;
    }
}

void RegularFile::lockExclusive(Clock &clock, int maxWaitMs)
{
    // Counted in pauses rather than read from a clock, so that a clock that
    // stands still cannot make the wait endless.
    constexpr int kPauseMs = 10;
    for (int waited = 0;; waited += kPauseMs) {
        if (::flock(m_fd, LOCK_EX | LOCK_NB) == 0)
            return;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK || waited >= maxWaitMs)
            fail(errno == EWOULDBLOCK ? "another program keeps locked:" : "cannot lock");
        clock.pause(kPauseMs);
    }
}

void RegularFile::fail(const char *what) const
{
    const QString reason = errno != 0 ? QString::fromLocal8Bit(std::strerror(errno)) : QString();
    throw HostError(HostError::FileIo,
        QStringLiteral("%1 %2%3").arg(
            QString::fromLatin1(what), m_path, reason.isEmpty() ? QString() : QStringLiteral(": ") + reason));
}

} // namespace host
