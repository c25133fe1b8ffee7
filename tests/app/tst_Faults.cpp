// The whole window when the world fails it: a log or settings folder it may
// not write, a disk that fills up, a kill in the middle of saving, no sound
// server at all. Each case checks that the window keeps working and that
// nothing already stored is lost.
//
// Some cases need a process of their own (another user, another sound
// environment, a process to kill): this binary runs itself as that process,
// with "--child MODE FOLDER", and reports on stdout as "key:value" lines.
#include "TestWindow.h"

#include "host/ComboBox.h"
#include "host/Form.h"
#include "host/SoundPlayer.h"
#include "host/TextBox.h"

#include "Requirement.h"
#include "StoredText.h"
#include "fakes/FileSizeLimit.h"

#include <QApplication>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

using hardening::readBytes;
using hardening::TestWindow;
using hardening::writeBytes;

namespace {

const QString kDefaultFace = QStringLiteral("ＭＳ Ｐゴシック");
constexpr int kChildTimeoutMs = 60000;

// The rows of a window started on 2027-01-01 with this first row.
QStringList rowsWith(const QString &row0)
{
    return {row0, QStringLiteral("部課係名"), QStringLiteral("氏    名"), QStringLiteral("2027.01.01")};
}

// The settings file as the window saves it with these first-row,
// first-face and ink values and every other setting at its start-up default.
QByteArray savedSettings(const QString &row0, const QString &face0, qint32 ink = 255)
{
    return support::savedSettings(rowsWith(row0), {face0, kDefaultFace, kDefaultFace, kDefaultFace}, ink, 0);
}

QByteArray logRecord(const QString &id, const QString &row0)
{
    return support::logRecord(id, QStringLiteral("2027/01/01 10:00:00"), rowsWith(row0));
}

using fakes::FileSizeLimit;

// ---- The child's side ----------------------------------------------------

void report(const char *key, const QString &value)
{
    QTextStream(stdout) << key << ':' << value << '\n';
}

void reportWindow(const TestWindow &w)
{
    QStringList shown;
    for (const auto &m : w.messages.shown)
        shown << m.text;
    report("uid", QString::number(::getuid()));
    report("messages", shown.join(QLatin1Char('|')));
    report("clipboard", w.clipboard.picture == w.face() && !w.face().isNull() ? u"face"_qs : u"other"_qs);
    report("sound calls", QString::number(w.sound.calls.size()));
    report("window state", QString::number(w.window->form().WindowState()));
    report("id", w.c().QVLabel[4]->Text());
    report("row0", w.c().QVLabel[0]->Text());
}

// Starts in the folder, stamps once and closes.
int stampAndClose(const QString &folder)
{
    TestWindow w(folder);
    w.c().cmdPetan->click();
    w.close();
    reportWindow(w);
    return 0;
}

// A first face long enough that writing it takes a while.
const QString kLongFace(20000, QLatin1Char('M'));

// Saves over and over, the ink alternating between red and blue, until it
// is killed. Only the ink changes, so nearly all the time goes to saving.
int saveUntilKilled(const QString &folder)
{
    TestWindow w(folder);
    w.c().cmbFontName[0]->SetText(kLongFace);
    std::puts("ready");
    std::fflush(stdout);
    for (quint64 i = 0;; ++i) {
        w.window->InkColor = i % 2 ? 16711680 : 255;
        w.close();
    }
}

// The real sound player, in whatever sound environment the parent gave.
int stampWithRealSound(const QString &folder)
{
    host::QtSoundPlayer sound(folder);
    TestWindow w(TestWindow::programIn(folder), QDateTime(QDate(2027, 1, 1), QTime(10, 0)),
        {QStringLiteral("IPAPGothic")}, {nullptr, &sound});
    for (int i = 0; i < 3; ++i) {
        w.c().cmdPetan->click();
        // Whatever the sound backend has to say arrives through the event loop.
        QTest::qWait(200);
    }
    report(
        "played", sound.play(QStringLiteral("petan.wav"), host::SoundPlayer::Async) ? u"yes"_qs : u"no"_qs);
    QTest::qWait(200);
    QStringList shown;
    for (const auto &m : w.messages.shown)
        shown << m.text;
    report("messages", shown.join(QLatin1Char('|')));
    report("window state", QString::number(w.window->form().WindowState()));
    return 0;
}

// On a file system with 40 bytes left in the log's last page and no page
// free, then with a page freed. Reports what the log held at each step.
int stampOnAFullFileSystem(const QString &folder)
{
    constexpr int kPage = 4096;
    const bool mounted = ::mount("tmpfs", QFile::encodeName(folder).constData(), "tmpfs", 0, "size=12k") == 0;
    report("mounted", mounted ? u"yes"_qs : QString::fromLocal8Bit(std::strerror(errno)));
    if (!mounted)
        return 0;
    const QString log = QDir(folder).filePath(QStringLiteral("qvanto.log"));
    const QString filler = QDir(folder).filePath(QStringLiteral("filler"));
    const QString longRow(2 * kPage - 40 - logRecord(u"1NNXBR00"_qs, {}).size(), QLatin1Char('x'));
    const QByteArray oldLog = logRecord(QStringLiteral("1NNXBR00"), longRow);
    if (!writeBytes(log, oldLog) || !writeBytes(filler, QByteArray(kPage, 'f')))
        return 3;
    TestWindow w(folder);
    w.c().cmdPetan->click();
    report("messages", w.messages.shown.empty() ? QString() : w.messages.shown[0].text);
    report("log when full", readBytes(log) == oldLog ? u"as it was"_qs : u"changed"_qs);
    QFile::remove(filler);
    w.c().cmdPetan->click();
    const QByteArray expected = oldLog + logRecord(w.c().QVLabel[4]->Text(), QStringLiteral("会 社 名"));
    report("log with room", readBytes(log) == expected ? u"one more record"_qs : u"other"_qs);
    return 0;
}

// Whether this user can read the settings file in the folder at all.
int probe(const QString &folder)
{
    QFile ini(QDir(folder).filePath(QStringLiteral("qvanto.ini")));
    report("reach", ini.open(QIODevice::ReadOnly) ? u"yes"_qs : u"no"_qs);
    return 0;
}

// Starts as a portable copy in the folder does: its files beside it only
// where the folder is the user's alone, else in the user's data folder.
int stampAsPortableCopy(const QString &folder)
{
    host::AppInfo where = TestWindow::programIn(folder);
    where.EXEName = QStringLiteral("qvanto");
    where.placeDataFiles({});
    TestWindow w(where);
    w.c().cmdPetan->click();
    w.close();
    reportWindow(w);
    report("data", where.DataPath);
    return 0;
}

int runChild(const QString &mode, const QString &folder)
{
    if (mode == u"stamp-as-portable-copy")
        return stampAsPortableCopy(folder);
    if (mode == u"probe")
        return probe(folder);
    if (mode == u"stamp-and-close")
        return stampAndClose(folder);
    if (mode == u"save-until-killed")
        return saveUntilKilled(folder);
    if (mode == u"real-sound")
        return stampWithRealSound(folder);
    if (mode == u"full-file-system")
        return stampOnAFullFileSystem(folder);
    return 2;
}

// ---- The parent's side ---------------------------------------------------

struct ChildResult {
    bool finished = false;
    int exitCode = -1;
    QMap<QString, QString> values;
    QByteArray errors;
};

QProcessEnvironment childEnvironment(const QString &home)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    // Nothing the child's libraries cache or configure lands in a real home.
    env.insert(QStringLiteral("HOME"), home);
    env.insert(QStringLiteral("XDG_CACHE_HOME"), home + QStringLiteral("/cache"));
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), home + QStringLiteral("/config"));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), home + QStringLiteral("/runtime"));
    return env;
}

