// Folders trusted with the user's files and with code: a data folder others
// can write is not used and nothing is made in it; modules are looked for
// beside the program and in the installed folder, never where it was built.
#include "OtherUser.h"

#include "host/AppInfo.h"
#include "host/Module.h"

#include <QDir>
#include <QTemporaryDir>

class tst_TrustedFolders : public QObject {
    Q_OBJECT
private slots:
    void dataFolderOthersCanWriteIsNotUsed_data()
    {
        // XDG_DATA_HOME ("%1") and its QVanto folder ("%2") as the script
        // leaves them ("%3" is a folder elsewhere); whether files are kept
        // there, else whether it was passed over as shared.
        QTest::addColumn<QString>("setUp");
        QTest::addColumn<bool>("kept");
        QTest::addColumn<bool>("shared");
        QTest::newRow("the user's own") << "mkdir -m 755 %1" << true << false;
        QTest::newRow("open to all, sticky, as /tmp") << "mkdir -m 1777 %1" << true << false;
        QTest::newRow("open to all") << "mkdir -m 777 %1" << false << true;
        QTest::newRow("open to the group") << "mkdir -m 775 %1" << false << true;
        QTest::newRow("another user's") << "mkdir -m 755 %1 && chown 4242 %1" << false << true;
        QTest::newRow("another user's QVanto") << "mkdir -m 755 %1 %2 && chown 4242 %2" << false << true;
        QTest::newRow("QVanto open to all") << "mkdir -m 755 %1 && mkdir -m 777 %2" << false << true;
        QTest::newRow("QVanto a link to the user's folder")
            << "mkdir -m 700 %1 %3 && ln -s %3 %2" << false << true;
        QTest::newRow("a file in the way") << "touch %1" << false << false;
    }
    void dataFolderOthersCanWriteIsNotUsed()
    {
        QFETCH(QString, setUp);
        QFETCH(bool, kept);
        QFETCH(bool, shared);
        if (setUp.contains(QLatin1String("4242")))
            REQUIRE_ROOT_FOR_OTHER_USER();
        QTemporaryDir scratch;
        const QString home = scratch.filePath(QStringLiteral("data"));
        const QString ownFolder = home + QStringLiteral("/QVanto");
        QVERIFY(runScript(setUp.arg(home, ownFolder, scratch.filePath(QStringLiteral("elsewhere"))), false));
        const auto entries = [](const QString &folder) {
            return QDir(folder).entryList(
                QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
        };
        const QStringList before = entries(home);

        // A program folder open to all keeps nothing beside itself.
        const QString program = scratch.filePath(QStringLiteral("program"));
        QVERIFY(QDir().mkpath(program) && QFile::setPermissions(program, QFileDevice::Permissions(0x7777)));
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
        if (kept)
            QCOMPARE(QFileInfo(ownFolder).permissions() & 0x0777, QFileDevice::Permissions(0x0700));
        else
            QCOMPARE(entries(home), before);
        QVERIFY(entries(program).isEmpty());
    }

    void modulesAreLookedForBesideTheProgramOnly()
    {
        // Only test programs are told where the build keeps its modules.
        QTemporaryDir elsewhere;
        QCOMPARE(host::Module::searchFolders(elsewhere.path()),
            QStringList({elsewhere.path(), QStringLiteral(QVANTO_TEST_MODULE_DIR),
                QStringLiteral(QVANTO_MODULE_INSTALL_DIR)}));
    }
};

QTEST_GUILESS_MAIN(tst_TrustedFolders)
#include "tst_TrustedFolders.moc"
