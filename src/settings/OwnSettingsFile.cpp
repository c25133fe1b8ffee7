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

// The user's own, and no one else may write it.
bool ownAndClosed(const struct stat &st)
{
    return st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool isOwnClosedFolder(const QString &folder)
{
    struct stat st { };
    return ::stat(QFile::encodeName(folder).constData(), &st) == 0 && S_ISDIR(st.st_mode) && ownAndClosed(st);
}

} // namespace

QString followOwnLink(const QString &path)
{
    struct stat link { };
    if (::lstat(QFile::encodeName(path).constData(), &link) != 0 || !S_ISLNK(link.st_mode))
        return path;
    const QString target = QFileInfo(path).canonicalFilePath();
    struct stat file { };
    if (target.isEmpty() || link.st_uid != ::geteuid() || !isOwnClosedFolder(QFileInfo(path).path())
        || ::lstat(QFile::encodeName(target).constData(), &file) != 0 || !S_ISREG(file.st_mode)
        || !ownAndClosed(file) || !isOwnClosedFolder(QFileInfo(target).path()))
        return path;
    return target;
}

bool nothingAt(const QString &path)
{
    struct stat st { };
    return path.isEmpty() || (::lstat(QFile::encodeName(path).constData(), &st) != 0 && errno == ENOENT);
}

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
    if (nothingAt(path))
        return true;
    struct stat st { };
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