ChildResult runToEnd(QProcess &process)
{
    ChildResult result;
    result.finished = process.waitForFinished(kChildTimeoutMs);
    if (!result.finished) {
        process.kill();
        process.waitForFinished();
    }
    result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        const qsizetype colon = line.indexOf(':');
        if (colon > 0)
            result.values.insert(QString::fromUtf8(line.left(colon)), QString::fromUtf8(line.mid(colon + 1)));
    }
    result.errors = process.readAllStandardError();
    return result;
}

// The unprivileged user a child runs as when the tests run as root.
constexpr uid_t kNobody = 65534;

// Starts the command (program first) as the given user: through setpriv
// when that is another user, which only root can do.
void startAs(QProcess &process, uid_t user, const QStringList &command)
{
    if (user == ::getuid()) {
        process.start(command.first(), command.mid(1));
        return;
    }
    const QString id = QString::number(user);
    process.start(QStandardPaths::findExecutable(QStringLiteral("setpriv")),
        QStringList {QStringLiteral("--reuid=") + id, QStringLiteral("--regid=") + id,
            QStringLiteral("--clear-groups")}
            + command);
}

constexpr QFileDevice::Permissions kOpenToAll(0x7777); // rwxrwxrwx

// A home folder any user may write, for a child that runs as another user.
bool makeOpenHome(const QString &home)
{
    for (const char *sub : {"", "/cache", "/config", "/runtime"}) {
        const QString path = home + QString::fromLatin1(sub);
        if (!QDir().mkpath(path) || !QFile::setPermissions(path, kOpenToAll))
            return false;
    }
    // Sticky, as /tmp: a data folder below a home anyone could rename
    // things in would not be the user's alone.
    return ::chmod(QFile::encodeName(home).constData(), 01777) == 0;
}

