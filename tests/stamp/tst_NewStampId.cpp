#include "fakes/FakeClock.h"
#include "host/HostError.h"
#include "stamp/NewStampId.h"

#include <QTest>

using bas_QVanto::NewStampId;
using bas_QVanto::StampIdState;

class TestNewStampId : public QObject {
    Q_OBJECT

private slots:
    void numbersFromTheClock_data();
    void numbersFromTheClock();
    void waitsForTheNextSecondWhenTheCounterIsUsedUp();
    void givesUpWhenTheClockStandsStill();
    void neverRepeatsANumber_data();
    void neverRepeatsANumber();
    void readsDateAndTimeAsOneInstant();
};

// The clock's reading, free of the machine's time zone: an hour back is the
// same wall-clock hour anywhere, summer time ending or not.
static QDateTime at(int y, int mo, int d, int h, int mi, int s, int ms = 0)
{
    return fakes::FakeClock::asShown(QDateTime(QDate(y, mo, d), QTime(h, mi, s, ms)));
}

void TestNewStampId::numbersFromTheClock_data()
{
    QTest::addColumn<QDateTime>("when");
    QTest::addColumn<QString>("first");
    QTest::addColumn<QString>("second");

    QTest::newRow("2000") << at(2000, 1, 1, 0, 0, 0) << "11JUO000"
                          << "11JUO001";
    QTest::newRow("evening") << at(2001, 3, 5, 21, 7, 3) << "1NNXBR00"
                             << "1NNXBR01";
    QTest::newRow("first six digits") << at(1999, 12, 1, 20, 9, 36) << "10000000"
                                      << "10000001";
    QTest::newRow("one second in") << at(1998, 1, 1, 0, 0, 1) << "100"
                                   << "101";
    // An empty time part equals the empty initial one, so the first counter is 01.
    QTest::newRow("at the start") << at(1998, 1, 1, 0, 0, 0) << "01"
                                  << "02";
    QTest::newRow("before the start") << at(1997, 6, 1, 12, 0, 0) << "01"
                                      << "02";
    // 63072000 is even: its half stays; 63072001 is odd: its half goes up.
    QTest::newRow("half after even") << at(2000, 1, 1, 0, 0, 0, 500) << "11JUO000"
                                     << "11JUO001";
    QTest::newRow("half after odd") << at(2000, 1, 1, 0, 0, 1, 500) << "11JUO200"
                                    << "11JUO201";
    QTest::newRow("just below half") << at(2000, 1, 1, 0, 0, 1, 499) << "11JUO100"
                                     << "11JUO101";
    QTest::newRow("just above half") << at(2000, 1, 1, 0, 0, 0, 501) << "11JUO100"
                                     << "11JUO101";
    // Past the largest 32-bit count the seconds go on counting.
    QTest::newRow("last 32-bit second") << at(2066, 1, 19, 3, 14, 7) << "ZIK0ZJ00"
                                        << "ZIK0ZJ01";
    QTest::newRow("after 32 bits") << at(2066, 1, 19, 3, 14, 8) << "ZIK0ZK00"
                                   << "ZIK0ZK01";
    QTest::newRow("seven digits") << at(2066, 12, 24, 5, 45, 36) << "100000000"
                                  << "100000001";
}

void TestNewStampId::numbersFromTheClock()
{
    QFETCH(QDateTime, when);
    QFETCH(QString, first);
    QFETCH(QString, second);

    fakes::FakeClock clock(when);
    StampIdState state;
    QCOMPARE(NewStampId(state, clock), first);
    QCOMPARE(NewStampId(state, clock), second);
}

void TestNewStampId::waitsForTheNextSecondWhenTheCounterIsUsedUp()
{
    fakes::FakeClock clock(at(2000, 1, 1, 0, 0, 0));
    StampIdState state;
    for (int i = 0; i < 1295; ++i)
        NewStampId(state, clock);
    QCOMPARE(NewStampId(state, clock), QStringLiteral("11JUO0ZZ"));

    const int readsBefore = clock.reads;
    QCOMPARE(NewStampId(state, clock), QStringLiteral("11JUO100"));
    // 0.5 s still rounds to the old second; 0.501 s is the next one.
    QCOMPARE(clock.monotonicMs(), 501);
    // Paused between readings of the clock rather than spinning on it.
    QVERIFY(clock.reads - readsBefore <= 2 * (clock.pauses + 1));
}

