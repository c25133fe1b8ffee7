// Reading an identification number back: its digits and the log's records.
#include "stamp/StampLookup.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

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
        for (const char *bad : {"", "1", "1nnxbr00", "1NNX-R00", "QVANTOÏD", "123456789012345"})
            QVERIFY2(!stamp::DecodeStampId(QString::fromUtf8(bad)), bad);
    }

    void findsTheLogRecords()
    {
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("qvanto.log"));
        QFile file(log);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("QVID:1NNXBR00,2001/03/05 21:07:03 \r\n    会社,部,氏名,2001.03.05\r\n\r\n"
                   "QVID:1NNXBR01,2001/03/05 21:07:03 \r\n    A,B,C,D\r\n\r\n");
        file.close();
        const QStringList records = stamp::StampRecords(log, QStringLiteral("1NNXBR00"));
        QCOMPARE(records,
            QStringList {
                QString::fromUtf8("QVID:1NNXBR00,2001/03/05 21:07:03 \n    会社,部,氏名,2001.03.05")});
        QVERIFY(stamp::StampRecords(log, QStringLiteral("1NNXBR0")).isEmpty());

        const QString found = stamp::StampLookupReport(QStringLiteral(" 1NNXBR01 "), log);
        QVERIFY(found.contains(QStringLiteral("2001/03/05 21:07:03")));
        QVERIFY(found.contains(QStringLiteral("A,B,C,D")));
        QVERIFY(
            stamp::StampLookupReport(QStringLiteral("1NNXBR05"), log).contains(QStringLiteral("ありません")));
        QVERIFY(stamp::StampLookupReport(QStringLiteral("hello"), log)
                    .contains(QStringLiteral("押印番号ではありません")));
        QVERIFY(stamp::StampLookupReport(QStringLiteral("1NNXBR00"), dir.filePath(QStringLiteral("none.log")))
                    .contains(QStringLiteral("ありません")));
    }
};

QTEST_GUILESS_MAIN(tst_StampLookup)
#include "tst_StampLookup.moc"
