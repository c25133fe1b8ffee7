// Reading an identification number back: its digits and the log's records.
#include "stamp/StampLookup.h"

#include "Files.h"
#include "StoredText.h"
#include "fakes/Sanitized.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

using support::logRecord;

namespace {
const QString kMadeAt = QStringLiteral("2001/03/05 21:07:03");
const QByteArray kFirstRecord = logRecord(u"1NNXBR00"_qs, kMadeAt, {"会社", "部", "氏名", "2001.03.05"});
} // namespace

class tst_StampLookup : public QObject {
    Q_OBJECT
private slots:
    void decodes_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QDateTime>("madeAt");
        QTest::addColumn<int>("repeat");
        QTest::newRow("2001") << "1NNXBR00" << QDateTime(QDate(2001, 3, 5), QTime(21, 7, 3)) << 0;
        QTest::newRow("2000, second in its second")
            << "11JUO001" << QDateTime(QDate(2000, 1, 1), QTime(0, 0)) << 1;
        QTest::newRow("counter only") << "01" << QDateTime(QDate(1998, 1, 1), QTime(0, 0)) << 1;
        QTest::newRow("lower case") << "1nnxbr0a" << QDateTime(QDate(2001, 3, 5), QTime(21, 7, 3)) << 10;
        QTest::newRow("last counter") << "1NNXBRZZ" << QDateTime(QDate(2001, 3, 5), QTime(21, 7, 3)) << 1295;
        QTest::newRow("seven digits")
            << "100000000"
            << QDateTime(QDate(1998, 1, 1).addDays(36LL * 36 * 36 * 36 * 36 * 36 / 86400),
                   QTime(0, 0).addSecs(int(36LL * 36 * 36 * 36 * 36 * 36 % 86400)))
            << 0;
    }
    void decodes()
    {
        QFETCH(QString, id);
        QFETCH(QDateTime, madeAt);
        QFETCH(int, repeat);
        const auto decoded = stamp::DecodeStampId(id);
        QVERIFY(decoded);
        QCOMPARE(decoded->madeAt, madeAt);
        QCOMPARE(decoded->repeatCount, repeat);
    }

    void refusesWhatIsNotANumber()
    {
        for (const char *bad : {"", "1", "1NNX-R00", "QVANTOÏD", "123456789012345"})
            QVERIFY2(!stamp::DecodeStampId(QString::fromUtf8(bad)), bad);
    }

    void findsTheLogRecords()
    {
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("qvanto.log"));
        QVERIFY(support::writeBytes(
            log, kFirstRecord + logRecord(u"1NNXBR01"_qs, kMadeAt, {"A", "B", "C", "D"})));
        const QStringList records = stamp::StampRecords(log, QStringLiteral("1NNXBR00"));
        QCOMPARE(records,
            QStringList {
                QString::fromUtf8("QVID:1NNXBR00,2001/03/05 21:07:03 \n    会社,部,氏名,2001.03.05")});
        QVERIFY(stamp::StampRecords(log, QStringLiteral("1NNXBR0")).isEmpty());

        const QDateTime now(QDate(2026, 12, 7), QTime(9, 0));
        const QString found = stamp::StampLookupReport(QStringLiteral(" 1NNXBR01 "), log, now);
        QVERIFY(found.contains(QStringLiteral("2001/03/05 21:07:03")));
        QVERIFY(found.contains(QStringLiteral("A,B,C,D")));
        QVERIFY(stamp::StampLookupReport(QStringLiteral("1NNXBR05"), log, now)
                    .contains(QStringLiteral("ありません")));
        QVERIFY(stamp::StampLookupReport(QStringLiteral("hello!"), log, now)
                    .contains(QStringLiteral("押印番号ではありません")));
        QVERIFY(stamp::StampLookupReport(
            QStringLiteral("1NNXBR00"), dir.filePath(QStringLiteral("none.log")), now)
                    .contains(QStringLiteral("ありません")));
    }

    void reportSaysWhatTheNumberIs_data()
    {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QStringList>("says");
        QTest::addColumn<QStringList>("neverSays");
        const QString future = QStringLiteral("より後の日時");
        QTest::newRow("logged") << "1NNXBR00" << QStringList {"2001/03/05 21:07:03", "会社"}
                                << QStringList {future};
        QTest::newRow("lower case") << "1nnxbr00" << QStringList {"押印番号 1NNXBR00", "会社"}
                                    << QStringList {"押印番号ではありません"};
        QTest::newRow("placeholder") << "QVANTOID" << QStringList {"仮の文字"} << QStringList {"2047"};
        QTest::newRow("placeholder, lower case") << " qvantoid" << QStringList {"仮の文字"} << QStringList {};
        QTest::newRow("a second after now")
            << "F3L7O100" << QStringList {future, "2026/12/07 09:00:01"} << QStringList {};
        QTest::newRow("now") << "F3L7O000" << QStringList {"2026/12/07 09:00:00"} << QStringList {future};
    }
    void reportSaysWhatTheNumberIs()
    {
        QFETCH(QString, id);
        QFETCH(QStringList, says);
        QFETCH(QStringList, neverSays);
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("qvanto.log"));
        QVERIFY(support::writeBytes(log, kFirstRecord));
        const QString report = stamp::StampLookupReport(id, log, QDateTime(QDate(2026, 12, 7), QTime(9, 0)));
        for (const QString &text : says)
            QVERIFY2(report.contains(text), qPrintable(report));
        for (const QString &text : neverSays)
            QVERIFY2(!report.contains(text), qPrintable(report));
    }

    void readsTheWholeLogAsAStream()
    {
        // 80 MiB: a record, a hole that reads as NUL bytes with no line end,
        // a record. Sparse, so cheap to make.
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("qvanto.log"));
        QFile file(log);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("QVID:1NNXBR00,2001/03/05 21:07:03 \r\n    A,B,C,D\r\n\r\n");
        QVERIFY(file.resize(80LL * 1024 * 1024));
        QVERIFY(file.seek(file.size()));
        file.write("\r\nQVID:F3L7O000,2026/12/07 09:00:00 \r\n    E,F,G,H\r\n\r\n");
        file.close();

        const std::optional<qint64> peakBefore = support::procSelfFigure("status", "VmHWM:");
        QCOMPARE(stamp::StampRecords(log, QStringLiteral("f3l7o000")),
            QStringList {QStringLiteral("QVID:F3L7O000,2026/12/07 09:00:00 \n    E,F,G,H")});
        QCOMPARE(stamp::StampRecords(log, QStringLiteral("1NNXBR00")).size(), 1);
        const std::optional<qint64> peakAfter = support::procSelfFigure("status", "VmHWM:");
        QVERIFY2(peakBefore && peakAfter, "no VmHWM in /proc/self/status");
        const qint64 grownKiB = *peakAfter - *peakBefore;
        QVERIFY2(fakes::kSanitized || grownKiB < 16 * 1024,
            qPrintable(QStringLiteral("peak memory grew by %1 KiB").arg(grownKiB)));
    }

    void onlyARegularFileIsRead()
    {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(QStringLiteral("qvanto.log"));
        QVERIFY(::mkfifo(QFile::encodeName(fifo).constData(), 0600) == 0);
        // Would wait for a writer for ever.
        QVERIFY(stamp::StampRecords(fifo, QStringLiteral("1NNXBR00")).isEmpty());
    }
};

QTEST_GUILESS_MAIN(tst_StampLookup)
#include "tst_StampLookup.moc"
