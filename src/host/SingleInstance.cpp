#include "SingleInstance.h"

#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>

namespace host {

namespace {

// Named after the folder's real path, so two names for one folder meet at
// one socket; kept in the user's runtime folder where there is one.
QString socketNameFor(const QString &folder)
{
    const QString canonical = QFileInfo(folder).canonicalFilePath();
    const QByteArray hash = QCryptographicHash::hash(
        (canonical.isEmpty() ? QDir(folder).absolutePath() : canonical).toUtf8(), QCryptographicHash::Sha256);
    const QString name = QStringLiteral("qvanto-") + QString::fromLatin1(hash.toHex().left(24));
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && QFileInfo(runtime).isDir() && QFileInfo(runtime).isWritable())
        return QDir(runtime).filePath(name);
    return name; // in the temporary folder
}

} // namespace

SingleInstance::SingleInstance(const QString &folder, const QString &lockName)
    : m_lock(QDir(folder).filePath(lockName)), m_socketName(socketNameFor(folder))
{
    // A copy may run for weeks; only a lock whose process is gone is stale.
    m_lock.setStaleLockTime(0);
}

SingleInstance::Claim SingleInstance::claim()
{
    if (!m_lock.tryLock(0))
        return m_lock.error() == QLockFile::LockFailedError ? Claim::Taken : Claim::Unguarded;
    // A socket left by a killed copy would refuse the name; holding the lock,
    // no live copy can own it.
    QLocalServer::removeServer(m_socketName);
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // Without the socket the lock still keeps a second copy out; only the
    // raising of this window is lost.
    if (m_server->listen(m_socketName))
        connect(m_server, &QLocalServer::newConnection, this, [this] {
            while (QLocalSocket *socket = m_server->nextPendingConnection()) {
                socket->disconnectFromServer();
                socket->deleteLater();
                emit wakeRequested();
            }
        });
    return Claim::Owner;
}

bool SingleInstance::wakeOwner(int timeoutMs)
{
    // The owner may still be starting: it listens only after taking the lock.
    const QDeadlineTimer deadline(timeoutMs);
    do {
        QLocalSocket socket;
        socket.connectToServer(m_socketName);
        if (socket.waitForConnected(qMax(1, int(qMin<qint64>(500, deadline.remainingTime())))))
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
