#include "Files.h"
#include "fakes/FakeClock.h"
#include "fakes/FileSizeLimit.h"
#include "host/AppInfo.h"
#include "host/Clipboard.h"
#include "host/HostError.h"
#include "host/MessageBox.h"
#include "host/SoundPlayer.h"
#include "host/TextBox.h"
#include "stamp/StampLog.h"
#include "stamp/StampNow.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Only a regular file: the log may be a link to an endless device.
constexpr auto readFile = &support::readBytes;

// A window's worth of stamp action in a temporary program folder. The
// clipboard, message box, sound and window callbacks all write into one list,
// so that tests see the order of the steps.
struct Desk final : host::Clipboard, host::MessageBox, host::SoundPlayer {
    Desk()
    {
        app.Title = app.EXEName = QStringLiteral("QVanto");
        app.Path = QDir::toNativeSeparators(folder.path());
        QObject::connect(&rows[4], &host::TextBox::Change,
            [this] { events << QStringLiteral("change ") + rows[4].Text(); });
        face.fill(Qt::red);
    }

    void Clear() override { events << QStringLiteral("clear"); }
    void SetData(const QImage &image, const QByteArray &) override
    {
        if (refuseClipboard)
            throw host::HostError(host::HostError::General, QStringLiteral("clipboard busy"));
        events << QStringLiteral("set");
        picture = image;
    }
    void show(const QString &text, const QString &caption, Icon icon) override
    {
        events << QStringLiteral("box %1 %2%3")
                      .arg(text, caption, icon == Icon::None ? QString() : QStringLiteral(" icon"));
    }
    bool play(const QString &name, quint32 flags) override
    {
        events << QStringLiteral("sound %1 %2").arg(name).arg(flags);
        logWhenSounded = readFile(logPath());
        return false;
    }

    void stampNow(const QStringList &texts = {{}, {}, {}, {}})
    {
        for (int i = 0; i < 4; ++i)
            rows[i].SetText(texts[i]);
        stamp::StampContext context {{&rows[0], &rows[1], &rows[2], &rows[3], &rows[4]},
            [this] { events << QStringLiteral("redraw"); }, [this] { return face; },
            [this] { events << QStringLiteral("minimize"); }, idState, clock, *this, *this, *this, app};
        stamp::StampNow(context);
    }

    QString logPath() const { return folder.filePath(QStringLiteral("qvanto.log")); }

    QTemporaryDir folder;
    host::AppInfo app;
    host::TextBox rows[5];
    QImage face {4, 4, QImage::Format_RGB32};
    fakes::FakeClock clock {QDateTime(QDate(2001, 3, 5), QTime(21, 7, 3))};
    bas_QVanto::StampIdState idState;
    QStringList events;
    QImage picture;
    bool refuseClipboard = false;
    QByteArray logWhenSounded;
};

const QByteArray FirstLine = "QVID:1NNXBR00,2001/03/05 21:07:03 \r\n";

QStringList stepsWith(const QString &logOutcome)
{
    QStringList steps {u"change 1NNXBR00"_qs, u"redraw"_qs, u"clear"_qs, u"set"_qs};
    if (!logOutcome.isEmpty())
        steps << logOutcome;
    return steps << u"sound petan.wav 3"_qs << u"minimize"_qs;
}

} // namespace

class TestStampNow : public QObject {
    Q_OBJECT

private slots:
    void stampsAndLogsOneRecord_data();
    void stampsAndLogsOneRecord();
    void appendsRecordAfterRecord();
    void aLogThatCannotBeWrittenIsReported_data();
    void aLogThatCannotBeWrittenIsReported();
    void aFailureBeforeTheLogEndsTheAction();
    void numbersNeverRepeatInOneLog_data();
    void numbersNeverRepeatInOneLog();
    void lastLoggedNumber_data();
    void lastLoggedNumber();
    void logPath_data();
    void logPath();
};

