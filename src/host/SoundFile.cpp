#include "SoundFile.h"

#include "RegularFile.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

bool isPlayableSoundFile(const QString &path)
{
    struct stat info = {};
    const int fd = openRegularFile(path, O_RDONLY, &info);
    if (fd < 0)
        return false;
    ::close(fd);
    return info.st_size <= kSoundFileLimitBytes;
}

QByteArray readSoundFile(const QString &path)
{
    struct stat info = {};
    const int fd = openRegularFile(path, O_RDONLY, &info);
    if (fd < 0)
        return {};
    QByteArray bytes;
    if (info.st_size <= kSoundFileLimitBytes) {
        // One byte more than the limit tells a file that grew past it.
        bytes.resize(kSoundFileLimitBytes + 1);
        qint64 done = 0;
        while (done < bytes.size()) {
            const ssize_t got = ::read(fd, bytes.data() + done, size_t(bytes.size() - done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                break;
            done += got;
        }
        bytes.truncate(done > kSoundFileLimitBytes ? 0 : done);
    }
    ::close(fd);
    return bytes;
}

QString findSoundFile(const QString &name, const QString &programFolder)
{
    if (QFileInfo(name).isAbsolute())
        return isPlayableSoundFile(name) ? name : QString();
    QStringList folders {QDir::currentPath(), programFolder};
    folders += QStandardPaths::locateAll(
        QStandardPaths::AppDataLocation, QString(), QStandardPaths::LocateDirectory);
    for (const QString &folder : std::as_const(folders)) {
        const QString candidate = QDir(folder).absoluteFilePath(name);
        if (isPlayableSoundFile(candidate))
            return candidate;
    }
    return {};
}

} // namespace host