constexpr QFileDevice::Permissions kReadOnlyFolder = QFileDevice::ReadOwner | QFileDevice::ExeOwner
    | QFileDevice::ReadGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther | QFileDevice::ExeOther;
constexpr QFileDevice::Permissions kReadOnlyFile
    = QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther;

// A copy of this binary that any user may run, wherever the build lies.
bool copyThisBinaryForAll(const QString &scratch, const QString &binary)
{
    return QFile::copy(QCoreApplication::applicationFilePath(), binary)
        && QFile::setPermissions(scratch, kReadOnlyFolder | QFileDevice::WriteOwner)
        && QFile::setPermissions(binary, kReadOnlyFolder);
}

// What lies at a path, enough to tell whether anything changed it.
QString entryAt(const QString &path)
{
    struct stat st { };
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &st) != 0)
        return QStringLiteral("nothing");
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("link to ") + QFileInfo(path).symLinkTarget();
    if (S_ISFIFO(st.st_mode))
        return QStringLiteral("FIFO");
    return QStringLiteral("file of %1 owned by %2: %3")
        .arg(st.st_mode & 07777, 0, 8)
        .arg(st.st_uid)
        .arg(QString::fromUtf8(readBytes(path)));
}

enum class Plant { CommandAndLogLink, LinkToThesis, DanglingLink, LinkToDevNull, Fifo, OthersFile };

// Puts the plant in `folder`, owned by `owner`, aimed at the victim's home.
bool plant(Plant what, const QString &folder, const QString &home, uid_t owner)
{
    const QString ini = folder + QStringLiteral("/qvanto.ini");
    bool made = false;
    switch (what) {
    case Plant::CommandAndLogLink:
        made = writeBytes(ini, "label0,会社;id>/tmp/x;#,IPAMincho\r\n")
            && QFile::link(home + QStringLiteral("/.bashrc"), folder + QStringLiteral("/qvanto.log"))
            && ::lchown(QFile::encodeName(folder + QStringLiteral("/qvanto.log")).constData(), owner, owner)
                == 0;
        break;
    case Plant::LinkToThesis: made = QFile::link(home + QStringLiteral("/thesis.txt"), ini); break;
    case Plant::DanglingLink: made = QFile::link(home + QStringLiteral("/created.txt"), ini); break;
    case Plant::LinkToDevNull: made = QFile::link(QStringLiteral("/dev/null"), ini); break;
    case Plant::Fifo: made = ::mkfifo(QFile::encodeName(ini).constData(), 0666) == 0; break;
    case Plant::OthersFile:
        made = writeBytes(ini, "label0,他人の社名,IPAMincho\r\n")
            && QFile::setPermissions(ini, QFileDevice::Permissions(0x6666));
        break;
    }
    return made && ::lchown(QFile::encodeName(ini).constData(), owner, owner) == 0;
}

} // namespace

