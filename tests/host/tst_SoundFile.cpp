// The stamp sound is read only from a small regular file: a huge file, a
// FIFO or a link named petan.wav is neither read nor waited on, and the
// search goes on to the next folder.
#include "host/SoundFile.h"
#include "host/SoundPlayer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class tst_SoundFile : public QObject {
    Q_OBJECT
private slots:
    void onlyASmallRegularFileIsRead_data()
    {
        // How petan.wav in the working folder is made ("%1"); "%2" is a
        // sound elsewhere.
        QTest::addColumn<QString>("make");
        QTest::addColumn<bool>("played");
        QTest::newRow("a sound") << "cp %2 %1" << true;
        QTest::newRow("4 MiB") << "cp %2 %1 && truncate -s 4M %1" << true;
        QTest::newRow("a byte past 4 MiB") << "truncate -s 4194305 %1" << false;
        QTest::newRow("1 GB, sparse") << "truncate -s 1G %1" << false;
        QTest::newRow("a FIFO no one writes") << "mkfifo %1" << false;
        QTest::newRow("a link to a sound") << "ln -s %2 %1" << false;
        QTest::newRow("a link to a device") << "ln -s /dev/zero %1" << false;
    }
    void onlyASmallRegularFileIsRead()
    {
        QFETCH(QString, make);
        QFETCH(bool, played);
        QTemporaryDir here, program;
        const QString inWorkingFolder = here.filePath(QStringLiteral("petan.wav"));
        const QString besideProgram = program.filePath(QStringLiteral("petan.wav"));
        QFile sound(besideProgram);
        QVERIFY(sound.open(QIODevice::WriteOnly) && sound.write("RIFF....WAVE") == 12);
        sound.close();
        QVERIFY(QProcess::execute(
                    QStringLiteral("sh"), {QStringLiteral("-c"), make.arg(inWorkingFolder, besideProgram)})
            == 0);

        QElapsedTimer timer;
        timer.start();
        const QByteArray bytes = host::readSoundFile(inWorkingFolder);
        QCOMPARE(bytes.startsWith("RIFF"), played);
        QVERIFY(bytes.size() <= host::kSoundFileLimitBytes);
        // What is passed over leaves the search to the next folder.
        const QString saved = QDir::currentPath();
        QVERIFY(QDir::setCurrent(here.path()));
        const QString found = host::findSoundFile(QStringLiteral("petan.wav"), program.path());
        QVERIFY(QDir::setCurrent(saved));
        QCOMPARE(found, played ? inWorkingFolder : besideProgram);
        if (!played) {
            host::QtSoundPlayer player(here.path());
            QVERIFY(!player.play(inWorkingFolder, host::SoundPlayer::Async | host::SoundPlayer::NoDefault));
        }
        QVERIFY(timer.elapsed() < 10000);
    }
};

QTEST_MAIN(tst_SoundFile)
#include "tst_SoundFile.moc"
