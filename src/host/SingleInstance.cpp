#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>

#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

// A plain Unix socket rather than Qt's local socket: Qt Network and the
// libraries it brings would cost every start-up several milliseconds for a
// message of no bytes.
namespace host {

namespace {

// Named after the folder's real path, so two names for one folder meet at
// one socket; kept in the user's runtime folder where there is one.
QString socketPathFor(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QByteArray hash = QCryptographicHash::hash(
        (canonical.isEmpty() ? QDir(folder).absolutePath() : canonical).toUtf8(), QCryptographicHash::Sha256);
    const QString name = QStringLiteral("qvanto-") + QString::fromLatin1(hash.toHex().left(24));
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && QFileInfo(runtime).isWritable())
        return QDir(runtime).filePath(name);
    return QDir(QDir::tempPath()).filePath(name);
}

// A stream socket with its address, or -1 when the path does not fit.
int unixSocket(const QString &path, sockaddr_un *address)
{
    const QByteArray bytes = QFile::encodeName(path);
    *address = {};
    address->sun_family = AF_UNIX;
    if (size_t(bytes.size()) >= sizeof address->sun_path)
        return -1;
    std::memcpy(address->sun_path, bytes.constData(), size_t(bytes.size()));
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
}

} // namespace

SingleInstance::SingleInstance(const QString &folder, const QString &lockName)
    : m_lock(QDir(folder).filePath(lockName)), m_socketPath(socketPathFor(folder))
{
    // A copy may run for weeks; only a lock whose process is gone is stale.
    m_lock.setStaleLockTime(0);
}

SingleInstance::~SingleInstance()
{
    if (m_listener < 0)
        return;
    ::close(m_listener);
    ::unlink(QFile::encodeName(m_socketPath).constData());
}

SingleInstance::Claim SingleInstance::claim()
{
    if (!m_lock.tryLock(0))
        return m_lock.error() == QLockFile::LockFailedError ? Claim::Taken : Claim::Unguarded;
    // A socket left by a killed copy would refuse the name; holding the lock,
    // no live copy can own it.
    const QByteArray path = QFile::encodeName(m_socketPath);
    ::unlink(path.constData());
    sockaddr_un address;
    const int fd = unixSocket(m_socketPath, &address);
    // Without the socket the lock still keeps a second copy out; only the
    // raising of this window is lost.
    if (fd < 0)
        return Claim::Owner;
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
        || ::listen(fd, 4) != 0) {
        ::close(fd);
        return Claim::Owner;
    }
    ::chmod(path.constData(), S_IRUSR | S_IWUSR);
    m_listener = fd;
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (connection < 0)
            return;
        ::close(connection);
        emit wakeRequested();
    });
    return Claim::Owner;
}

bool SingleInstance::wakeOwner(int timeoutMs)
{
    // The owner may still be starting: it listens only after taking the lock.
    const QDeadlineTimer deadline(timeoutMs);
    do {
        sockaddr_un address;
        const int fd = unixSocket(m_socketPath, &address);
        if (fd < 0)
            return false;
        // A Unix socket connects at once or is refused at once.
        const bool connected
            = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
        ::close(fd);
        if (connected)
            return true;
        QThread::msleep(50);
    } while (!deadline.hasExpired());
    return false;
}

SingleInstance::Owner SingleInstance::owner() const
{
    Owner owner;
    QString appName;
    m_lock.getLockInfo(&owner.pid, &owner.hostName, &appName);
    return owner;
}

} // namespace host
