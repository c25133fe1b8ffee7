// Number conversion and formatting, and the codec of the program's text files.
#include "host/AppInfo.h"
#include "host/Conversions.h"
#include "host/HostError.h"
#include "host/SystemCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class tst_Conversions : public QObject {
    Q_OBJECT
private slots:
    void textToNumber()
    {
        QCOMPARE(host::toDouble(QStringLiteral(" 2000 ")), 2000.0);
        QCOMPARE(host::toDouble(QStringLiteral("1.5")), 1.5);
        QCOMPARE(host::toLong(QStringLiteral(" 255 ")), 255);
        QCOMPARE(host::toLong(QStringLiteral("2.5")), 2); // half to even
        QCOMPARE(host::toLong(QStringLiteral("3.5")), 4);
        QCOMPARE(host::toLong(QStringLiteral("-16777216")), -16777216);
        QCOMPARE(host::toInteger(QStringLiteral("2")), qint16(2));
        for (const char *bad : {"", " ", "abc", "12x", "nan", "inf"})
            QVERIFY_THROWS_EXCEPTION(host::HostError, host::toDouble(QString::fromLatin1(bad)));
        QVERIFY_THROWS_EXCEPTION(host::HostError, host::toLong(QStringLiteral("2147483648")));
        QVERIFY_THROWS_EXCEPTION(host::HostError, host::toInteger(QStringLiteral("32768")));
        QCOMPARE(host::toInteger(QStringLiteral("-32768")), qint16(-32768));
    }

    void numberToText_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("digits");
        QTest::addColumn<QString>("expected");
        QTest::newRow("year") << "2000" << 4 << "2000";
        QTest::newRow("short year") << "7" << 4 << "0007";
        QTest::newRow("long year") << "12345" << 4 << "12345";
        QTest::newRow("month") << "1" << 2 << "01";
        QTest::newRow("long month") << "123" << 2 << "123";
        QTest::newRow("fraction rounds") << "1.5" << 2 << "02";
        QTest::newRow("negative") << "-5" << 4 << "-0005";
        QTest::newRow("not a number") << "Text1" << 4 << "Text1";
        QTest::newRow("empty") << "" << 2 << "";
    }
    void numberToText()
    {
        QFETCH(QString, text);
        QFETCH(int, digits);
        QFETCH(QString, expected);
        QCOMPARE(host::zeroPadded(text, digits), expected);
    }

    void printAndShortestForms()
    {
        QCOMPARE(host::printNumber(255), QStringLiteral(" 255 "));
        QCOMPARE(host::printNumber(0), QStringLiteral(" 0 "));
        QCOMPARE(host::printNumber(-5), QStringLiteral("-5 "));
        QCOMPARE(host::shortestText(2), QStringLiteral("2"));
        QCOMPARE(host::shortestText(2.5), QStringLiteral("2.5"));
        QCOMPARE(host::shortestText(-1), QStringLiteral("-1"));
    }

    void fileBesideProgram()
    {
        host::AppInfo app;
        app.Path = QStringLiteral("/opt/tools");
        QCOMPARE(
            app.fileBesideProgram(QStringLiteral("qvanto.log")), QStringLiteral("/opt/tools/qvanto.log"));
        app.Path = QStringLiteral("/");
        QCOMPARE(app.fileBesideProgram(QStringLiteral("qvanto.log")), QStringLiteral("/qvanto.log"));
    }

    void dataFolderOfPortableAndInstalledCopies()
    {
        QTemporaryDir program, user;
        const QString userFolder = user.filePath(QStringLiteral("QVanto"));
        using host::AppInfo;
        // A folder the user can write keeps the files beside the program.
        QCOMPARE(AppInfo::chooseDataPath(program.path(), QStringLiteral("qvanto"), QString(), userFolder),
            program.path());
        // An installed copy keeps them in the user's folder, made on demand.
        QCOMPARE(
            AppInfo::chooseDataPath(program.path(), QStringLiteral("qvanto"), program.path(), userFolder),
            QDir::toNativeSeparators(userFolder));
        QVERIFY(QFileInfo(userFolder).isDir());
        // ...unless it already keeps its settings beside itself.
        QFile ini(program.filePath(QStringLiteral("qvanto.ini")));
        QVERIFY(ini.open(QIODevice::WriteOnly));
        ini.close();
        QCOMPARE(
            AppInfo::chooseDataPath(program.path(), QStringLiteral("qvanto"), program.path(), userFolder),
            program.path());

        AppInfo app;
        app.Path = program.path();
        QCOMPARE(
            app.dataFile(QStringLiteral("qvanto.log")), app.fileBesideProgram(QStringLiteral("qvanto.log")));
        app.DataPath = userFolder;
        QCOMPARE(app.dataFile(QStringLiteral("qvanto.log")),
            QDir(userFolder).filePath(QStringLiteral("qvanto.log")));
    }

    void textFilesReadUtf8BomAndShiftJis()
    {
        const QString text = QStringLiteral("label0,会 社 名,ＭＳ Ｐゴシック①～");
        QCOMPARE(host::decodeTextFile(text.toUtf8()), text);
        QCOMPARE(host::decodeTextFile(QByteArray("\xEF\xBB\xBF") + text.toUtf8()), text);
        // "会社" in Shift_JIS (CP932)
        QCOMPARE(host::decodeTextFile(QByteArray("\x89\xEF\x8E\xD0")), QStringLiteral("会社"));
        QCOMPARE(host::decodeSystemText(host::encodeSystemText(text)), text);
    }
};

QTEST_MAIN(tst_Conversions)
#include "tst_Conversions.moc"
