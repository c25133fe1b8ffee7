// The files the office registry reads and keeps on the desk: the queue of
// records waiting for the server, and where the connection string is found.
#include "host/AppInfo.h"
#include "registry/OpenRegistry.h"
#include "stamp/RegistryQueue.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimeZone>

#include <sys/stat.h>

using stamp::RegistryRecord;

class tst_RegistryFiles : public QObject {
    Q_OBJECT
private slots:
    void queueKeepsWholeRecordsOnly_data()
    {
        QTest::addColumn<QByteArray>("tail");
        QTest::addColumn<int>("records");
        QTest::newRow("nothing more") << QByteArray() << 2;
        QTest::newRow("a record cut short") << QByteArray("{\"number\":\"1NN") << 2;
        QTest::newRow("a damaged line") << QByteArray("\x01garbage\n") << 2;
        QTest::newRow("an empty line") << QByteArray("\n") << 2;
        QTest::newRow("a record without number") << QByteArray("{\"kind\":\"PDF\"}\n") << 2;
    }
    void queueKeepsWholeRecordsOnly()
    {
        QFETCH(QByteArray, tail);
        QFETCH(int, records);
        RegistryRecord stamp;
        stamp.number = "1NNXBR00";
        stamp.stampedAt = QDateTime(QDate(2026, 12, 7), QTime(10, 0, 0), QTimeZone(9 * 3600));
        stamp.desk = "desk-1";
        // Texts a line-based file must not be cut by.
        stamp.rows = {"会社,名", "部\n課", "\"氏名\"", "2026.12.7"};
        stamp.kind = "押印";
        RegistryRecord hash;
        hash.type = RegistryRecord::Type::Document;
        hash.number = "1NNXBR00";
        hash.documentSha256 = QByteArray(64, 'a');
        const std::vector<RegistryRecord> read
            = stamp::DecodeQueue(stamp::EncodeQueued(stamp) + stamp::EncodeQueued(hash) + tail);
        QCOMPARE(int(read.size()), records);
        QCOMPARE(read[0].rows, stamp.rows);
        QCOMPARE(read[0].stampedAt, stamp.stampedAt);
        QCOMPARE(read[0].stampedAt.offsetFromUtc(), 9 * 3600);
        QCOMPARE(read[1].type, RegistryRecord::Type::Document);
        QCOMPARE(read[1].documentSha256, hash.documentSha256);
    }

    void queueBesideTheLog()
    {
        QCOMPARE(stamp::RegistryQueuePath("/home/a/.local/share/QVanto/qvanto.log"),
            QString("/home/a/.local/share/QVanto/qvanto.queue"));
    }

    void connectionInFile_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<QString>("connection");
        QTest::newRow("one line") << QByteArray("host=db user=a\n") << "host=db user=a";
        QTest::newRow("comments first") << QByteArray("# office\n\n  host=db  \r\n") << "host=db";
        QTest::newRow("only comments") << QByteArray("# none\n") << "";
        QTest::newRow("empty") << QByteArray() << "";
    }
    void connectionInFile()
    {
        QFETCH(QByteArray, contents);
        QFETCH(QString, connection);
        QCOMPARE(registry::ConnectionInFile(contents), connection);
    }

    // The data folder's registry.conf is read only from a folder no one else
    // can write; the variable comes first, the system file last.
    void whereTheRegistryIs_data()
    {
        QTest::addColumn<QString>("variable");
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<QString>("expected");
        QTest::newRow("own folder") << "" << 0700 << "dbname=own";
        QTest::newRow("folder others can write") << "" << 0777 << "dbname=system";
        QTest::newRow("the variable first") << "dbname=variable" << 0700 << "dbname=variable";
    }
    void whereTheRegistryIs()
    {
        QFETCH(QString, variable);
        QFETCH(int, folderMode);
        QFETCH(QString, expected);
        QTemporaryDir dir;
        const QString data = dir.filePath("data");
        QVERIFY(QDir().mkdir(data));
        QVERIFY(::chmod(QFile::encodeName(data).constData(), mode_t(folderMode)) == 0);
        QFile own(data + "/registry.conf");
        QVERIFY(own.open(QIODevice::WriteOnly));
        own.write("dbname=own\n");
        own.close();
        QFile system(dir.filePath("system.conf"));
        QVERIFY(system.open(QIODevice::WriteOnly));
        system.write("dbname=system\n");
        system.close();
        qputenv("QVANTO_REGISTRY", variable.toUtf8());
        host::AppInfo app;
        app.Path = app.DataPath = data;
        QCOMPARE(registry::ConfiguredRegistry(app, system.fileName()), expected);
        qunsetenv("QVANTO_REGISTRY");
    }
};

QTEST_GUILESS_MAIN(tst_RegistryFiles)
#include "tst_RegistryFiles.moc"
