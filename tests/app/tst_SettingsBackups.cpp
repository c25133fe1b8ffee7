// Saving the settings removes only what a killed save of its own left
// behind: the user's copies beside the file, whatever their names, stay.
#include "TestWindow.h"

#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr uid_t kOtherUser = 4242;
}

class tst_SettingsBackups : public QObject {
    Q_OBJECT
private slots:
    void onlyTheWritersOwnLeftoversAreRemoved_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind"); // file, other user's, link
        QTest::addColumn<bool>("kept");
        for (const char *backup : {"qvanto.ini.bak123", "qvanto.ini.old001", "qvanto.ini.201912",
                 "qvanto.ini.orig00", "qvanto.ini.backup", "qvanto.ini.Ab12Cd", ".qvanto.ini.swp"})
            QTest::addRow("%s", backup) << backup << "file" << true;
        QTest::newRow("the writer's leftover") << ".qvanto.ini.qvanto-tmp-Ab12Cd"
                                               << "file" << false;
        QTest::newRow("another user's file of that pattern") << ".qvanto.ini.qvanto-tmp-Zz99Yy"
                                                             << "other" << true;
        QTest::newRow("a link of that pattern") << ".qvanto.ini.qvanto-tmp-Lk00Lk"
                                                << "link" << true;
        QTest::newRow("the pattern, one letter more") << ".qvanto.ini.qvanto-tmp-Ab12Cde"
                                                      << "file" << true;
    }
    void onlyTheWritersOwnLeftoversAreRemoved()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, kept);
        QTemporaryDir folder;
        const QString path = folder.filePath(name);
        const QString mine = folder.filePath("mine.txt");
        QVERIFY(hardening::writeBytes(mine, "the user's"));
        if (kind == "link") {
            QVERIFY(QFile::link(mine, path));
        } else {
            QVERIFY(hardening::writeBytes(path, "label0,a copy\r\n"));
        }
        if (kind == "other") {
            if (::geteuid() != 0) {
                if (qEnvironmentVariable("CI") == "true")
                    QFAIL("Only root can plant another user's file, and CI runs as root.");
                QSKIP("Only root can plant another user's file.");
            }
            QCOMPARE(::chown(QFile::encodeName(path).constData(), kOtherUser, kOtherUser), 0);
        }

        hardening::TestWindow t(folder.path());
        t.close();
        QVERIFY(hardening::readBytes(t.iniPath()).startsWith("label0,"));
        struct stat st = {};
        QCOMPARE(::lstat(QFile::encodeName(path).constData(), &st) == 0, kept);
        QCOMPARE(hardening::readBytes(mine), QByteArray("the user's"));
        // Nothing of the save's own is left beside the settings.
        QCOMPARE(
            QDir(folder.path()).entryList({"*qvanto-tmp*"}, QDir::AllEntries | QDir::Hidden | QDir::System),
            kept && name.contains("qvanto-tmp") ? QStringList {name} : QStringList {});
    }
};

QTEST_MAIN(tst_SettingsBackups)
#include "tst_SettingsBackups.moc"
