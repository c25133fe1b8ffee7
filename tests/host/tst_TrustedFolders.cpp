// Folders the program trusts with the user's files and with code: a data
// folder others can write is not used and nothing is made in it; modules
// are looked for beside the program only, never where the program was built.
#include "OtherUser.h"

#include "host/AppInfo.h"
#include "host/Module.h"
#include "host/PrivateFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

QStringList entriesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
}

} // namespace

class tst_TrustedFolders : public QObject {
    Q_OBJECT
private slots:
    void dataFolderOthersCanWriteIsNotUsed_data()
    {
        // XDG_DATA_HOME is `home`, set up by `setUp` ("%1" is it, "%2" its
        // QVanto folder, "%3" a folder elsewhere) with its owner; then
        // whether files are kept there, or it was passed over as shared.
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<int>("owner");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<bool>("shared");
        const int self = int(::geteuid());
        const int other = hostTests::kOtherUid;
        QTest::newRow("the user's own") << "mkdir -m 755 %1" << self << true << false;
        QTest::newRow("open to all, sticky, as /tmp") << "mkdir -m 1777 %1" << self << true << false;
        QTest::newRow("open to all") << "mkdir -m 777 %1" << self << false << true;
        QTest::newRow("open to the group") << "mkdir -m 775 %1" << self << false << true;
        QTest::newRow("another user's") << "mkdir -m 755 %1" << other << false << true;
        QTest::newRow("another user's QVanto folder in it")
            << "mkdir -m 755 %1 %2 && chown 4242 %2" << self << false << true;
        QTest::newRow("QVanto open to all") << "mkdir -m 755 %1 && mkdir -m 777 %2" << self << false << true;
        QTest::newRow("QVanto a link to another user's folder")
            << "mkdir -m 755 %1 %3 && chown 4242 %3 && ln -s %3 %2" << self << false << true;
        QTest::newRow("QVanto a link to the user's own folder")
            << "mkdir -m 700 %1 %3 && ln -s %3 %2" << self << false << true;
        QTest::newRow("a file in the way") << "touch %1" << self << false << false;
    }
    void dataFolderOthersCanWriteIsNotUsed()
    {
        QFETCH(QString, setUp);
        QFETCH(int, owner);
        QFETCH(bool, kept);
        QFETCH(bool, shared);
        if (owner != int(::geteuid()) || setUp.contains(QLatin1String("chown")))
            REQUIRE_ROOT_FOR_OTHER_USER();
        QTemporaryDir scratch;
        const QString home = scratch.filePath(QStringLiteral("data"));
        const QString ownFolder = home + QStringLiteral("/QVanto");
        QProcess shell;
        shell.start(QStringLiteral("sh"),
            {QStringLiteral("-c"),
                setUp.arg(home, ownFolder, scratch.filePath(QStringLiteral("elsewhere")))});
        QVERIFY(shell.waitForFinished() && shell.exitCode() == 0);
        QCOMPARE(::lchown(QFile::encodeName(home).constData(), uid_t(owner), gid_t(-1)), 0);
        const QStringList before = entriesIn(home);

        // A program folder open to all keeps nothing beside itself.
        const QString program = scratch.filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(program));
        QVERIFY(QFile::setPermissions(program, QFileDevice::Permissions(0x7777)));
        const QByteArray saved = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", QFile::encodeName(home));
        host::AppInfo app;
        app.Path = program;
        app.EXEName = QStringLiteral("qvanto");
        app.placeDataFiles({});
        saved.isNull() ? qunsetenv("XDG_DATA_HOME") : qputenv("XDG_DATA_HOME", saved);

        QCOMPARE(app.DataPath, ownFolder);
        QCOMPARE(app.FilesKept, kept);
        QCOMPARE(app.FolderShared, shared);
        QCOMPARE(app.dataFile(QStringLiteral("qvanto.log")).isEmpty(), !kept);
        if (kept) {
            QCOMPARE(QFileInfo(ownFolder).permissions() & 0x0777, QFileDevice::Permissions(0x0700));
            return;
        }
        QCOMPARE(entriesIn(home), before);
        QVERIFY(entriesIn(program).isEmpty());
    }

    void modulesAreLookedForBesideTheProgramOnly()
    {
        QTemporaryDir elsewhere;
        const QStringList folders = host::Module::searchFolders(elsewhere.path());
        QCOMPARE(folders.first(), elsewhere.path());
        // Only this test program is told where the build keeps its modules.
        QCOMPARE(folders.size(), 3);
        QCOMPARE(folders[1], QStringLiteral(QVANTO_TEST_MODULE_DIR));
        QVERIFY(folders.last().endsWith(QLatin1String("/qvanto")));
        QVERIFY(!folders.last().startsWith(QStringLiteral(QVANTO_TEST_MODULE_DIR)));
    }
};

QTEST_GUILESS_MAIN(tst_TrustedFolders)
#include "tst_TrustedFolders.moc"