void TestStampNow::stampsAndLogsOneRecord_data()
{
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QByteArray>("secondLine");

    QTest::newRow("japanese") << QStringList {u"株式会社QV"_qs, u"総務部"_qs, u"山田"_qs, u"2001.03.05"_qs}
                              << QByteArray("    株式会社QV,総務部,山田,2001.03.05\r\n");
    QTest::newRow("empty rows") << QStringList {{}, {}, {}, {}} << QByteArray("    ,,,\r\n");
    QTest::newRow("comma and spaces") << QStringList {u"QV, Inc."_qs, u" a "_qs, u"\"b\""_qs,
        u"2001.03.05"_qs} << QByteArray("    QV, Inc., a ,\"b\",2001.03.05\r\n");
}

void TestStampNow::stampsAndLogsOneRecord()
{
    QFETCH(QStringList, texts);
    QFETCH(QByteArray, secondLine);

    Desk desk;
    desk.stampNow(texts);

    QCOMPARE(desk.events, stepsWith({}));
    QCOMPARE(desk.rows[4].Text(), u"1NNXBR00"_qs);
    QCOMPARE(desk.picture, desk.face);
    const QByteArray record = FirstLine + secondLine + "\r\n";
    QCOMPARE(readFile(desk.logPath()), record);
    QCOMPARE(desk.logWhenSounded, record);
}

void TestStampNow::appendsRecordAfterRecord()
{
    Desk desk;
    const QByteArray earlier = "written before\r\n";
    QVERIFY(support::writeBytes(desk.logPath(), earlier));

    desk.stampNow({u"A"_qs, u"B"_qs, u"C"_qs, u"D"_qs});
    desk.stampNow({u"A"_qs, u"B"_qs, u"C"_qs, u"D"_qs});

    QCOMPARE(readFile(desk.logPath()),
        earlier + FirstLine + "    A,B,C,D\r\n\r\n"
            + "QVID:1NNXBR01,2001/03/05 21:07:03 \r\n    A,B,C,D\r\n\r\n");
}

void TestStampNow::aLogThatCannotBeWrittenIsReported_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::newRow("log is a folder") << "folder";
    QTest::newRow("disk full in the middle of the record") << "full";
    QTest::newRow("program folder gone") << "gone";
    QTest::newRow("FIFO with no reader") << "fifo";
    QTest::newRow("FIFO with a reader") << "fifo reader";
    QTest::newRow("link to a regular file") << "link";
}

void TestStampNow::aLogThatCannotBeWrittenIsReported()
{
    QFETCH(QString, obstacle);

    Desk desk;
    if (obstacle == u"folder")
        QVERIFY(QDir(desk.folder.path()).mkdir(u"qvanto.log"_qs));
    // Room for the start of the record only: what was written of it is cut
    // off again, so the log ends in a whole record.
    const QByteArray earlier = "written before\r\n";
    std::optional<fakes::FileSizeLimit> full;
    if (obstacle == u"full") {
        QVERIFY(support::writeBytes(desk.logPath(), earlier));
        full.emplace(earlier.size() + 20);
    }
    // A FIFO would hold the window up until someone read it, or take the
    // record away from the log.
    int reader = -1;
    if (obstacle.startsWith(u"fifo")) {
        QVERIFY(::mkfifo(QFile::encodeName(desk.logPath()).constData(), 0600) == 0);
        if (obstacle == u"fifo reader")
            reader = ::open(QFile::encodeName(desk.logPath()).constData(), O_RDONLY | O_NONBLOCK);
    }
    const QString elsewhere = desk.folder.filePath(u"elsewhere.log"_qs);
    if (obstacle == u"link")
        QVERIFY(QFile::link(elsewhere, desk.logPath()));
    if (obstacle == u"gone")
        desk.app.Path = QDir::toNativeSeparators(desk.folder.filePath(u"gone"_qs));

    desk.stampNow();
    full.reset();

    QCOMPARE(desk.events, stepsWith(u"box error QVanto"_qs));
    if (obstacle == u"full")
        QCOMPARE(readFile(desk.logPath()), earlier);
    QCOMPARE(desk.picture, desk.face);
    QVERIFY(!QFile::exists(elsewhere));
    if (reader >= 0) {
        char byte = 0;
        QCOMPARE(::read(reader, &byte, 1), 0); // its end, with nothing written
        ::close(reader);
    }
}

