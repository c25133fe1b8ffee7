// The one writer of the user's files: never through what lies at the name,
// the old file whole until the new one is complete, nothing left behind.
#include "fakes/FileBytes.h"
#include "fakes/FileSizeLimit.h"
#include "host/HostError.h"
#include "host/SafeWriter.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr uid_t kOtherUser = 4242;

using fakes::readFileBytes;
using fakes::writeFileBytes;

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
}

mode_t modeOf(const QString &path)
{
    struct stat st = {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 0777 : 0;
}

// The message of the writer's refusal; empty when it wrote.
QString refusal(const QString &path, const QByteArray &bytes)
{
    try {
        host::writeFileSafely(path, bytes);
    } catch (const host::HostError &e) {
        return e.message();
    }
    return {};
}

// In the session's language, as the writer gives it.
QString systemReason(int error)
{
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

class tst_SafeWriter : public QObject {
    Q_OBJECT
private slots:
    // What lies at the name is refused with a message naming it, and it,
    // what a link points to and the folder stay as they were.
    void refusesWhatIsNoFileOfTheUsers_data()
    {
        QTest::addColumn<QString>("obstacle");
        QTest::addColumn<QString>("reason");
        QTest::newRow("link to a file") << "link"
                                        << "リンク";
        QTest::newRow("dangling link") << "dangling"
                                       << "リンク";
        QTest::newRow("link to a folder") << "folder link"
                                          << "リンク";
        QTest::newRow("FIFO") << "fifo"
                              << "ファイルではありません";
        QTest::newRow("socket") << "socket"
                                << "ファイルではありません";
        QTest::newRow("folder") << "folder"
                                << "フォルダー";
        QTest::newRow("another user's file") << "other"
                                             << "ほかのユーザー";
        QTest::newRow("missing folder") << "missing" << systemReason(ENOENT);
    }
    void refusesWhatIsNoFileOfTheUsers()
    {
        QFETCH(QString, obstacle);
        QFETCH(QString, reason);
        QTemporaryDir folder;
        QString out = folder.filePath("stamp_押印.pdf");
        const QString victim = folder.filePath("victim");
        const QByteArray victimBytes = "export PATH=/usr/bin\n";
        QVERIFY(writeFileBytes(victim, victimBytes));
        const QByteArray outName = QFile::encodeName(out);
        if (obstacle == "link")
            QVERIFY(QFile::link(victim, out));
        if (obstacle == "dangling")
            QVERIFY(QFile::link(folder.filePath("not-yet"), out));
        if (obstacle == "folder link") {
            QVERIFY(QDir(folder.path()).mkdir("inner"));
            QVERIFY(QFile::link(folder.filePath("inner"), out));
        }
        if (obstacle == "fifo")
            QCOMPARE(::mkfifo(outName.constData(), 0600), 0);
        if (obstacle == "socket") {
            const int s = ::socket(AF_UNIX, SOCK_STREAM, 0);
            sockaddr_un address = {};
            address.sun_family = AF_UNIX;
            qstrncpy(address.sun_path, outName.constData(), sizeof address.sun_path);
            QCOMPARE(::bind(s, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
            ::close(s);
        }
        if (obstacle == "folder")
            QVERIFY(QDir(folder.path()).mkdir("stamp_押印.pdf"));
        if (obstacle == "other") {
            if (::geteuid() != 0) {
                if (qEnvironmentVariable("CI") == "true")
                    QFAIL("Only root can plant another user's file, and CI runs as root.");
                QSKIP("Only root can plant another user's file.");
            }
            QVERIFY(writeFileBytes(out, victimBytes));
            QCOMPARE(::chown(outName.constData(), kOtherUser, kOtherUser), 0);
        }
        if (obstacle == "missing")
            out = folder.filePath("gone/stamp_押印.pdf");
        const QStringList before = entries(folder.path());

        const QString message = refusal(out, "%PDF-1.7 attacker's bytes");
        QVERIFY2(
            message.contains(QDir::toNativeSeparators(out)) && message.contains(reason), qPrintable(message));
        QCOMPARE(entries(folder.path()), before);
        QCOMPARE(readFileBytes(victim), victimBytes);
        if (obstacle == "other")
            QCOMPARE(readFileBytes(out), victimBytes);
    }

    // The user's own file is replaced, keeping its permissions; a new file
    // gets those the umask allows. Names near the system's limit still get a
    // temporary file of their own.
    void replacesTheUsersFile_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("exists");
        QTest::addColumn<int>("mode");
        QTest::newRow("new file") << "stamp.png" << false << 0640;
        QTest::newRow("replaced, its mode kept") << "stamp.png" << true << 0600;
        QTest::newRow("a name of 255 bytes") << QString(85, QChar(0x5370)) << true << 0644; // 印 × 85
        QTest::newRow("hidden name") << ".stamp" << false << 0640;
    }
    void replacesTheUsersFile()
    {
        QFETCH(QString, name);
        QFETCH(bool, exists);
        QFETCH(int, mode);
        QTemporaryDir folder;
        const QString out = folder.filePath(name);
        if (exists) {
            QVERIFY(writeFileBytes(out, "old"));
            QCOMPARE(::chmod(QFile::encodeName(out).constData(), mode_t(mode)), 0);
        }
        const mode_t umask = ::umask(027);
        const QString message = refusal(out, "new bytes");
        ::umask(umask);
        QVERIFY2(message.isEmpty(), qPrintable(message));
        QCOMPARE(readFileBytes(out), QByteArray("new bytes"));
        QCOMPARE(int(modeOf(out)), mode);
        QCOMPARE(entries(folder.path()), QStringList {name});
    }

    // A write that fails half way (a full disk, a size limit) leaves the old
    // file as it was and no temporary file, and says why.
    void aFailedWriteKeepsTheOldFile()
    {
        QTemporaryDir folder;
        const QString out = folder.filePath("qvanto.ini");
        QVERIFY(writeFileBytes(out, "old settings"));
        QString message;
        {
            fakes::FileSizeLimit limit(4096);
            message = refusal(out, QByteArray(100000, 'x'));
        }
        QVERIFY2(message.contains(out) && message.contains(systemReason(EFBIG)), qPrintable(message));
        QCOMPARE(readFileBytes(out), QByteArray("old settings"));
        QCOMPARE(entries(folder.path()), QStringList {"qvanto.ini"});
    }

    // Only names of exactly the writer's pattern count as its leftovers.
    void temporaryCopyNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("isCopy");
        QTest::newRow("the pattern") << ".qvanto.ini.qvanto-tmp-Ab12Cd" << true;
        QTest::newRow("a backup") << "qvanto.ini.bak123" << false;
        QTest::newRow("a dated copy") << "qvanto.ini.201912" << false;
        QTest::newRow("Qt's old copy") << "qvanto.ini.Ab12Cd" << false;
        QTest::newRow("five letters") << ".qvanto.ini.qvanto-tmp-Ab12C" << false;
        QTest::newRow("seven letters") << ".qvanto.ini.qvanto-tmp-Ab12Cde" << false;
        QTest::newRow("another file's") << ".other.ini.qvanto-tmp-Ab12Cd" << false;
        QTest::newRow("not hidden") << "qvanto.ini.qvanto-tmp-Ab12Cd" << false;
        QTest::newRow("a dot inside") << ".qvanto.ini.qvanto-tmp-Ab.2Cd" << false;
    }
    void temporaryCopyNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, isCopy);
        QCOMPARE(host::isTemporaryCopyName("qvanto.ini", name), isCopy);
    }
};

QTEST_MAIN(tst_SafeWriter)
#include "tst_SafeWriter.moc"
