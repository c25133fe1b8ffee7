#pragma once

#include <QLockFile>
#include <QObject>

class QSocketNotifier;

namespace host {

// One running copy per folder: a lock file in the folder, and a local socket
// named after the folder (in a folder of the user's that no one else may
// enter) through which a later start asks the running copy to show itself.
// A lock left by a copy that was killed is taken over, whatever its time
// stamp says; asking never waits long on a copy that does not answer.
class SingleInstance : public QObject {
    Q_OBJECT
public:
    enum class Claim {
        Owner, // this copy runs on the folder alone
        Taken, // another copy runs on it
        Unguarded, // the folder cannot hold a lock (read-only); nothing to guard
    };

    SingleInstance(const QString &folder, const QString &lockName);
    ~SingleInstance() override;

    // The lock, then the socket: lock() then listen().
    Claim claim();
    // The lock alone. It may be taken on another thread (nothing else may
    // use this object meanwhile): Qt writes the lock file through to the
    // disk before it counts, which can take milliseconds.
    Claim lock();
    // Listens for later starts on this thread; once this copy is the owner.
    void listen();
    // Asks the copy that holds the lock to show its window; false when none
    // answers within the time (one on another machine sharing the folder).
    bool wakeOwner(int timeoutMs);
    // Who holds the lock, for a message: process id and host name.
    struct Owner {
        qint64 pid = 0;
        QString hostName;
    };
    Owner owner() const;

signals:
    // Another start on the same folder asked for this copy's window.
    void wakeRequested();

private:
    QString m_lockPath;
    QLockFile m_lock;
    QString m_socketPath;
    int m_listener = -1;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace host
