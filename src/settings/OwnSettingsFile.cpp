#include "settings/OwnSettingsFile.h"

#include "host/RegularFile.h"
#include "host/SafeWriter.h"
#include "settings/SettingsLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bas_QVanto {

namespace {

bool isOwnRegularFile(const struct stat &st)
{
    return S_ISREG(st.st_mode) && st.st_uid == ::geteuid();
}

} // namespace

int openOwnSettingsFile(const QString &path, int accessMode)
{
    struct stat st { };
    const int fd = host::openRegularFile(path, accessMode, &st);
    if (fd >= 0 && !isOwnRegularFile(st)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool maySaveOver(const QString &path)
{
    struct stat st { };
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return errno == ENOENT;
    const int fd = openOwnSettingsFile(path, O_RDONLY);
    if (fd < 0)
        return false;
    const bool whole = ::fstat(fd, &st) == 0 && st.st_size <= kSettingsReadLimitBytes;
    ::close(fd);
    return whole;
}

void removeUnfinishedCopies(const QString &path)
{
    const QFileInfo file(path);
    const QDir folder = file.dir();
    const QStringList names
        = folder.entryList({QLatin1Char('.') + file.fileName() + QStringLiteral(".qvanto-tmp-*")},
            QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &name : names) {
        if (!host::isTemporaryCopyName(file.fileName(), name))
            continue;
        const QByteArray copy = QFile::encodeName(folder.filePath(name));
        struct stat st { };
        if (::lstat(copy.constData(), &st) == 0 && isOwnRegularFile(st))
            ::unlink(copy.constData());
    }
}

} // namespace bas_QVanto