void TestStampNow::aFailureBeforeTheLogEndsTheAction()
{
    Desk desk;
    desk.refuseClipboard = true;

    QVERIFY_THROWS_EXCEPTION(host::HostError, desk.stampNow());

    QCOMPARE(desk.events, (QStringList {u"change 1NNXBR00"_qs, u"redraw"_qs, u"clear"_qs}));
    // The number was issued, and so logged, before the clipboard failed:
    // it is never given again.
    QCOMPARE(readFile(desk.logPath()), FirstLine + "    ,,,\r\n\r\n");
}

void TestStampNow::numbersNeverRepeatInOneLog_data()
{
    QTest::addColumn<int>("stepSeconds"); // how the clock moves between stamps
    QTest::addColumn<bool>("restart"); // a fresh start between stamps

    QTest::newRow("restart in the same second") << 0 << true;
    QTest::newRow("clock set back an hour") << -3600 << false;
    QTest::newRow("clock set back an hour, restarting") << -3600 << true;
    QTest::newRow("clock running forward") << 1 << true;
}

void TestStampNow::numbersNeverRepeatInOneLog()
{
    QFETCH(int, stepSeconds);
    QFETCH(bool, restart);

    Desk desk;
    QStringList numbers;
    for (int i = 0; i < 4; ++i) {
        if (restart)
            desk.idState = {};
        desk.stampNow();
        numbers << desk.rows[4].Text();
        desk.clock.set(desk.clock.now().addSecs(stepSeconds));
    }
    const QByteArray log = readFile(desk.logPath());
    QCOMPARE(log.count("QVID:"), 4);
    for (int i = 1; i < 4; ++i) {
        QVERIFY2(numbers[i].size() == numbers[0].size() && numbers[i] > numbers[i - 1],
            qPrintable(numbers.join(u' ')));
        QVERIFY(log.contains("QVID:" + numbers[i].toLatin1() + ','));
    }
    if (stepSeconds > 0)
        QCOMPARE(numbers.last(), u"1NNXBU00"_qs); // the clock's own number
}

void TestStampNow::lastLoggedNumber_data()
{
    QTest::addColumn<QByteArray>("log");
    QTest::addColumn<QString>("last");

    const QByteArray first = FirstLine + "    A,B,C,D\r\n\r\n";
    const QByteArray second = "QVID:1NNXBR01,2001/03/05 21:07:03 \r\n    A,B,C,D\r\n\r\n";
    QTest::newRow("no log") << QByteArray() << QString();
    QTest::newRow("one record") << first << "1NNXBR00";
    QTest::newRow("the last of two") << first + second << "1NNXBR01";
    QTest::newRow("last record with long rows")
        << first + "QVID:1NNXBR01,2001/03/05 21:07:03 \r\n    " + QByteArray(300000, 'x') + "\r\n\r\n"
        << "1NNXBR01";
    QTest::newRow("a first line cut short is passed over") << first + "QVID:1NNX"
                                                           << "1NNXBR00";
    QTest::newRow("QVID: inside a line is no record") << first + "    QVID:ZZZZZZ00,\r\n"
                                                      << "1NNXBR00";
    QTest::newRow("a log with no record") << QByteArray(10000, '\n') << QString();
}

void TestStampNow::lastLoggedNumber()
{
    QFETCH(QByteArray, log);
    QFETCH(QString, last);

    Desk desk;
    if (!log.isEmpty())
        QVERIFY(support::writeBytes(desk.logPath(), log));
    QCOMPARE(stamp::LastLoggedStampId(desk.logPath()), last);
}

void TestStampNow::logPath_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("exeName");
    QTest::addColumn<QString>("expected");

    const auto native = [](const char *path) { return QDir::toNativeSeparators(QString::fromUtf8(path)); };
    QTest::newRow("folder") << native("/opt/qvanto") << "QVanto" << native("/opt/qvanto/qvanto.log");
    QTest::newRow("root") << native("/") << "QVanto" << native("/qvanto.log");
    QTest::newRow("upper case") << native("/opt") << "MYAPP" << native("/opt/myapp.log");
}

void TestStampNow::logPath()
{
    QFETCH(QString, path);
    QFETCH(QString, exeName);
    QFETCH(QString, expected);

    host::AppInfo app;
    app.Path = path;
    app.EXEName = exeName;
    QCOMPARE(stamp::StampLogPath(app), expected);
}

QTEST_MAIN(TestStampNow)
#include "tst_StampNow.moc"