class tst_Faults : public QObject {
    Q_OBJECT
private slots:
    void folderThatCannotBeWritten_data();
    void folderThatCannotBeWritten();
    void logOnAFullDisk_data();
    void logOnAFullDisk();
    void logOnAFullFileSystem();
    void killedWhileSaving();
    void noSoundServer();
    void plantedLinksAndOddFiles_data();
    void plantedLinksAndOddFiles();
    void noFolderToKeepFilesIsSaidOnce();
};

void tst_Faults::folderThatCannotBeWritten_data()
{
    QTest::addColumn<bool>("folderWritable");
    QTest::addColumn<bool>("logExists");
    QTest::addColumn<bool>("ownSettings");
    QTest::newRow("read-only folder and log") << false << true << true;
    QTest::newRow("read-only folder, no log yet") << false << false << true;
    QTest::newRow("read-only log in a writable folder") << true << true << true;
    QTest::newRow("another user's settings in a read-only folder") << false << true << false;
}

void tst_Faults::folderThatCannotBeWritten()
{
    QFETCH(bool, folderWritable);
    QFETCH(bool, logExists);
    QFETCH(bool, ownSettings);

    // Root writes whatever the permissions say, so as root the child drops
    // to the unprivileged user "nobody"; any other user is tested as itself.
    const bool asRoot = ::geteuid() == 0;
    const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
    QVANTO_REQUIRE(!asRoot || !setpriv.isEmpty(),
        "Running as root without setpriv (util-linux): no ordinary user to test permissions with.");
    QVANTO_REQUIRE(asRoot || ownSettings, "Only root can give a file to another user.");

    QTemporaryDir scratch;
    QTemporaryDir program;
    const QString home = scratch.filePath(QStringLiteral("home"));
    const QString binary = scratch.filePath(QStringLiteral("tst_Faults"));
    QVERIFY(makeOpenHome(home));
    QVERIFY(copyThisBinaryForAll(scratch.path(), binary));

    // Written by hand, not by the window: a save would change its spacing.
    const QByteArray oldIni = "label0,旧社名,IPAMincho\r\ncolor,255\r\n";
    const QByteArray oldLog = logRecord(QStringLiteral("1NNXBR00"), QStringLiteral("旧社名"));
    const QString ini = program.filePath(QStringLiteral("qvanto.ini"));
    const QString log = program.filePath(QStringLiteral("qvanto.log"));
    QVERIFY(writeBytes(ini, oldIni));
    QVERIFY(QFile::setPermissions(ini, kReadOnlyFile | QFileDevice::WriteOwner));
    // As root the settings are given to "nobody", as an administrator would
    // set up a shared program folder, unless the row wants them another's.
    if (asRoot && ownSettings)
        QCOMPARE(::chown(QFile::encodeName(ini).constData(), kNobody, kNobody), 0);
    if (logExists) {
        QVERIFY(writeBytes(log, oldLog));
        QVERIFY(QFile::setPermissions(log, asRoot ? kReadOnlyFile | QFileDevice::WriteOwner : kReadOnlyFile));
    }
    // As root the folder stays root's own: read-only to "nobody" all the same.
    QFileDevice::Permissions folderPermissions = kReadOnlyFolder;
    if (asRoot || folderWritable)
        folderPermissions |= QFileDevice::WriteOwner;
    if (folderWritable)
        folderPermissions |= QFileDevice::WriteOther;
    QVERIFY(QFile::setPermissions(program.path(), folderPermissions));

    const auto runAsUser = [&](const QString &mode) {
        QProcess child;
        child.setProcessEnvironment(childEnvironment(home));
        child.setWorkingDirectory(home);
        const QStringList args {binary, QStringLiteral("--child"), mode, program.path()};
        startAs(child, asRoot ? kNobody : ::getuid(), args);
        return runToEnd(child);
    };
    // The temporary folder may lie where "nobody" cannot go (TMPDIR in a
    // private home); then there is nothing to learn here. A probe that did
    // not run to its end is a fault, not a reason to skip.
    const ChildResult reach = runAsUser(QStringLiteral("probe"));
    QVERIFY2(reach.finished && reach.exitCode == 0, reach.errors.constData());
    QVANTO_REQUIRE(reach.values.value(QStringLiteral("reach")) == u"yes",
        qPrintable(QStringLiteral("This user cannot reach %1 to run the test: %2")
                       .arg(program.path(), QString::fromLocal8Bit(reach.errors))));

    const ChildResult result = runAsUser(QStringLiteral("stamp-and-close"));
    QVERIFY(QFile::setPermissions(program.path(), kReadOnlyFolder | QFileDevice::WriteOwner));
    QVERIFY2(result.finished && result.exitCode == 0, result.errors.constData());
    if (asRoot)
        QVERIFY(result.values.value(QStringLiteral("uid")) != u"0");

    // The stamp is made and delivered; only the log's failure is reported.
    QCOMPARE(result.values.value(QStringLiteral("messages")), QStringLiteral("error"));
    QCOMPARE(result.values.value(QStringLiteral("clipboard")), QStringLiteral("face"));
    QCOMPARE(result.values.value(QStringLiteral("sound calls")), QStringLiteral("1"));
    QCOMPARE(result.values.value(QStringLiteral("window state")), QStringLiteral("1"));
    QCOMPARE(result.values.value(QStringLiteral("row0")),
        ownSettings ? QStringLiteral("旧社名") : QStringLiteral("会 社 名"));

    // Nothing stored is lost: the log as it was; the user's own settings
    // replaced whole by the new ones (rewritten in place where only the file
    // may be written), another user's left as they were.
    QCOMPARE(readBytes(log), logExists ? oldLog : QByteArray());
    QCOMPARE(QFileInfo::exists(log), logExists);
    QCOMPARE(readBytes(ini),
        ownSettings ? savedSettings(QStringLiteral("旧社名"), QStringLiteral("IPAMincho")) : oldIni);
    QStringList expectedEntries {QStringLiteral("qvanto.ini")};
    if (logExists)
        expectedEntries.prepend(QStringLiteral("qvanto.log"));
    expectedEntries.sort();
    QCOMPARE(
        QDir(program.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name),
        expectedEntries);
}

