// Looking many numbers up at once: one pass over the log, every record
// found, a reading that can be stopped.
#include "stamp/FindStampRecords.h"
#include "stamp/LogLines.h"
#include "stamp/LookUpRows.h"

#include "Files.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString numberOf(int i)
{
    return QStringLiteral("1NN%1").arg(i, 5, 36, QLatin1Char('0')).toUpper();
}

QByteArray record(const QString &number, int i)
{
    return "QVID:" + number.toLatin1() + ",2001/03/05 21:07:03 \r\n    A,B,C," + QByteArray::number(i)
        + "\r\n\r\n";
}

QString writeLog(const QTemporaryDir &dir, const QByteArray &bytes)
{
    QFile file(dir.filePath(QStringLiteral("qvanto.log")));
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
        ? file.fileName()
        : QString();
}

constexpr int kLogged = 10000;
constexpr qint64 kHoleBytes = 64LL * 1024 * 1024;

// kLogged records, half before and half after a hole of NUL bytes, as a log
// grown for years would spread them.
QString writeLargeLog(const QTemporaryDir &dir)
{
    const QString path = dir.filePath(QStringLiteral("qvanto.log"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    for (int i = 0; i < kLogged / 2; ++i)
        file.write(record(numberOf(i), i));
    file.write("\r\n");
    if (!file.resize(file.size() + kHoleBytes) || !file.seek(file.size()))
        return {};
    file.write("\r\n");
    for (int i = kLogged / 2; i < kLogged; ++i)
        file.write(record(numberOf(i), i));
    return file.flush() ? path : QString();
}

} // namespace

class tst_FindStampRecords : public QObject {
    Q_OBJECT
private slots:
    void findsEveryNumberInOnePass()
    {
        QTemporaryDir dir;
        const QString log = writeLargeLog(dir);
        QVERIFY(!log.isEmpty());
        QSet<QString> wanted;
        for (int i = 0; i < kLogged; ++i)
            wanted.insert(i % 2 ? numberOf(i) : numberOf(i).toLower());
        for (int i = kLogged; i < kLogged + 100; ++i)
            wanted.insert(numberOf(i));
        qint64 lastDone = -1;
        qint64 lastTotal = -1;
        stamp::LogReadControl control;
        control.progress = [&](qint64 done, qint64 total) {
            QVERIFY(done >= lastDone);
            lastDone = done;
            lastTotal = total;
        };

        const std::optional<qint64> before = support::procSelfFigure("io", "rchar:");
        QVERIFY2(before, "/proc/self/io cannot be read: bytes read cannot be counted");
        const stamp::FoundRecords found = stamp::FindStampRecords(log, wanted, control);
        const std::optional<qint64> after = support::procSelfFigure("io", "rchar:");
        QVERIFY(after);
        const qint64 read = *after - *before;

        const qint64 size = QFileInfo(log).size();
        QVERIFY2(read >= size && read < size + 4 * 1024 * 1024,
            qPrintable(QStringLiteral("read %1 bytes of a log of %2").arg(read).arg(size)));
        QVERIFY(!found.cancelled);
        QCOMPARE(found.records.size(), kLogged);
        for (int i = 0; i < kLogged; ++i) {
            const QStringList records = found.records.value(numberOf(i));
            QCOMPARE(records.size(), 1);
            QCOMPARE(
                records[0], QString::fromLatin1(record(numberOf(i), i).replace("\r\n", "\n").chopped(2)));
        }
        QCOMPARE(lastDone, size);
        QCOMPARE(lastTotal, size);
    }

    void stopsWhenCancelled()
    {
        QTemporaryDir dir;
        const QString log = writeLargeLog(dir);
        QVERIFY(!log.isEmpty());
        std::atomic_bool cancel = false;
        stamp::LogReadControl control;
        control.cancel = &cancel;
        control.progress = [&](qint64, qint64) { cancel = true; };

        const std::optional<qint64> before = support::procSelfFigure("io", "rchar:");
        QVERIFY2(before, "/proc/self/io cannot be read: bytes read cannot be counted");
        const stamp::FoundRecords found = stamp::FindStampRecords(log, {numberOf(kLogged - 1)}, control);
        const std::optional<qint64> after = support::procSelfFigure("io", "rchar:");
        QVERIFY(after);
        const qint64 read = *after - *before;

        QVERIFY(found.cancelled);
        QVERIFY(found.records.isEmpty());
        QVERIFY2(read < kHoleBytes / 4, qPrintable(QStringLiteral("read %1 bytes").arg(read)));
    }

    // What counts as a record of a number, and what a look-up row says.
    void matchesWholeNumbersOnly_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QString>("asked");
        QTest::addColumn<QStringList>("records");
        const QByteArray two = "QVID:1NNXBR00,t \r\n    A\r\n\r\nQVID:1NNXBR001,t \r\n    B\r\n\r\n";
        QTest::newRow("whole number") << two << "1NNXBR00" << QStringList {"QVID:1NNXBR00,t \n    A"};
        QTest::newRow("longer number") << two << "1NNXBR001" << QStringList {"QVID:1NNXBR001,t \n    B"};
        QTest::newRow("a prefix is none") << two << "1NNXBR0" << QStringList {};
        QTest::newRow("spaces and lower case")
            << two << " 1nnxbr00 " << QStringList {"QVID:1NNXBR00,t \n    A"};
        QTest::newRow("line ends LF")
            << QByteArray("QVID:1NNXBR00,t\n    A\n") << "1NNXBR00" << QStringList {"QVID:1NNXBR00,t\n    A"};
        QTest::newRow("no comma: no record")
            << QByteArray("QVID:1NNXBR00\r\n    A\r\n") << "1NNXBR00" << QStringList {};
        QTest::newRow("last line, no second")
            << QByteArray("QVID:1NNXBR00,t") << "1NNXBR00" << QStringList {"QVID:1NNXBR00,t"};
        QTest::newRow("logged twice")
            << two + two << "1NNXBR00" << QStringList {"QVID:1NNXBR00,t \n    A", "QVID:1NNXBR00,t \n    A"};
        QTest::newRow("inside a row")
            << QByteArray("    QVID:1NNXBR00,x\r\n") << "1NNXBR00" << QStringList {};
    }
    void matchesWholeNumbersOnly()
    {
        QFETCH(QByteArray, log);
        QFETCH(QString, asked);
        QFETCH(QStringList, records);
        QTemporaryDir dir;
        const QString path = writeLog(dir, log);
        QVERIFY(!path.isEmpty());
        const stamp::LookUpAnswer answer = stamp::LookUpNumbers({{3, asked}}, path);
        QCOMPARE(answer.rows.size(), size_t(1));
        QCOMPARE(answer.rows[0].records, records);
        QCOMPARE(answer.allLogged(), !records.isEmpty());
        const QString summary = stamp::LookUpRowSummary(answer.rows[0]);
        QVERIFY2(summary.startsWith(QStringLiteral("3 ページ  %1  ").arg(asked.trimmed().toUpper()))
                && summary.endsWith(records.isEmpty() ? "ログになし" : "ログにあり"),
            qPrintable(summary));
    }

    // A record's first line is found by scanning each block read: wherever
    // the block's end cuts it (marker, number, comma or line end), or cuts a
    // look-alike inside a row, the records are those a line-by-line reading
    // gives.
    void recordsAcrossABlockEnd_data()
    {
        QTest::addColumn<QByteArray>("log");
        QTest::addColumn<QStringList>("records");
        const QByteArray record = "QVID:1NNXBR00,t \r\n    A\r\n";
        const QStringList found {"QVID:1NNXBR00,t \n    A"};
        const qint64 block = stamp::LogLines::kBlockBytes;
        for (int cut = 0; cut <= 17; ++cut) {
            // A padding line that ends `cut` bytes before the block's end.
            const QByteArray pad = QByteArray(block - cut - 2, 'x') + "\r\n";
            QTest::addRow("record cut %d bytes in", cut) << pad + record + record << (found + found);
            QTest::addRow("LF only, cut %d bytes in", cut) << QByteArray(pad).replace("\r\n", "\n")
                    + "QVID:1NNXBR00,t \n    A\n" << QStringList {"QVID:1NNXBR00,t \n    A"};
            QTest::addRow("longer number cut %d bytes in", cut)
                << pad + "QVID:1NNXBR001,t \r\n    B\r\n" + record << found;
            QTest::addRow("inside a row cut %d bytes in", cut)
                << QByteArray(block - cut - 4, 'x') + "  " + record + record << found;
            QTest::addRow("last line, cut %d bytes in", cut)
                << pad + record.first(qMin<qsizetype>(cut + 3, 15))
                << (cut + 3 >= 14 ? QStringList {QString::fromLatin1(record.first(qMin(cut + 3, 15)))}
                                  : QStringList {});
        }
        QTest::newRow("a line longer than any record")
            << QByteArray(3 * block, 'x') + "QVID:1NNXBR00,\r\n" + record << found;
    }
    void recordsAcrossABlockEnd()
    {
        QFETCH(QByteArray, log);
        QFETCH(QStringList, records);
        QTemporaryDir dir;
        const QString path = writeLog(dir, log);
        QVERIFY(!path.isEmpty());
        const stamp::FoundRecords found = stamp::FindStampRecords(path, {"1NNXBR00", "X,Y"});
        QCOMPARE(found.records.value("1NNXBR00"), records);
        QCOMPARE(found.records.size(), records.isEmpty() ? 0 : 1);
    }

    void rowsKeepTheOrderAsked()
    {
        QTemporaryDir dir;
        QFile file(dir.filePath(QStringLiteral("qvanto.log")));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("QVID:1NNXBR01,t\r\n    B\r\n\r\nQVID:1NNXBR00,t\r\n    A\r\n\r\n");
        file.close();
        const stamp::LookUpAnswer answer = stamp::LookUpNumbers(
            {{1, "1NNXBR00"}, {1, "not-a-number"}, {2, "1NNXBR01"}, {2, "1NNXBR00"}}, file.fileName());
        QCOMPARE(answer.rows.size(), size_t(4));
        QCOMPARE(answer.rows[1].madeAt, QStringLiteral("押印番号ではありません"));
        QVERIFY(answer.rows[1].records.isEmpty());
        QCOMPARE(answer.rows[2].records, QStringList {"QVID:1NNXBR01,t\n    B"});
        QCOMPARE(answer.rows[0].records, answer.rows[3].records);
        QVERIFY(!answer.allLogged());
        QVERIFY(!stamp::LookUpNumbers({}, file.fileName()).allLogged());
    }
};

QTEST_GUILESS_MAIN(tst_FindStampRecords)
#include "tst_FindStampRecords.moc"
