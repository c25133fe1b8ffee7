// Number conversion and formatting, the codec of the program's text files,
// and where the program keeps its files.
#include "host/AppInfo.h"
#include "host/Conversions.h"
#include "host/HostError.h"
#include "host/PrivateFolder.h"
#include "host/SystemCodec.h"

#include "Requirement.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

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

    void dataFolderOfPortableAndInstalledCopies_data()
    {
        QTest::addColumn<int>("parentMode");
        QTest::addColumn<int>("programMode");
        QTest::addColumn<bool>("othersFolder");
        QTest::addColumn<bool>("installed");
        QTest::addColumn<bool>("ownSettings");
        QTest::addColumn<bool>("beside");
        QTest::newRow("private folder") << 0755 << 0755 << false << false << false << true;
        QTest::newRow("group may write") << 0755 << 0775 << false << false << false << false;
        QTest::newRow("all may write") << 0755 << 0777 << false << false << true << false;
        QTest::newRow("all may write, sticky") << 0755 << 01777 << false << false << true << false;
        QTest::newRow("another user's folder") << 0755 << 0755 << true << false << true << false;
        QTest::newRow("folder above open to all") << 0777 << 0755 << false << false << false << false;
        QTest::newRow("folder above open to all, sticky") << 01777 << 0755 << false << false << false << true;
        QTest::newRow("installed") << 0755 << 0755 << false << true << false << false;
        QTest::newRow("installed, settings beside it") << 0755 << 0755 << false << true << true << true;
    }
    void dataFolderOfPortableAndInstalledCopies()
    {
        QFETCH(int, parentMode);
        QFETCH(int, programMode);
        QFETCH(bool, othersFolder);
        QFETCH(bool, installed);
        QFETCH(bool, ownSettings);
        QFETCH(bool, beside);
        using host::AppInfo;
        QTemporaryDir scratch, user;
        QVANTO_REQUIRE(host::onlyUserCanWrite(scratch.path()),
            "The temporary folder is open to others, so no copy in it keeps its files beside itself.");
        QVANTO_REQUIRE(!othersFolder || ::geteuid() == 0, "Only root can give a folder to another user.");
        const QString parent = scratch.filePath(QStringLiteral("shared"));
        const QString program = parent + QStringLiteral("/program");
        QVERIFY(QDir().mkpath(program));
        if (ownSettings)
            QVERIFY(QFile(program + QStringLiteral("/qvanto.ini")).open(QIODevice::WriteOnly));
        QCOMPARE(::chmod(QFile::encodeName(program).constData(), mode_t(programMode)), 0);
        QCOMPARE(::chmod(QFile::encodeName(parent).constData(), mode_t(parentMode)), 0);
        if (othersFolder)
            QCOMPARE(::chown(QFile::encodeName(program).constData(), 4242, 4242), 0);

        const QString userFolder = user.filePath(QStringLiteral("QVanto"));
        const QString chosen = AppInfo::chooseDataPath(
            program, QStringLiteral("qvanto"), installed ? program : QString(), userFolder);
        QCOMPARE(chosen, beside ? program : QDir::toNativeSeparators(userFolder));
        // The user's folder is made on demand.
        QCOMPARE(QFileInfo(userFolder).isDir(), !beside);

        AppInfo app;
        app.Path = program;
        QCOMPARE(
            app.dataFile(QStringLiteral("qvanto.log")), app.fileBesideProgram(QStringLiteral("qvanto.log")));
        app.DataPath = userFolder;
        QCOMPARE(app.dataFile(QStringLiteral("qvanto.log")),
            QDir(userFolder).filePath(QStringLiteral("qvanto.log")));
    }

    void dataFolderFromTheEnvironment_data()
    {
        // Null: the variable is unset. "~" stands for the test's home,
        // "<passwd>" for the home the password database gives.
        QTest::addColumn<QString>("dataHome");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<bool>("kept");
        const QString unset;
        QTest::newRow("XDG_DATA_HOME") << u"~/data"_qs << u"~"_qs << u"~/data/QVanto"_qs << true;
        QTest::newRow("relative XDG_DATA_HOME is ignored")
            << u"data"_qs << u"~"_qs << u"~/.local/share/QVanto"_qs << true;
        QTest::newRow("empty XDG_DATA_HOME") << u""_qs << u"~"_qs << u"~/.local/share/QVanto"_qs << true;
        QTest::newRow("HOME unset") << unset << unset << u"<passwd>/.local/share/QVanto"_qs << true;
        QTest::newRow("relative HOME") << unset << u"home"_qs << u"<passwd>/.local/share/QVanto"_qs << true;
        QTest::newRow("no folder can be made")
            << u"~/file/data"_qs << u"~"_qs << u"~/file/data/QVanto"_qs << false;
    }
    void dataFolderFromTheEnvironment()
    {
        QFETCH(QString, dataHome);
        QFETCH(QString, home);
        QFETCH(QString, expected);
        QFETCH(bool, kept);
        QTemporaryDir scratch;
        const QString testHome = scratch.filePath(QStringLiteral("home"));
        QVERIFY(QDir().mkpath(testHome));
        QVERIFY(QFile(testHome + QStringLiteral("/file")).open(QIODevice::WriteOnly));
        const passwd *entry = ::getpwuid(::geteuid());
        QVERIFY(entry);
        const auto place = [&](QString text) {
            return text.replace(QStringLiteral("<passwd>"), QFile::decodeName(entry->pw_dir))
                .replace(QLatin1Char('~'), testHome);
        };
        const QByteArray savedHome = qgetenv("HOME"), savedDataHome = qgetenv("XDG_DATA_HOME");
        const auto setOrUnset = [](const char *name, const QString &value) {
            value.isNull() ? qunsetenv(name) : qputenv(name, QFile::encodeName(value));
        };
        setOrUnset("HOME", home.isNull() ? home : place(home));
        setOrUnset("XDG_DATA_HOME", dataHome.isNull() ? dataHome : place(dataHome));
        const QString folder = host::AppInfo::userDataFolder();
        qputenv("HOME", savedHome);
        savedDataHome.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", savedDataHome);
        QCOMPARE(folder, place(expected));

        // Never made outside the test's folder.
        if (!folder.startsWith(scratch.path()))
            return;
        const QString shared = scratch.filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(shared));
        QVERIFY(QFile::setPermissions(shared, QFileDevice::Permissions(0x7777)));
        const QString chosen = host::AppInfo::chooseDataPath(shared, QStringLiteral("qvanto"), {}, folder);
        QCOMPARE(chosen, folder);
        QCOMPARE(host::AppInfo::canKeepFilesIn(chosen, QStringLiteral("qvanto")), kept);
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