void TestNewStampId::givesUpWhenTheClockStandsStill()
{
    fakes::FakeClock clock(at(2000, 1, 1, 0, 0, 0));
    clock.standsStill = true;
    StampIdState state {QStringLiteral("11JUO0"), 1295};

    QVERIFY_THROWS_EXCEPTION(host::HostError, NewStampId(state, clock));
    QVERIFY(clock.monotonicMs() >= 2000 && clock.monotonicMs() <= 2100);

    // Once the clock moves again, numbering resumes.
    clock.set(at(2000, 1, 1, 0, 0, 1));
    QCOMPARE(NewStampId(state, clock), QStringLiteral("11JUO100"));
}

void TestNewStampId::neverRepeatsANumber_data()
{
    QTest::addColumn<QString>("lastIssued");
    QTest::addColumn<QList<QDateTime>>("times");
    QTest::addColumn<QStringList>("numbers");

    const QDateTime twoThirty = at(2026, 10, 25, 2, 30, 0);
    const QList<QDateTime> stepBack {twoThirty, twoThirty.addSecs(-1), twoThirty, twoThirty.addSecs(1)};
    QTest::newRow("clock steps back a second")
        << QString() << stepBack << QStringList {"F1D2Y000", "F1D2Y001", "F1D2Y002", "F1D2Y100"};
    // Summer time ends: the same hour comes round again.
    QTest::newRow("clock steps back an hour")
        << QString() << QList<QDateTime> {twoThirty, twoThirty.addSecs(-3600), twoThirty.addSecs(-3599)}
        << QStringList {"F1D2Y000", "F1D2Y001", "F1D2Y002"};
    QTest::newRow("restart in the same second")
        << "11JUO000" << QList<QDateTime> {at(2000, 1, 1, 0, 0, 0)} << QStringList {"11JUO001"};
    QTest::newRow("restart before 1998")
        << "05" << QList<QDateTime> {at(1997, 6, 1, 12, 0, 0)} << QStringList {"06"};
    QTest::newRow("behind the clock, counter used up")
        << "F1D2Y0ZZ" << QList<QDateTime> {twoThirty.addSecs(-10)} << QStringList {"F1D2Y100"};
    QTest::newRow("the carry runs through the time part")
        << "F1D2ZZZZ" << QList<QDateTime> {twoThirty} << QStringList {"F1D30000"};
    QTest::newRow("a longer number is the greater")
        << "100000000" << QList<QDateTime> {at(2066, 12, 24, 5, 45, 35)} << QStringList {"100000001"};
    // An older number changes nothing: the clock's own numbers follow.
    QTest::newRow("older number") << "11JUO000" << QList<QDateTime> {at(2001, 3, 5, 21, 7, 3)}
                                  << QStringList {"1NNXBR00"};
    for (const char *notANumber : {"QVANTOID", "1nnxbr00", "1NNX-R00", "", "Z"})
        QTest::newRow(qPrintable(QStringLiteral("not a number: '%1'").arg(QLatin1String(notANumber))))
            << QString::fromLatin1(notANumber) << QList<QDateTime> {at(2001, 3, 5, 21, 7, 3)}
            << QStringList {"1NNXBR00"};
}

void TestNewStampId::neverRepeatsANumber()
{
    QFETCH(QString, lastIssued);
    QFETCH(QList<QDateTime>, times);
    QFETCH(QStringList, numbers);

    fakes::FakeClock clock;
    StampIdState state;
    bas_QVanto::ContinueAfter(state, lastIssued);
    QStringList made;
    for (const QDateTime &when : times) {
        clock.set(when);
        made << NewStampId(state, clock);
    }
    QCOMPARE(made, numbers);
}

void TestNewStampId::readsDateAndTimeAsOneInstant()
{
    // Read apart, the date would be the old day's and the time the new
    // day's: a number from the start of the day that is ending.
    fakes::FakeClock clock(at(2000, 1, 1, 23, 59, 59, 999));
    clock.stepPerReadMs = 1;
    StampIdState state;
    QCOMPARE(NewStampId(state, clock), QStringLiteral("11LPC000"));
}

QTEST_GUILESS_MAIN(TestNewStampId)
#include "tst_NewStampId.moc"
