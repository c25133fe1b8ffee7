#include "SingleInstance.h"

#include "PrivateFolder.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <poll.h>
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
// one socket; kept in a folder no one else may enter, so no other user can
// take the name first or answer in the running copy's place. Empty when
// there is no such folder: the lock alone then keeps a second copy out.
QString socketPathFor(const QString &folder)
{
    const QString runtime = privateRuntimeFolder();
    if (runtime.isEmpty())
        return {};
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QByteArray hash = QCryptographicHash::hash(
        (canonical.isEmpty() ? QDir(folder).absolutePath() : canonical).toUtf8(), QCryptographicHash::Sha256);
    return QDir(runtime).filePath(QStringLiteral("qvanto-") + QString::fromLatin1(hash.toHex().left(24)));
}

// How long a start waits for the running copy's answer once connected.
constexpr int kAnswerWaitMs = 1000;

// A stream socket with its address, or -1 when there is no path or it does
// not fit.
int unixSocket(const QString &path, sockaddr_un *address, int flags)
{
    const QByteArray bytes = QFile::encodeName(path);
    *address = {};
    address->sun_family = AF_UNIX;
    if (bytes.isEmpty() || size_t(bytes.size()) >= sizeof address->sun_path)
        return -1;
    std::memcpy(address->sun_path, bytes.constData(), size_t(bytes.size()));
    return ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | flags, 0);
}

// Waits up to `timeoutMs` for the running copy's one-byte answer.
bool answered(int fd, int timeoutMs)
{
    pollfd waiting {fd, POLLIN, 0};
    char answer = 0;
    return ::poll(&waiting, 1, timeoutMs) == 1 && ::recv(fd, &answer, 1, MSG_DONTWAIT) == 1;
}

// A lock file that names no process (cut short by a kill or a full disk
// right after it was made) would otherwise be taken for a live copy's
// forever. One younger than this may still be being written.
constexpr qint64 kUnreadableLockAgeMs = 2000;

bool isUnreadableLeftover(const QLockFile &lock, const QString &path)
{
    qint64 pid = 0;
    QString hostName, appName;
    if (lock.getLockInfo(&pid, &hostName, &appName))
        return false;
    const QDateTime modified = QFileInfo(path).lastModified();
    if (!modified.isValid())
        return false;
    const qint64 age = modified.msecsTo(QDateTime::currentDateTime());
    // A time in the future: the clock was set back since it was written.
    return age < 0 || age > kUnreadableLockAgeMs;
}

} // namespace

SingleInstance::SingleInstance(const QString &folder, const QString &lockName)
    : m_lockPath(QDir(folder).filePath(lockName)), m_lock(m_lockPath), m_socketPath(socketPathFor(folder))
{
    // A copy may run for weeks, and a clock set back makes a live lock look
    // young or old: only a lock whose process is gone is stale, whatever its
    // time stamp.
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
    const Claim claimed = lock();
    if (claimed == Claim::Owner)
        listen();
    return claimed;
}

SingleInstance::Claim SingleInstance::lock()
{
    if (!m_lock.tryLock(0)) {
        if (m_lock.error() != QLockFile::LockFailedError)
            return Claim::Unguarded;
        if (!isUnreadableLeftover(m_lock, m_lockPath) || !m_lock.removeStaleLockFile() || !m_lock.tryLock(0))
            return Claim::Taken;
    }
    return Claim::Owner;
}

void SingleInstance::listen()
{
    // A socket left by a killed copy would refuse the name; holding the lock,
    // no live copy can own it.
    const QByteArray path = QFile::encodeName(m_socketPath);
    ::unlink(path.constData());
    sockaddr_un address;
    const int fd = unixSocket(m_socketPath, &address, 0);
    // Without the socket the lock still keeps a second copy out; only the
    // raising of this window is lost.
    if (fd < 0)
        return;
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) != 0
        || ::listen(fd, 4) != 0) {
        ::close(fd);
        return;
    }
    ::chmod(path.constData(), S_IRUSR | S_IWUSR);
    m_listener = fd;
    m_notifier = new QSocketNotifier(qintptr(fd), QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        const int connection = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
        if (connection < 0)
            return;
        // The answer tells the later start that this copy is alive and
        // shows its window; one that never comes means it hangs.
        const char answer = 1;
        [[maybe_unused]] const ssize_t sent = ::send(connection, &answer, 1, MSG_NOSIGNAL);
        ::close(connection);
        emit wakeRequested();
    });
}

bool SingleInstance::wakeOwner(int timeoutMs)
{
    // The owner may still be starting: it listens only after taking the lock.
    const QDeadlineTimer deadline(timeoutMs);
    do {
        sockaddr_un address;
        const int fd = unixSocket(m_socketPath, &address, SOCK_NONBLOCK);
        if (fd < 0)
            return false;
        // Not blocking: a copy that hangs with a full queue of waiting
        // starts refuses at once (EAGAIN) instead of holding this one.
        const bool connected
            = ::connect(fd, reinterpret_cast<const sockaddr *>(&address), sizeof address) == 0;
        const bool woken = connected
            && answered(fd, int(qBound(qint64(0), deadline.remainingTime(), qint64(kAnswerWaitMs))));
        ::close(fd);
        if (woken)
            return true;
        if (!deadline.hasExpired())
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
