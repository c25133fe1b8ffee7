// The one writer of the user's files: the permissions a file gets, and the
// old file whole until the new one is complete. What it refuses at the name
// is shown through every caller in pdf_OutputNames.
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
#include <sys/stat.h>
#include <unistd.h>

namespace {

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
};

QTEST_MAIN(tst_SafeWriter)
#include "tst_SafeWriter.moc"
