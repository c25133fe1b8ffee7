// One copy per folder: the socket's folder cannot be taken by another user,
// a copy that hangs is not waited for, and no leftover lock keeps a start out.
#include "OtherUser.h"

#include "host/SingleInstance.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSemaphore>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <memory>
#include <sys/stat.h>
#include <sys/wait.h>

namespace {

// Long enough for any machine; a start that hangs never ends at all.
constexpr qint64 kGenerousMs = 15000;

// The running copy, answering on a thread of its own as the window's event
// loop would.
class RunningCopy final : public QThread {
public:
    explicit RunningCopy(QString folder) : m_folder(std::move(folder)) { }
    host::SingleInstance::Claim claim;
    QSemaphore ready;

protected:
    void run() override
    {
        host::SingleInstance instance(m_folder, QStringLiteral("qvanto.lock"));
        claim = instance.claim();
        ready.release();
        exec();
    }

private:
    QString m_folder;
};

// A process id that was in use a moment ago and is not now.
qint64 deadProcessId()
{
    const pid_t child = ::fork();
    if (child == 0)
        ::_exit(0);
    ::waitpid(child, nullptr, 0);
    return child;
}

// Runs with TMPDIR in a fresh folder open to all (as /tmp) and no runtime
// folder, as on a machine without a session manager.
struct NoRuntimeFolder {
    NoRuntimeFolder()
    {
        ::chmod(QFile::encodeName(tmp.path()).constData(), 01777);
        qputenv("TMPDIR", QFile::encodeName(tmp.path()));
        qunsetenv("XDG_RUNTIME_DIR");
    }
    ~NoRuntimeFolder()
    {
        savedTmp.isNull() ? qunsetenv("TMPDIR") : qputenv("TMPDIR", savedTmp);
        savedRuntime.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", savedRuntime);
    }
    QString ownName() const { return tmp.filePath(QStringLiteral("qvanto-%1").arg(::geteuid())); }
    const QByteArray savedTmp = qgetenv("TMPDIR"), savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    QTemporaryDir tmp;
};

} // namespace

class tst_SingleInstance : public QObject {
    Q_OBJECT
private slots:
    void anotherUserCannotTakeTheSocketsPlace_data()
    {
        // What the second user made first at the name this user's socket
        // folder would have; "%1" is that name, "%2" a folder of theirs.
        QTest::addColumn<QString>("plant");
        QTest::addColumn<bool>("raised");
        QTest::newRow("nothing planted") << QString() << true;
        QTest::newRow("their own folder") << "mkdir -m 700 %1" << false;
        QTest::newRow("their folder open to all") << "mkdir -m 777 %1" << false;
        QTest::newRow("a file") << "touch %1" << false;
        QTest::newRow("a link to their folder") << "mkdir -m 777 %2 && ln -s %2 %1" << false;
        QTest::newRow("a FIFO") << "mkfifo %1" << false;
    }
    void anotherUserCannotTakeTheSocketsPlace()
    {
        QFETCH(QString, plant);
        QFETCH(bool, raised);
        if (!plant.isEmpty())
            REQUIRE_ROOT_FOR_OTHER_USER();
        NoRuntimeFolder runtime;
        const QString theirs = runtime.tmp.filePath(QStringLiteral("theirs"));
        if (!plant.isEmpty())
            QVERIFY(hostTests::runAsOtherUser(plant.arg(runtime.ownName(), theirs)));
        QTemporaryDir data;

        QElapsedTimer timer;
        timer.start();
        RunningCopy first(data.path());
        first.start();
        QVERIFY(first.ready.tryAcquire(1, int(kGenerousMs)));
        QCOMPARE(first.claim, host::SingleInstance::Claim::Owner);
        host::SingleInstance second(data.path(), QStringLiteral("qvanto.lock"));
        QCOMPARE(second.claim(), host::SingleInstance::Claim::Taken);
        // Without a folder of the user's own the running copy cannot be
        // raised, but nothing waits for it: the lock alone keeps the folder.
        QCOMPARE(second.wakeOwner(3000), raised);
        first.quit();
        QVERIFY(first.wait(int(kGenerousMs)));
        QVERIFY2(timer.elapsed() < kGenerousMs, qPrintable(QString::number(timer.elapsed())));
        // Nothing was put into the other user's folder.
        if (QFileInfo(theirs).isDir())
            QVERIFY(
                QDir(theirs).isEmpty(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System | QDir::Hidden));
    }

