// The stamp sound is read only from a small regular file: a huge file, a
// FIFO, a device or a link named petan.wav is neither read nor waited on,
// and the search goes on to the next folder.
#include "host/SoundFile.h"
#include "host/SoundPlayer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 kGenerousMs = 10000;
const QByteArray kSound = QByteArray("RIFF") + QByteArray(40, '\0');

// Makes `kind` at `path`; false when it could not be made.
bool make(const QString &kind, const QString &path)
{
    const QByteArray name = QFile::encodeName(path);
    if (kind == QLatin1String("sound") || kind == QLatin1String("at the limit")) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(kSound) == kSound.size()
            && (kind == QLatin1String("sound") || file.resize(host::kSoundFileLimitBytes));
    }
    if (kind == QLatin1String("1 GB") || kind == QLatin1String("a byte past the limit")) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly)
            && file.resize(kind == QLatin1String("1 GB") ? qint64(1) << 30 : host::kSoundFileLimitBytes + 1);
    }
    if (kind == QLatin1String("FIFO"))
        return ::mkfifo(name.constData(), 0600) == 0;
    if (kind == QLatin1String("link to a sound")) {
        const QString target = path + QStringLiteral(".target");
        return make(QStringLiteral("sound"), target) && QFile::link(target, path);
    }
    if (kind == QLatin1String("device"))
        return ::symlink("/dev/zero", name.constData()) == 0;
    if (kind == QLatin1String("folder"))
        return QDir().mkdir(path);
    return false;
}

} // namespace

class tst_SoundFile : public QObject {
    Q_OBJECT
private slots:
    void onlyASmallRegularFileIsRead_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("played");
        QTest::newRow("a sound") << "sound" << true;
        QTest::newRow("at the limit") << "at the limit" << true;
        QTest::newRow("a byte past the limit") << "a byte past the limit" << false;
        QTest::newRow("1 GB, sparse") << "1 GB" << false;
        QTest::newRow("a FIFO no one writes") << "FIFO" << false;
        QTest::newRow("a link to a sound") << "link to a sound" << false;
        QTest::newRow("a link to a device") << "device" << false;
        QTest::newRow("a folder") << "folder" << false;
    }
    void onlyASmallRegularFileIsRead()
    {
        QFETCH(QString, kind);
        QFETCH(bool, played);
        QTemporaryDir here, program;
        const QString inWorkingFolder = here.filePath(QStringLiteral("petan.wav"));
        QVERIFY(make(kind, inWorkingFolder));
        QVERIFY(make(QStringLiteral("sound"), program.filePath(QStringLiteral("petan.wav"))));

        QElapsedTimer timer;
        timer.start();
        const QByteArray bytes = host::readSoundFile(inWorkingFolder);
        QCOMPARE(!bytes.isEmpty(), played);
        QVERIFY(bytes.size() <= host::kSoundFileLimitBytes);
        if (played)
            QVERIFY(bytes.startsWith("RIFF"));
        // A file passed over leaves the search to the next folder.
        const QString saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(here.path()));
        const QString found = host::findSoundFile(QStringLiteral("petan.wav"), program.path());
        QVERIFY(QDir::setCurrent(saved));
        QCOMPARE(found, played ? inWorkingFolder : program.filePath(QStringLiteral("petan.wav")));
        QCOMPARE(host::findSoundFile(inWorkingFolder, program.path()).isEmpty(), !played);
        // The player gives up at once on what it will not play.
        if (!played) {
            host::QtSoundPlayer player(here.path());
            QVERIFY(!player.play(inWorkingFolder, host::SoundPlayer::Async | host::SoundPlayer::NoDefault));
        }
        QVERIFY2(timer.elapsed() < kGenerousMs, qPrintable(QString::number(timer.elapsed())));
    }

    void aDeviceIsNotRead()
    {
        QVERIFY(!host::isPlayableSoundFile(QStringLiteral("/dev/zero")));
        QVERIFY(host::readSoundFile(QStringLiteral("/dev/zero")).isEmpty());
    }
};

QTEST_MAIN(tst_SoundFile)
#include "tst_SoundFile.moc"
