#include "settings/OwnSettingsFile.h"

#include "settings/SettingsLines.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

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
    const int fd = ::open(QFile::encodeName(path).constData(), accessMode | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !isOwnRegularFile(st)) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool maySaveOver(const QString &path)
{
    struct stat st {};
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
    // The name a save's temporary copy gets: the file's own and six letters or digits.
    const QRegularExpression copyName(
        QRegularExpression::anchoredPattern(QRegularExpression::escape(file.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    for (const QString &name : folder.entryList({file.fileName() + QStringLiteral(".??????")}, QDir::Files | QDir::Hidden | QDir::System)) {
        const QByteArray copy = QFile::encodeName(folder.filePath(name));
        struct stat st {};
        if (copyName.match(name).hasMatch() && ::lstat(copy.constData(), &st) == 0 && isOwnRegularFile(st))
            ::unlink(copy.constData());
    }
}

} // namespace bas_QVanto
