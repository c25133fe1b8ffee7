// One running copy per folder: who gets the folder, and the request that
// brings the running copy's window back.
#include "host/SingleInstance.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using Claim = host::SingleInstance::Claim;

class tst_SingleInstance : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // The sockets go to a runtime folder of the test's own.
        QVERIFY(m_runtime.isValid());
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_runtime.path()));
    }

    void whoGetsTheFolder_data()
    {
        QTest::addColumn<QByteArray>("lockFile"); // left in the folder before the start
        QTest::addColumn<Claim>("claim");
        QTest::newRow("free folder") << QByteArray() << Claim::Owner;
        // Process ids stop far below this one.
        QTest::newRow("lock of a process that is gone") << QByteArray("2147483000\nqvanto\n") << Claim::Owner;
        QTest::newRow("lock of a copy on another machine")
            << QByteArray("4242\nqvanto\nsome-other-host\n") << Claim::Taken;
    }
    void whoGetsTheFolder()
    {
        QFETCH(QByteArray, lockFile);
        QFETCH(Claim, claim);
        QTemporaryDir folder;
        if (!lockFile.isEmpty()) {
            QFile file(folder.filePath(QStringLiteral("qvanto.lock")));
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(lockFile) == lockFile.size());
        }
        host::SingleInstance instance(folder.path(), QStringLiteral("qvanto.lock"));
        QCOMPARE(instance.claim(), claim);
        if (claim == Claim::Taken) {
            QVERIFY(!instance.wakeOwner(300)); // no one to answer
            QCOMPARE(instance.owner().pid, 4242);
            QCOMPARE(instance.owner().hostName, QStringLiteral("some-other-host"));
        }
    }

    void aSecondStartWakesTheFirst()
    {
        QTemporaryDir folder;
        host::SingleInstance first(folder.path(), QStringLiteral("qvanto.lock"));
        QCOMPARE(first.claim(), Claim::Owner);
        QSignalSpy woken(&first, &host::SingleInstance::wakeRequested);

        // Another name for the same folder meets the same copy.
        host::SingleInstance second(folder.path() + QStringLiteral("/."), QStringLiteral("qvanto.lock"));
        QCOMPARE(second.claim(), Claim::Taken);
        QVERIFY(second.wakeOwner(3000));
        QTRY_COMPARE(woken.size(), 1);

        QTemporaryDir otherFolder;
        host::SingleInstance beside(otherFolder.path(), QStringLiteral("qvanto.lock"));
        QCOMPARE(beside.claim(), Claim::Owner);
    }

private:
    QTemporaryDir m_runtime;
};

QTEST_GUILESS_MAIN(tst_SingleInstance)
#include "tst_SingleInstance.moc"
