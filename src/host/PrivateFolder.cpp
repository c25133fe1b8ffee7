#include "PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

namespace {

bool ownedByUserOrRoot(const struct stat &st)
{
    return st.st_uid == 0 || st.st_uid == ::geteuid();
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

bool onlyUserCanWrite(const QString &folder)
{
    QString path = QFileInfo(folder).canonicalFilePath();
    if (path.isEmpty())
        return false;
    const QString home = QFileInfo(userHome()).canonicalFilePath();
    for (bool first = true;; first = false) {
        struct stat st { };
        if (::stat(QFile::encodeName(path).constData(), &st) != 0 || !S_ISDIR(st.st_mode)
            || !ownedByUserOrRoot(st))
            return false;
        const bool openToOthers = (st.st_mode & (S_IWGRP | S_IWOTH)) != 0;
        // Others may add files to a sticky folder, so only one above the
        // program's own folder may be open.
        if (openToOthers && (first || !(st.st_mode & S_ISVTX)))
            return false;
        if (path == home || path == QLatin1String("/"))
            return true;
        path = QFileInfo(path).path();
    }
}

} // namespace host
