#include "SafeWriter.h"

#include "HostError.h"
#include "WholeCharacters.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace host {

namespace {

// Distinctive enough that no one names a file of theirs so.
constexpr char kTempMark[] = ".qvanto-tmp-";
constexpr int kTempMarkSize = int(sizeof kTempMark - 1);
constexpr int kRandomChars = 6;
constexpr int kNameMaxBytes = 255;
constexpr int kCreateAttempts = 100;
constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

[[noreturn]] void refuse(const QString &path, const QString &why)
{
    throw HostError(
        HostError::FileIo, QStringLiteral("書き込めません: %1\n%2").arg(QDir::toNativeSeparators(path), why));
}

QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

// What lies at the name, looked at without following a link. Only nothing
// at all or a regular file of the user's own may be replaced; *mode gets
// the permissions such a file has, -1 when there is none.
void checkName(const QString &path, mode_t *mode)
{
    *mode = mode_t(-1);
    if (QFileInfo(path).fileName().isEmpty())
        refuse(path, QStringLiteral("ファイル名がありません。"));
    struct stat st = {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0) {
        if (errno != ENOENT)
            refuse(path, systemReason(errno));
        return;
    }
    if (S_ISLNK(st.st_mode))
        refuse(path, QStringLiteral("シンボリックリンクです。リンクを通しては書き込みません。"));
    if (S_ISDIR(st.st_mode))
        refuse(path, QStringLiteral("フォルダーです。ファイルではありません。"));
    if (!S_ISREG(st.st_mode))
        refuse(path, QStringLiteral("ファイルではありません (FIFO、デバイスなど)。"));
    if (st.st_uid != ::geteuid())
        refuse(path, QStringLiteral("ほかのユーザーのファイルです。"));
    *mode = st.st_mode & 0777;
}

// The user's name inside the temporary name, cut to whole characters where
// the whole would pass the file system's limit on a name.
QString embeddedName(const QString &fileName)
{
    const int room = kNameMaxBytes - 1 - kTempMarkSize - kRandomChars;
    QString name = fileName;
    while (QFile::encodeName(name).size() > room)
        name.truncate(wholeCharactersIn(name, name.size() - 1));
    return name;
}

QString randomChars()
{
    QString chars;
    for (int i = 0; i < kRandomChars; ++i)
        chars += QLatin1Char(kAlphabet[QRandomGenerator::global()->bounded(int(sizeof kAlphabet - 1))]);
    return chars;
}

} // namespace

SafeWriter::SafeWriter(const QString &path) : m_path(path)
{
    mode_t keptMode = 0;
    checkName(path, &keptMode);
    const QFileInfo target(path);
    const QString prefix = target.path() + QLatin1Char('/') + QLatin1Char('.')
        + embeddedName(target.fileName()) + QLatin1String(kTempMark);
    for (int attempt = 0; attempt < kCreateAttempts && m_fd < 0; ++attempt) {
        m_tempPath = prefix + randomChars();
        m_fd = ::open(QFile::encodeName(m_tempPath).constData(),
            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST) {
            const int error = errno;
            m_tempPath.clear();
            refuse(path, systemReason(error));
        }
    }
    if (m_fd < 0) {
        m_tempPath.clear();
        refuse(path, systemReason(EEXIST));
    }
    if (keptMode != mode_t(-1) && ::fchmod(m_fd, keptMode) != 0)
        fail(errno);
}

SafeWriter::~SafeWriter()
{
    discard();
}

void SafeWriter::write(const QByteArray &bytes)
{
    qint64 done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = ::write(m_fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (wrote < 0 && errno == EINTR)
            continue;
        if (wrote <= 0)
            fail(wrote < 0 ? errno : ENOSPC);
        done += wrote;
    }
}

void SafeWriter::commit()
{
    if (::fsync(m_fd) != 0)
        fail(errno);
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0)
        fail(errno);
    if (::rename(QFile::encodeName(m_tempPath).constData(), QFile::encodeName(m_path).constData()) != 0)
        fail(errno);
    m_tempPath.clear();
    // The new name itself reaches the disk with its folder.
    const int folder
        = ::open(QFile::encodeName(QFileInfo(m_path).path()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder >= 0) {
        ::fsync(folder);
        ::close(folder);
    }
}

void SafeWriter::fail(int error)
{
    discard();
    refuse(m_path, systemReason(error));
}

void SafeWriter::discard()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_tempPath.isEmpty())
        ::unlink(QFile::encodeName(m_tempPath).constData());
    m_tempPath.clear();
}

void writeFileSafely(const QString &path, const QByteArray &bytes)
{
    SafeWriter writer(path);
    writer.write(bytes);
    writer.commit();
}

bool isTemporaryCopyName(const QString &fileName, const QString &name)
{
    const QRegularExpression pattern(QRegularExpression::anchoredPattern(QLatin1Char('.')
        + QRegularExpression::escape(embeddedName(fileName))
        + QRegularExpression::escape(QString::fromLatin1(kTempMark))
        + QStringLiteral("[A-Za-z0-9]{%1}").arg(kRandomChars)));
    return pattern.match(name).hasMatch();
}

} // namespace host
