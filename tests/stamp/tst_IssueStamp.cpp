// The one issuing routine: numbers after the log's last whole record, one
// process at a time, and a bounded wait for a log another process holds.
#include "fakes/FakeClock.h"
#include "fakes/FileBytes.h"
#include "host/HostError.h"
#include "stamp/IssueStamp.h"
#include "stamp/StampLog.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const QDateTime kStampTime(QDate(2001, 3, 5), QTime(21, 7, 3));
const QByteArray kGoodRecord = "QVID:1NNXBR05,2001/03/05 21:07:03 \r\n    A,B,C,D\r\n\r\n";
const std::array<QString, 4> kRows {
    QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")};

using fakes::readFileBytes;
using fakes::writeFileBytes;

// The numbers of the log's records, in order.
QStringList loggedNumbers(const QByteArray &log)
{
    QStringList numbers;
    for (const QByteArray &line : log.split('\n'))
        if (line.startsWith("QVID:"))
            numbers << QString::fromLatin1(line.mid(5, line.indexOf(',') - 5));
    return numbers;
}

// One frozen second on the wall, while waits really pass: processes that
// meet at the lock must truly wait for each other.
class FrozenWallClock final : public host::Clock {
public:
    QDateTime now() const override { return kStampTime; }
    qint64 monotonicMs() const override { return m_real.monotonicMs(); }
    void pause(int ms) override { m_real.pause(ms); }

private:
    host::SystemClock m_real;
};

} // namespace

class tst_IssueStamp : public QObject {
    Q_OBJECT
private slots:
    // A damaged last record would make every later number as long as its
    // own, or stop the numbering: it is passed over for the record before.
    void damagedLastRecordsArePassedOver_data()
    {
        QTest::addColumn<QByteArray>("damaged");
        QTest::newRow("200 characters") << "QVID:" + QByteArray(200, 'Z') + ",2001/03/05 21:07:03 \r\n";
        QTest::newRow("eleven characters") << QByteArray("QVID:ZZZZZZZZZ00,2001/03/05 21:07:03 \r\n");
        QTest::newRow("a NUL inside") << QByteArray("QVID:1NNX\0BR99,2001/03/05 21:07:03 \r\n", 38);
        QTest::newRow("lower case") << QByteArray("QVID:1nnxbr99,2001/03/05 21:07:03 \r\n");
        QTest::newRow("bytes that are no digits")
            << QByteArray("QVID:1NN\xC3\xA9R99,2001/03/05 21:07:03 \r\n");
        QTest::newRow("empty") << QByteArray("QVID:,2001/03/05 21:07:03 \r\n");
        QTest::newRow("three damaged records") << "QVID:" + QByteArray(200, '9') + ",x\r\n"
                + QByteArray("QVID:1NN\0,x\r\n", 13) + "QVID:#,x\r\n";
    }
    void damagedLastRecordsArePassedOver()
    {
        QFETCH(QByteArray, damaged);
        QTemporaryDir folder;
        const QString log = folder.filePath("qvanto.log");
        QVERIFY(writeFileBytes(log, kGoodRecord + damaged + "    A,B,C,D\r\n\r\n"));
        QCOMPARE(stamp::LastLoggedStampId(log), QStringLiteral("1NNXBR05"));

        fakes::FakeClock clock(kStampTime);
        bas_QVanto::StampIdState state;
        QCOMPARE(stamp::IssueStamp(log, kRows, state, clock), QStringLiteral("1NNXBR06"));
    }

    // Another holder of the lock (here another open file, as another process
    // would have): the routine gives up after its bounded wait, with no
    // number and the log as it was, and works again once the lock is gone.
    // The lock is the routine's own only while it issues.
    void aLockedLogIsWaitedForOnlyBriefly()
    {
        QTemporaryDir folder;
        const QString log = folder.filePath("qvanto.log");
        QVERIFY(writeFileBytes(log, kGoodRecord));
        const int holder = ::open(QFile::encodeName(log).constData(), O_RDONLY | O_CLOEXEC);
        QVERIFY(holder >= 0);
        QCOMPARE(::flock(holder, LOCK_EX | LOCK_NB), 0);

        fakes::FakeClock clock(kStampTime);
        clock.standsStill = true; // the wait must end all the same
        bas_QVanto::StampIdState state;
        QVERIFY_THROWS_EXCEPTION(host::HostError, stamp::IssueStamp(log, kRows, state, clock));
        QVERIFY2(clock.monotonicMs() >= stamp::kStampLogLockWaitMs
                && clock.monotonicMs() <= stamp::kStampLogLockWaitMs + 100,
            qPrintable(QString::number(clock.monotonicMs())));
        QCOMPARE(readFileBytes(log), kGoodRecord);

        ::close(holder);
        QCOMPARE(stamp::IssueStamp(log, kRows, state, clock), QStringLiteral("1NNXBR06"));
        const int after = ::open(QFile::encodeName(log).constData(), O_RDONLY | O_CLOEXEC);
        QCOMPARE(::flock(after, LOCK_EX | LOCK_NB), 0);
        ::close(after);
    }

    // Processes stamping at once in one second, each with a fresh start:
    // every number is distinct and every record whole.
    void processesStampingAtOnceNeverShareANumber()
    {
        QTemporaryDir folder;
        const QString log = folder.filePath("qvanto.log");
        constexpr int kProcesses = 8;
        constexpr int kStampsEach = 150; // 1,200 numbers: within one second's 1,296
        std::vector<pid_t> children;
        for (int p = 0; p < kProcesses; ++p) {
            const pid_t child = ::fork();
            QVERIFY(child >= 0);
            if (child == 0) {
                FrozenWallClock clock;
                bas_QVanto::StampIdState state;
                int status = 0;
                for (int i = 0; i < kStampsEach; ++i) {
                    try {
                        stamp::IssueStamp(log, kRows, state, clock);
                    } catch (const std::exception &) {
                        status = 1;
                    }
                }
                ::_exit(status);
            }
            children.push_back(child);
        }
        for (pid_t child : children) {
            int status = -1;
            QCOMPARE(::waitpid(child, &status, 0), child);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        const QByteArray bytes = readFileBytes(log);
        const QStringList numbers = loggedNumbers(bytes);
        QCOMPARE(numbers.size(), kProcesses * kStampsEach);
        QCOMPARE(QSet<QString>(numbers.begin(), numbers.end()).size(), numbers.size());
        QCOMPARE(bytes.size(), numbers.size() * kGoodRecord.size());
        QCOMPARE(bytes.count("\r\n    A,B,C,D\r\n\r\n"), numbers.size());
    }
};

QTEST_MAIN(tst_IssueStamp)
#include "tst_IssueStamp.moc"