void tst_Faults::logOnAFullDisk_data()
{
    QTest::addColumn<int>("roomBytes");
    QTest::newRow("no room at all") << 0;
    QTest::newRow("room for part of the first line") << 12;
    QTest::newRow("room for all but the last line end") << 70;
}

void tst_Faults::logOnAFullDisk()
{
    QFETCH(int, roomBytes);
    QTemporaryDir dir;
    const QByteArray oldLog = logRecord(QStringLiteral("1NNXBR00"), QStringLiteral("旧社名"));
    const QByteArray oldIni = savedSettings(QStringLiteral("旧社名"), QStringLiteral("IPAMincho"));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("qvanto.log")), oldLog));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("qvanto.ini")), oldIni));

    TestWindow w(dir.path());
    {
        const FileSizeLimit full(rlim_t(oldLog.size() + roomBytes));
        w.c().cmdPetan->click();
    }
    QCOMPARE(w.messages.shown.size(), size_t(1));
    QCOMPARE(w.messages.shown[0].text, QStringLiteral("error"));
    QCOMPARE(w.messages.shown[0].icon, host::MessageBox::Icon::None);
    QCOMPARE(w.clipboard.picture, w.face());
    QCOMPARE(w.sound.calls.size(), size_t(1));
    QCOMPARE(w.window->form().WindowState(), 1);
    const QString firstId = w.c().QVLabel[4]->Text();
    // A record is whole or absent: what fitted is cut off again.
    const QByteArray afterFailure = readBytes(w.logPath());
    QCOMPARE(afterFailure, oldLog);

    // With room again, the next stamp is logged whole after what is there.
    w.c().cmdPetan->click();
    QCOMPARE(w.messages.shown.size(), size_t(1));
    QCOMPARE(
        readBytes(w.logPath()), afterFailure + logRecord(w.c().QVLabel[4]->Text(), QStringLiteral("旧社名")));
    QVERIFY(w.c().QVLabel[4]->Text() > firstId);
    QCOMPARE(readBytes(w.iniPath()), oldIni);
    w.close();
    QCOMPARE(readBytes(w.iniPath()), oldIni);
}