    void aCopyThatHangsIsNotWaitedFor()
    {
        NoRuntimeFolder runtime;
        QTemporaryDir data;
        // This copy takes the folder and then never looks at its socket.
        host::SingleInstance hanging(data.path(), QStringLiteral("qvanto.lock"));
        QCOMPARE(hanging.claim(), host::SingleInstance::Claim::Owner);
        QVERIFY(QFileInfo(runtime.ownName()).isDir());
        QCOMPARE(QFileInfo(runtime.ownName()).permissions() & 0x0777, QFileDevice::Permissions(0x0700));
        QElapsedTimer timer;
        timer.start();
        host::SingleInstance second(data.path(), QStringLiteral("qvanto.lock"));
        QCOMPARE(second.claim(), host::SingleInstance::Claim::Taken);
        QVERIFY(!second.wakeOwner(3000));
        QVERIFY2(timer.elapsed() < kGenerousMs, qPrintable(QString::number(timer.elapsed())));
    }

    void leftoverLocksNeverKeepAStartOut_data()
    {
        // The lock file's lines ("%1" a process id), and its age in seconds
        // (negative: stamped in the future, as after the clock was set back).
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<int>("ageSeconds");
        QTest::addColumn<bool>("live");
        const QByteArray host = QSysInfo::machineHostName().toUtf8();
        const QByteArray dead = QByteArray::number(deadProcessId());
        QTest::newRow("a killed copy's") << dead + "\nqvanto\n" + host + "\n" << 5 << false;
        QTest::newRow("a killed copy's, stamped a day ahead") << dead + "\nqvanto\n" + host + "\n"
                                                              << -86400 << false;
        QTest::newRow("a killed copy's, a year old") << dead + "\nqvanto\n" + host + "\n"
                                                     << 31536000 << false;
        QTest::newRow("empty, left by a kill") << QByteArray() << 3600 << false;
        QTest::newRow("empty, stamped a day ahead") << QByteArray() << -86400 << false;
        QTest::newRow("garbage") << QByteArray("\xff\xfe not a lock") << 60 << false;
        QTest::newRow("a live copy's, stamped a day ahead") << QByteArray() << -86400 << true;
    }
    void leftoverLocksNeverKeepAStartOut()
    {
        QFETCH(QByteArray, content);
        QFETCH(int, ageSeconds);
        QFETCH(bool, live);
        NoRuntimeFolder runtime;
        QTemporaryDir data;
        const QString lockPath = data.filePath(QStringLiteral("qvanto.lock"));
        std::unique_ptr<host::SingleInstance> holder;
        if (live) {
            holder = std::make_unique<host::SingleInstance>(data.path(), QStringLiteral("qvanto.lock"));
            QCOMPARE(holder->claim(), host::SingleInstance::Claim::Owner);
        } else {
            QFile lock(lockPath);
            QVERIFY(lock.open(QIODevice::WriteOnly));
            QCOMPARE(lock.write(content), content.size());
        }
        QFile stamped(lockPath);
        QVERIFY(stamped.open(QIODevice::ReadWrite));
        QVERIFY(stamped.setFileTime(
            QDateTime::currentDateTime().addSecs(-ageSeconds), QFileDevice::FileModificationTime));
        stamped.close();

        QElapsedTimer timer;
        timer.start();
        host::SingleInstance start(data.path(), QStringLiteral("qvanto.lock"));
        QCOMPARE(
            start.claim(), live ? host::SingleInstance::Claim::Taken : host::SingleInstance::Claim::Owner);
        QVERIFY2(timer.elapsed() < kGenerousMs, qPrintable(QString::number(timer.elapsed())));
    }
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_SingleInstance.moc"
