#include "PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

namespace {

bool ownedByUserOrRoot(const struct stat &st)
{
    return st.st_uid == 0 || st.st_uid == ::geteuid();
}

struct stat linkStat(const QString &path, bool *exists)
{
    struct stat st { };
    *exists = ::lstat(QFile::encodeName(path).constData(), &st) == 0;
    return st;
}

// A folder open to all whose sticky bit keeps others from moving what they
// do not own (as /tmp), in a folder that passes the rule.
bool isStickyFolderOnSafeGround(const QString &folder)
{
    bool exists = false;
    const struct stat st = linkStat(folder, &exists);
    return exists && S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) && ownedByUserOrRoot(st)
        && onlyUserCanWrite(QFileInfo(folder).path());
}

} // namespace

bool isOwnWritableFile(const QString &path)
{
    struct stat st { };
    const QByteArray name = QFile::encodeName(path);
    return ::lstat(name.constData(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid()
        && ::access(name.constData(), W_OK) == 0;
}

bool isWritableFolder(const QString &folder)
{
    const QByteArray name = QFile::encodeName(folder);
    struct stat st { };
    return ::stat(name.constData(), &st) == 0 && S_ISDIR(st.st_mode)
        && ::access(name.constData(), W_OK | X_OK) == 0;
}

QString userHome()
{
    const QString home = qEnvironmentVariable("HOME");
    if (QDir::isAbsolutePath(home))
        return QDir::cleanPath(home);
    if (const passwd *entry = ::getpwuid(::geteuid()); entry && entry->pw_dir)
        return QFile::decodeName(entry->pw_dir);
    return {};
}

namespace {

// The walk behind both rules: `folder` and every folder above it, up to
// `stop` or the root, belong to `owner` or root and are writable by no group
// and no other user, except a sticky folder above the first.
bool onlyOwnerAndRootUpTo(const QString &folder, uid_t owner, const QString &stop)
{
    QString path = QFileInfo(folder).canonicalFilePath();
    if (path.isEmpty())
        return false;
    for (bool first = true;; first = false) {
        struct stat st { };
        if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode)
            || (st.st_uid != 0 && st.st_uid != owner))
            return false;
        const bool openToOthers = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
        // Others may add files to a sticky folder, so only one above the
        // program's own folder may be open.
        if (openToOthers && (first || !(st.st_mode & S_ISVTX)))
            return false;
        if (path == stop || path == QLatin1String("/"))
            return true;
        path = QFileInfo(path).path();
    }
}

} // namespace

bool onlyUserCanWrite(const QString &folder)
{
    return onlyOwnerAndRootUpTo(folder, ::geteuid(), QFileInfo(userHome()).canonicalFilePath());
}

bool onlyOwnerCanWrite(const QString &folder, uid_t owner)
{
    return onlyOwnerAndRootUpTo(folder, owner, QStringLiteral("/"));
}

bool isPrivateFolder(const QString &folder)
{
    bool exists = false;
    const struct stat st = linkStat(folder, &exists);
    return exists && S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 07777) == 0700;
}

QString privateRuntimeFolder()
{
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (QDir::isAbsolutePath(runtime) && isPrivateFolder(runtime))
        return QDir::cleanPath(runtime);
    // Another user may have made this name first; then it is not used.
    const QString own
        = QDir(QDir::tempPath()).filePath(QStringLiteral("qvanto-%1").arg(qulonglong(::geteuid())));
    const QByteArray name = QFile::encodeName(own);
    if (::mkdir(name.constData(), 0700) != 0 && errno != EEXIST)
        return {};
    return isPrivateFolder(own) ? own : QString();
}

DataFolder makeOwnDataFolder(const QString &folder)
{
    const QString target = QDir::cleanPath(folder);
    QStringList missing;
    QString existing = target;
    for (;;) {
        bool exists = false;
        linkStat(existing, &exists);
        if (exists)
            break;
        if (errno != ENOENT || QFileInfo(existing).path() == existing)
            return DataFolder::CannotMake;
        missing.prepend(existing);
        existing = QFileInfo(existing).path();
    }
    if (!missing.isEmpty()) {
        bool exists = false;
        if (!S_ISDIR(linkStat(existing, &exists).st_mode) && !QFileInfo(existing).isDir())
            return DataFolder::CannotMake;
        if (!onlyUserCanWrite(existing) && !isStickyFolderOnSafeGround(existing))
            return DataFolder::NotPrivate;
        for (const QString &path : std::as_const(missing))
            if (::mkdir(QFile::encodeName(path).constData(), 0700) != 0 && errno != EEXIST)
                return DataFolder::CannotMake;
    }
    bool exists = false;
    const struct stat st = linkStat(target, &exists);
    if (exists && !S_ISLNK(st.st_mode) && !S_ISDIR(st.st_mode))
        return DataFolder::CannotMake;
    return !S_ISLNK(st.st_mode) && onlyUserCanWrite(target) ? DataFolder::Own : DataFolder::NotPrivate;
}

} // namespace host