void tst_Faults::logOnAFullFileSystem()
{
    // A small tmpfs of our own, mounted where only the child sees it.
    const QString unshare = QStandardPaths::findExecutable(QStringLiteral("unshare"));
    QVANTO_REQUIRE(::geteuid() == 0 && !unshare.isEmpty(),
        "Mounting a small file system needs root and unshare (util-linux).");
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("program"));
    const QString home = dir.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(folder) && QDir().mkpath(home));
    QProcess child;
    child.setProcessEnvironment(childEnvironment(home));
    child.start(unshare,
        {QStringLiteral("--mount"), QStringLiteral("--propagation"), QStringLiteral("private"),
            QCoreApplication::applicationFilePath(), QStringLiteral("--child"),
            QStringLiteral("full-file-system"), folder});
    const ChildResult result = runToEnd(child);
    // A child that crashed or hung is a failure, whatever it said before.
    QVERIFY2(result.finished && result.exitCode == 0, result.errors.constData());
    QVANTO_REQUIRE(result.values.value(QStringLiteral("mounted")) == u"yes",
        qPrintable(
            QStringLiteral("No tmpfs could be mounted: %1 %2")
                .arg(result.values.value(QStringLiteral("mounted")), QString::fromLocal8Bit(result.errors))));
    QCOMPARE(result.values.value(QStringLiteral("messages")), QStringLiteral("error"));
    QCOMPARE(result.values.value(QStringLiteral("log when full")), QStringLiteral("as it was"));
    QCOMPARE(result.values.value(QStringLiteral("log with room")), QStringLiteral("one more record"));
}

void tst_Faults::killedWhileSaving()
{
    // The file is always one of the two the loop writes, whole: the new
    // file takes the old one's place only once it is complete.
    QTemporaryDir dir;
    const QString ini = dir.filePath(QStringLiteral("qvanto.ini"));
    const QByteArray red = savedSettings(QStringLiteral("会 社 名"), kLongFace, 255);
    const QByteArray blue = savedSettings(QStringLiteral("会 社 名"), kLongFace, 16711680);
    QVERIFY(writeBytes(ini, red));
    const QString home = dir.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(home));

    QRandomGenerator random(7);
    constexpr int kKills = 80;
    int blueSeen = 0;
    for (int round = 0; round < kKills; ++round) {
        QProcess child;
        child.setProcessEnvironment(childEnvironment(home));
        child.start(QCoreApplication::applicationFilePath(),
            {QStringLiteral("--child"), QStringLiteral("save-until-killed"), dir.path()});
        QVERIFY(child.waitForReadyRead(kChildTimeoutMs));
        QVERIFY(child.readLine().startsWith("ready"));
        std::this_thread::sleep_for(std::chrono::microseconds(random.bounded(40000)));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(kChildTimeoutMs));
        QCOMPARE(child.exitStatus(), QProcess::CrashExit);

        const QByteArray now = readBytes(ini);
        QVERIFY2(now == red || now == blue,
            qPrintable(QStringLiteral("kill %1 left %2 bytes").arg(round).arg(now.size())));
        blueSeen += now == blue;
    }
    const QStringList left
        = QDir(dir.path()).entryList({QStringLiteral(".qvanto.ini.*")}, QDir::Files | QDir::Hidden);
    qInfo("%d kills, the blue file in place after %d; %lld unfinished copies left beside the settings",
        kKills, blueSeen, qlonglong(left.size()));
    // Both files were in place at some kill, so the kills fell in the loop.
    QVERIFY(blueSeen > 0 && blueSeen < kKills);

    // The next save clears away what a kill left, and not a copy the user
    // made.
    QVERIFY(writeBytes(dir.filePath(QStringLiteral(".qvanto.ini.qvanto-tmp-Ab12Cd")), "label0,unfinished"));
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("qvanto.ini.backup")), "label0,mine"));
    TestWindow(dir.path()).close();
    QCOMPARE(QDir(dir.path()).entryList({QStringLiteral("*qvanto.ini?*")}, QDir::Files | QDir::Hidden),
        QStringList {QStringLiteral("qvanto.ini.backup")});
}

