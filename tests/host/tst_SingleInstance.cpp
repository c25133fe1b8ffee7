// One copy per folder: no other user can take the socket's place, a copy
// that hangs is not waited for, and no leftover lock keeps a start out.
#include "OtherUser.h"

#include "host/SingleInstance.h"

#include <QDateTime>
#include <QElapsedTimer>
#include <QSemaphore>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QThread>

#include <future>
#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

// Long enough for any machine; a start that hangs never ends at all.
constexpr qint64 kGenerousMs = 15000;
const QString kLock = QStringLiteral("qvanto.lock");

// The running copy, answering on a thread of its own as the window would.
class RunningCopy final : public QThread {
public:
    explicit RunningCopy(QString folder, bool lockElsewhere = false)
        : m_folder(std::move(folder)), m_lockElsewhere(lockElsewhere)
    {
    }
    host::SingleInstance::Claim claim {};
    QSemaphore ready;

protected:
    void run() override
    {
        host::SingleInstance instance(m_folder, kLock);
        if (m_lockElsewhere) {
            // As the program starts: the lock on a thread of its own, the
            // socket on the thread that answers.
            claim = std::async(std::launch::async, [&instance] { return instance.lock(); }).get();
            if (claim == host::SingleInstance::Claim::Owner)
                instance.listen();
        } else {
            claim = instance.claim();
        }
        ready.release();
        exec();
    }

private:
    QString m_folder;
    bool m_lockElsewhere;
};

// No runtime folder, and TMPDIR a fresh folder open to all, as /tmp is.
struct NoRuntimeFolder {
    NoRuntimeFolder()
    {
        ::chmod(QFile::encodeName(tmp.path()).constData(), 01777);
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        qunsetenv("XDG_RUNTIME_DIR");
    }
    ~NoRuntimeFolder()
    {
        qunsetenv("TMPDIR");
        if (!savedRuntime.isNull())
            qputenv("XDG_RUNTIME_DIR", savedRuntime);
    }
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir tmp;
};

} // namespace

class tst_SingleInstance : public QObject {
    Q_OBJECT
private slots:
    void anotherUserCannotTakeTheSocketsPlace_data()
    {
        // What the second user made first where this user's socket folder
        // would be ("%1"); "%2" is a folder of theirs.
        QTest::addColumn<QString>("plant");
        QTest::newRow("nothing planted") << QString();
        QTest::newRow("their folder open to all") << "mkdir -m 777 %1";
        QTest::newRow("a file") << "touch %1";
        QTest::newRow("a link to their folder") << "mkdir -m 777 %2 && ln -s %2 %1";
    }
    void anotherUserCannotTakeTheSocketsPlace()
    {
        QFETCH(QString, plant);
        NoRuntimeFolder runtime;
        const QString theirs = runtime.tmp.filePath(QStringLiteral("theirs"));
        if (!plant.isEmpty()) {
            REQUIRE_ROOT_FOR_OTHER_USER();
            const QString own = runtime.tmp.filePath(QStringLiteral("qvanto-%1").arg(::geteuid()));
            QVERIFY(runScript(plant.arg(own, theirs), true));
        }
        QTemporaryDir data;
        QElapsedTimer timer;
        timer.start();
        RunningCopy first(data.path());
        first.start();
        QVERIFY(first.ready.tryAcquire(1, int(kGenerousMs)));
        QCOMPARE(first.claim, host::SingleInstance::Claim::Owner);
        host::SingleInstance second(data.path(), kLock);
        QCOMPARE(second.claim(), host::SingleInstance::Claim::Taken);
        // Without a folder of the user's own the running copy cannot be
        // raised, but nothing waits: the lock alone keeps the folder.
        QCOMPARE(second.wakeOwner(3000), plant.isEmpty());
        first.quit();
        QVERIFY(first.wait(int(kGenerousMs)));
        QVERIFY(timer.elapsed() < kGenerousMs);
        QVERIFY(!QFileInfo::exists(theirs)
            || QDir(theirs).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden));
    }

    void aLaterStartWakesTheRunningCopy_data()
    {
        QTest::addColumn<bool>("lockElsewhere");
        QTest::newRow("lock and socket at once") << false;
        QTest::newRow("lock taken on another thread") << true;
    }

    void aLaterStartWakesTheRunningCopy()
    {
        QFETCH(bool, lockElsewhere);
        QTemporaryDir data;
        RunningCopy first(data.path(), lockElsewhere);
        first.start();
        QVERIFY(first.ready.tryAcquire(1, int(kGenerousMs)));
        QCOMPARE(first.claim, host::SingleInstance::Claim::Owner);
        host::SingleInstance second(data.path(), kLock);
        QCOMPARE(second.lock(), host::SingleInstance::Claim::Taken);
        QVERIFY(second.wakeOwner(int(kGenerousMs)));
        first.quit();
        QVERIFY(first.wait(int(kGenerousMs)));
    }

    void aCopyThatHangsIsNotWaitedFor()
    {
        NoRuntimeFolder runtime;
        QTemporaryDir data;
        // It takes the folder, then never looks at its socket.
        host::SingleInstance hanging(data.path(), kLock);
        QCOMPARE(hanging.claim(), host::SingleInstance::Claim::Owner);
        QElapsedTimer timer;
        timer.start();
        host::SingleInstance second(data.path(), kLock);
        QCOMPARE(second.claim(), host::SingleInstance::Claim::Taken);
        QVERIFY(!second.wakeOwner(3000));
        QVERIFY(timer.elapsed() < kGenerousMs);
    }

    void leftoverLocksNeverKeepAStartOut_data()
    {
        // The lock file's bytes and age in seconds (negative: stamped in the
        // future, as after the clock was set back); null bytes: a live copy's.
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("ageSeconds");
        const pid_t child = ::fork();
        if (child == 0)
            ::_exit(0);
        ::waitpid(child, nullptr, 0);
        const QByteArray dead
            = QByteArray::number(child) + "\nqvanto\n" + QSysInfo::machineHostName().toUtf8() + "\n";
        QTest::newRow("a killed copy's") << dead << 5;
        QTest::newRow("a killed copy's, stamped a day ahead") << dead << -86400;
        QTest::newRow("empty, left by a kill") << QByteArray("") << 3600;
        QTest::newRow("empty, stamped a day ahead") << QByteArray("") << -86400;
        QTest::newRow("a live copy's, stamped a day ahead") << QByteArray() << -86400;
    }
    void leftoverLocksNeverKeepAStartOut()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, ageSeconds);
        NoRuntimeFolder runtime;
        QTemporaryDir data;
        host::SingleInstance live(data.path(), kLock);
        QFile lock(data.filePath(kLock));
        if (content.isNull())
            QCOMPARE(live.claim(), host::SingleInstance::Claim::Owner);
        else
            QVERIFY(lock.open(QIODevice::WriteOnly) && lock.write(content) == content.size());
        lock.close();
        QVERIFY(lock.open(QIODevice::ReadWrite));
        QVERIFY(lock.setFileTime(
            QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        lock.close();
        host::SingleInstance start(data.path(), kLock);
        QCOMPARE(start.claim(),
            content.isNull() ? host::SingleInstance::Claim::Taken : host::SingleInstance::Claim::Owner);
    }
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_SingleInstance.moc"
