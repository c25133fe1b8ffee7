#include "settings/RewriteInPlace.h"

#include "settings/OwnSettingsFile.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace bas_QVanto {

namespace {

// Where the file system can promise the room, a full disk fails here,
// before a byte of the old file is touched.
bool reserveRoom(int fd, qint64 size)
{
    if (::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, off_t(size)) == 0)
        return true;
    return errno == EOPNOTSUPP || errno == ENOSYS;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + done, size_t(bytes.size() - done), off_t(done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return true;
}

} // namespace

bool rewriteInPlace(const QString &path, const QByteArray &bytes)
{
    const int fd = openOwnSettingsFile(path, O_WRONLY);
    if (fd < 0)
        return false;
    const bool written = reserveRoom(fd, bytes.size()) && writeAll(fd, bytes)
        && ::ftruncate(fd, off_t(bytes.size())) == 0 && ::fsync(fd) == 0;
    return ::close(fd) == 0 && written;
}

} // namespace bas_QVanto