void tst_Faults::noSoundServer()
{
    // A sound server socket that does not exist, and no way to start one:
    // the stamp action still runs to its end and says nothing of the sound.
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("program"));
    const QString home = dir.filePath(QStringLiteral("home"));
    QVERIFY(QDir().mkpath(folder));
    QVERIFY(makeOpenHome(home));
    QVERIFY(QFile::copy(
        QStringLiteral(QVANTO_SOURCE_DIR "/data/petan.wav"), folder + QStringLiteral("/petan.wav")));
    QVERIFY(writeBytes(home + QStringLiteral("/client.conf"), "autospawn = no\n"));

    QProcessEnvironment env = childEnvironment(home);
    env.insert(QStringLiteral("PULSE_SERVER"),
        QStringLiteral("unix:") + dir.filePath(QStringLiteral("no-such-socket")));
    env.insert(QStringLiteral("PULSE_CLIENTCONFIG"), home + QStringLiteral("/client.conf"));
    env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
    QProcess child;
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(folder);
    child.start(QCoreApplication::applicationFilePath(),
        {QStringLiteral("--child"), QStringLiteral("real-sound"), folder});
    const ChildResult result = runToEnd(child);
    QVERIFY2(result.finished && result.exitCode == 0, result.errors.constData());

    QCOMPARE(result.values.value(QStringLiteral("messages")), QString());
    QCOMPARE(result.values.value(QStringLiteral("window state")), QStringLiteral("1"));
    // The call itself says the sound did not start.
    QCOMPARE(result.values.value(QStringLiteral("played")), QStringLiteral("no"));
    const QByteArray log = readBytes(folder + QStringLiteral("/qvanto.log"));
    QCOMPARE(log.count("QVID:"), 3);
    QCOMPARE(log.count("\r\n"), 9);
}

Q_DECLARE_METATYPE(Plant)

void tst_Faults::plantedLinksAndOddFiles_data()
{
    QTest::addColumn<bool>("inSharedFolder"); // else in the user's own data folder
    QTest::addColumn<Plant>("what");
    QTest::newRow("shared folder: a command in a row, the log linked to .bashrc")
        << true << Plant::CommandAndLogLink;
    QTest::newRow("shared folder: settings linked to the thesis") << true << Plant::LinkToThesis;
    QTest::newRow("own folder: settings linked to the thesis") << false << Plant::LinkToThesis;
    QTest::newRow("own folder: settings linked to nothing yet") << false << Plant::DanglingLink;
    QTest::newRow("own folder: settings linked to /dev/null") << false << Plant::LinkToDevNull;
    QTest::newRow("own folder: a FIFO for settings") << false << Plant::Fifo;
    QTest::newRow("own folder: another user's settings") << false << Plant::OthersFile;
}

void tst_Faults::plantedLinksAndOddFiles()
{
    // Another user prepares a shared program folder, or something finds its
    // way into the user's own data folder; the user starts the copy in the
    // shared folder, stamps once and closes. Nothing of the user's outside
    // the program's own files changes, and nothing planted is read.
    QFETCH(bool, inSharedFolder);
    QFETCH(Plant, what);
    const bool asRoot = ::geteuid() == 0;
    QVANTO_REQUIRE(!asRoot || !QStandardPaths::findExecutable(QStringLiteral("setpriv")).isEmpty(),
        "Running as root without setpriv (util-linux): no second user to plant files.");
    QVANTO_REQUIRE(asRoot || what != Plant::OthersFile, "Only root can give a file to another user.");
    const uid_t victim = asRoot ? kNobody : ::getuid();
    const uid_t planter = asRoot ? 4242 : ::getuid();

    QTemporaryDir scratch;
    const QString home = scratch.filePath(QStringLiteral("home"));
    const QString binary = scratch.filePath(QStringLiteral("tst_Faults"));
    QVERIFY(makeOpenHome(home));
    QVERIFY(copyThisBinaryForAll(scratch.path(), binary));
    const QString shared = scratch.filePath(QStringLiteral("shared"));
    const QString data = home + QStringLiteral("/data/QVanto");
    QVERIFY(QDir().mkpath(shared) && QDir().mkpath(data));
    QVERIFY(QFile::setPermissions(shared, kOpenToAll));
    QCOMPARE(::chown(QFile::encodeName(shared).constData(), planter, planter), 0);
    const QStringList victimsFiles {home + QStringLiteral("/thesis.txt"), home + QStringLiteral("/.bashrc")};
    QVERIFY(writeBytes(victimsFiles[0], "第一章 はじめに\n") && writeBytes(victimsFiles[1], "# mine\n"));
    for (const QString &path : victimsFiles + QStringList {home + QStringLiteral("/data"), data})
        QCOMPARE(::chown(QFile::encodeName(path).constData(), victim, victim), 0);
    const QString folder = inSharedFolder ? shared : data;
    QVERIFY(plant(what, folder, home, inSharedFolder || what == Plant::OthersFile ? planter : victim));

    const QStringList watched = victimsFiles
        + QStringList {home + QStringLiteral("/created.txt"), folder + QStringLiteral("/qvanto.ini"),
            shared + QStringLiteral("/qvanto.log"), QStringLiteral("/dev/null")};
    QStringList before;
    for (const QString &path : watched)
        before << entryAt(path);
    const QStringList sharedBefore
        = QDir(shared).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);

    QProcess child;
    QProcessEnvironment env = childEnvironment(home);
    env.insert(QStringLiteral("XDG_DATA_HOME"), home + QStringLiteral("/data"));
    child.setProcessEnvironment(env);
    child.setWorkingDirectory(home);
    startAs(
        child, victim, {binary, QStringLiteral("--child"), QStringLiteral("stamp-as-portable-copy"), shared});
    const ChildResult result = runToEnd(child);
    QVERIFY2(result.finished && result.exitCode == 0, result.errors.constData());

    // The files went to the user's own data folder, and nothing planted was read.
    QCOMPARE(result.values.value(QStringLiteral("data")), data);
    QCOMPARE(result.values.value(QStringLiteral("messages")), QString());
    QCOMPARE(result.values.value(QStringLiteral("row0")), QStringLiteral("会 社 名"));
    QVERIFY(readBytes(data + QStringLiteral("/qvanto.log")).startsWith("QVID:"));
    QStringList after;
    for (const QString &path : watched)
        after << entryAt(path);
    QCOMPARE(after, before);
    QCOMPARE(QDir(shared).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System),
        sharedBefore);
}

void tst_Faults::noFolderToKeepFilesIsSaidOnce()
{
    QTemporaryDir dir;
    QVERIFY(writeBytes(dir.filePath(QStringLiteral("file")), "not a folder"));
    host::AppInfo where = TestWindow::programIn(dir.path());
    where.DataPath = dir.filePath(QStringLiteral("file/QVanto"));
    where.FilesKept = false;
    TestWindow w(where);
    QCOMPARE(w.messages.shown.size(), size_t(1));
    QVERIFY(w.messages.shown[0].text.contains(where.DataPath));
    w.close();
    QCOMPARE(w.messages.shown.size(), size_t(1));
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc == 4 && qstrcmp(argv[1], "--child") == 0)
        return runChild(QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]));
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    tst_Faults test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_Faults.moc"
