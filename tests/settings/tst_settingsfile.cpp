#include "host/AppInfo.h"
#include "settings/SettingsFile.h"

#include "Files.h"
#include "SettingsControlsFixture.h"
#include "fakes/FileSizeLimit.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <optional>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <tuple>
#include <unistd.h>

using namespace bas_QVanto;

namespace {

QStringList strings(std::initializer_list<const char *> texts)
{
    QStringList list;
    for (const char *text : texts)
        list << QString::fromUtf8(text);
    return list;
}

// What the settings file can change, as the controls show it.
struct Shown {
    QStringList labels;
    QStringList fonts;
    qint32 ink = 255;
    int qvid = 0;
};

const Shown kDefaults {strings({"d0", "d1", "d2", "d3"}), strings({"f0", "f1", "f2", "f3"}), 255, 0};
const Shown kJapanese {strings({"会 社 名", "部課係名", "氏    名", "2026.12.06"}),
    QStringList(4, QStringLiteral("ＭＳ Ｐゴシック")), 255, 0};

// The window's part in the settings, built from real controls.
struct Window : support::SettingsControlsFixture {
    explicit Window(const Shown &start = kDefaults)
    {
        show(start.labels, start.fonts, start.ink, start.qvid);
    }
    Shown shown() const { return {texts(labels), texts(fonts), ink, qvid.Value()}; }
};

host::AppInfo programIn(const QTemporaryDir &dir)
{
    host::AppInfo app;
    app.Path = QDir::toNativeSeparators(dir.path());
    app.EXEName = QStringLiteral("qvanto");
    return app;
}

constexpr auto fileBytes = &support::readBytes;
using support::writeBytes;

Shown withRows(Shown s, std::initializer_list<std::tuple<int, const char *, const char *>> rows)
{
    for (const auto &[n, label, font] : rows) {
        s.labels[n] = QString::fromUtf8(label);
        s.fonts[n] = QString::fromUtf8(font);
    }
    return s;
}

Shown withInk(Shown s, qint32 ink, int qvid)
{
    s.ink = ink;
    s.qvid = qvid;
    return s;
}

void compareShown(const Shown &actual, const Shown &expected)
{
    QCOMPARE(actual.labels, expected.labels);
    QCOMPARE(actual.fonts, expected.fonts);
    QCOMPARE(actual.ink, expected.ink);
    QCOMPARE(actual.qvid, expected.qvid);
}

enum class Obstacle { FolderInTheWay, DiskFull, ReadOnlyFolder };

using fakes::FileSizeLimit;

// Root writes into read-only folders. While this lives, root's file system
// rights in this thread are those of the user "nobody" (setfsuid drops the
// override of permissions too), and the kernel checks them as for that user.
class OrdinaryUsersRights {
public:
    static constexpr uid_t kNobody = 65534;
    OrdinaryUsersRights()
    {
        ::setfsgid(kNobody);
        ::setfsuid(kNobody);
    }
    ~OrdinaryUsersRights()
    {
        ::setfsuid(0);
        ::setfsgid(0);
    }
    OrdinaryUsersRights(const OrdinaryUsersRights &) = delete;
    OrdinaryUsersRights &operator=(const OrdinaryUsersRights &) = delete;
    // setfsuid answers with the rights in force; -1 changes nothing.
    bool inForce() const { return ::setfsuid(uid_t(-1)) == int(kNobody); }
};

bool setMode(const QString &path, mode_t mode)
{
    return ::chmod(QFile::encodeName(path).constData(), mode) == 0;
}

// Who owns the administrator's preset and its folder.
enum class PresetOwner { Me, FolderOwner, Other };
constexpr uid_t kOtherUser = 4242;

} // namespace

Q_DECLARE_METATYPE(Shown)
Q_DECLARE_METATYPE(PresetOwner)
Q_DECLARE_METATYPE(Obstacle)

class TestSettingsFile : public QObject {
    Q_OBJECT

private slots:
    void savedText();
    void roundTrip_data();
    void roundTrip();
    void load_data();
    void load();
    void failedSaveKeepsOldFile_data();
    void failedSaveKeepsOldFile();
    void adminPreset_data();
    void adminPreset();
    void linkToOwnFile_data();
    void linkToOwnFile();
};

void TestSettingsFile::savedText()
{
    QTemporaryDir dir;
    const auto app = programIn(dir);
    Window window(kJapanese);
    SaveSettings(app, window.controls);

    QCOMPARE(QString::fromUtf8(fileBytes(SettingsPath(app))),
        QStringLiteral("label0,会 社 名,ＭＳ Ｐゴシック\r\n"
                       "label1,部課係名,ＭＳ Ｐゴシック\r\n"
                       "label2,氏    名,ＭＳ Ｐゴシック\r\n"
                       "label3,2026.12.06,ＭＳ Ｐゴシック\r\n"
                       "color, 255 \r\n"
                       "qvid, 0 \r\n"));
}

void TestSettingsFile::roundTrip_data()
{
    QTest::addColumn<Shown>("saved");
    QTest::addColumn<Shown>("loaded");

    const Shown japanese = kJapanese;
    QTest::newRow("defaults") << japanese << japanese;
    QTest::newRow("comma in a row loses the face")
        << withRows(japanese, {{1, "A,B", "IPAGothic"}}) << withRows(japanese, {{1, "A", "B"}});
    QTest::newRow("blanks at the ends are lost") << withRows(japanese, {{0, "  総務 部 ", " IPAMincho  "}})
                                                 << withRows(japanese, {{0, "総務 部", "IPAMincho"}});
    QTest::newRow("empty row and face come back as a blank")
        << withRows(japanese, {{2, "", ""}}) << withRows(japanese, {{2, " ", " "}});
    QTest::newRow("negative ink, grey check")
        << withInk(japanese, -2147483647 - 1, 2) << withInk(japanese, -2147483647 - 1, 2);
}

void TestSettingsFile::roundTrip()
{
    QFETCH(Shown, saved);
    QFETCH(Shown, loaded);
    QTemporaryDir dir;
    const auto app = programIn(dir);

    // Saving twice replaces the file and leaves nothing else in the folder.
    SaveSettings(app, Window().controls);
    Window before(saved);
    SaveSettings(app, before.controls);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList {QStringLiteral("qvanto.ini")});

    Window after;
    SplitState splitter;
    LoadSettings(app, after.controls, splitter);
    compareShown(after.shown(), loaded);
}

void TestSettingsFile::load_data()
{
    QTest::addColumn<QByteArray>("bytes"); // null: no file at all
    QTest::addColumn<Shown>("expected");

    const Shown d = kDefaults;
    QTest::newRow("no file") << QByteArray() << d;
    QTest::newRow("keys in any case, blanks around")
        << QByteArray("LABEL2,x,y\r\n  Label1  ,p,q\r\n") << withRows(d, {{2, "x", "y"}, {1, "p", "q"}});
    QTest::newRow("single value empties the face")
        << QByteArray("label1,v\r\n") << withRows(d, {{1, "v", ""}});
    QTest::newRow("unknown keys ignored")
        << QByteArray("colour,1\r\nlabel4,a,b\r\nlabel0,a,b\r\n") << withRows(d, {{0, "a", "b"}});
    QTest::newRow("bad color stops at its line")
        << QByteArray("label0,a,b\r\nlabel1,c,d\r\ncolor,red\r\nlabel2,e,f\r\nqvid, 1 \r\n")
        << withRows(d, {{0, "a", "b"}, {1, "c", "d"}});
    QTest::newRow("color out of range stops")
        << QByteArray("color, -1 \r\ncolor,2147483648\r\nlabel0,a,b\r\n") << withInk(d, -1, 0);
    QTest::newRow("qvid refused by the check box stops")
        << QByteArray("qvid,1\r\ncolor,10\r\nqvid,5\r\ncolor,20\r\n") << withInk(d, 10, 1);
    QTest::newRow("empty line takes the next unread field")
        << QByteArray("foo,label1,x,y\r\n\r\n") << withRows(d, {{1, "x", "y"}});
    QTest::newRow("empty line after a full line is ignored")
        << QByteArray("label0,a,b\r\n\r\nlabel1,c,d\r\n") << withRows(d, {{0, "a", "b"}, {1, "c", "d"}});
    QTest::newRow("out of order, last repeat wins")
        << QByteArray("qvid,2\r\nlabel3,t,u\r\ncolor,7\r\nlabel3,v,w\r\n")
        << withInk(withRows(d, {{3, "v", "w"}}), 7, 2);
    QTest::newRow("face name cut to 64") << QByteArray("label0,a,") + QByteArray(70, 'F')
                                         << withRows(d, {{0, "a", QByteArray(64, 'F').constData()}});
    QTest::newRow("LF line ends") << QByteArray("label0,a,b\nlabel1,c,d\ncolor,7\n")
                                  << withInk(withRows(d, {{0, "a", "b"}, {1, "c", "d"}}), 7, 0);
    QTest::newRow("CR line ends, none at the end") << QByteArray(
        "label0,a,b\rlabel1,c,d\rqvid,1") << withInk(withRows(d, {{0, "a", "b"}, {1, "c", "d"}}), 255, 1);
    QTest::newRow("mixed line ends") << QByteArray("label0,a,b\r\rlabel1,c,d\n\r\nlabel2,e,f")
                                     << withRows(d, {{0, "a", "b"}, {1, "c", "d"}, {2, "e", "f"}});
    // 会社 and the CP932-only ① and ～ (FULLWIDTH TILDE on Windows).
    QTest::newRow("Shift_JIS file") << QByteArray("label0,\x89\xEF\x8E\xD0,\x87\x40\x81\x60\r\n")
                                    << withRows(d, {{0, "会社", "①～"}});
    QTest::newRow("UTF-8 byte-order mark")
        << QByteArray("\xEF\xBB\xBFlabel0,a,b\r\n") << withRows(d, {{0, "a", "b"}});
    QTest::newRow("overflowing line stops")
        << QByteArray("label0,a,b\r\nlabel1,") + QByteArray(40000, 'x') + QByteArray(",c\r\nlabel2,e,f\r\n")
        << withRows(d, {{0, "a", "b"}});

    // Whole lines within the 1 MiB read limit are read; the line across it is not,
    // though the cut falls inside one of its UTF-8 characters.
    const QByteArray first("label0,a,b\r\n");
    const QByteArray last("label3,日付,h\r\n");
    const QByteArray across("label1,日本,d\r\n");
    const qsizetype fill = 1024 * 1024 - first.size() - last.size() - 8 - 2;
    QTest::newRow("huge file read to the limit") << first + QByteArray(fill, ' ') + "\r\n" + last + across
            + "label2,e,f\r\n" << withRows(d, {{0, "a", "b"}, {3, "日付", "h"}});
}

void TestSettingsFile::load()
{
    QFETCH(QByteArray, bytes);
    QFETCH(Shown, expected);
    QTemporaryDir dir;
    const auto app = programIn(dir);
    if (!bytes.isNull())
        QVERIFY(writeBytes(SettingsPath(app), bytes));

    Window window;
    SplitState splitter;
    LoadSettings(app, window.controls, splitter);
    compareShown(window.shown(), expected);
}

void TestSettingsFile::failedSaveKeepsOldFile_data()
{
    QTest::addColumn<Obstacle>("obstacle");
    QTest::newRow("folder named qvanto.ini") << Obstacle::FolderInTheWay;
    QTest::newRow("disk full") << Obstacle::DiskFull;
    QTest::newRow("read-only folder and file") << Obstacle::ReadOnlyFolder;
}

void TestSettingsFile::failedSaveKeepsOldFile()
{
    QFETCH(Obstacle, obstacle);
    QTemporaryDir dir;
    const auto app = programIn(dir);
    const QString path = SettingsPath(app);
    const QByteArray old("label0,old,face\r\ncolor, 5 \r\n");

    if (obstacle == Obstacle::FolderInTheWay) {
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("qvanto.ini")));
    } else {
        QVERIFY(writeBytes(path, old));
    }
    if (obstacle == Obstacle::ReadOnlyFolder) {
        // A writable file in it would be rewritten in place. Read-only to
        // everyone, as root too once it saves with an ordinary user's rights.
        QVERIFY(QFile::setPermissions(path, QFile::ReadOwner | QFile::ReadOther));
        QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::ExeOwner | QFile::ExeOther));
    }

    {
        // A file size limit fails writes the way a full disk does, even for root.
        std::optional<FileSizeLimit> limit;
        if (obstacle == Obstacle::DiskFull)
            limit.emplace(old.size());
        std::optional<OrdinaryUsersRights> ordinary;
        if (obstacle == Obstacle::ReadOnlyFolder && ::geteuid() == 0) {
            ordinary.emplace();
            QVERIFY(ordinary->inForce());
        }
        SaveSettings(app, Window(withInk(kJapanese, 9, 1)).controls);
    }

    QVERIFY(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList {QStringLiteral("qvanto.ini")});
    if (obstacle == Obstacle::FolderInTheWay)
        QVERIFY(QFileInfo(path).isDir());
    else
        QCOMPARE(fileBytes(path), old);
}

void TestSettingsFile::adminPreset_data()
{
    QTest::addColumn<int>("fileMode");
    QTest::addColumn<int>("folderMode");
    QTest::addColumn<PresetOwner>("owner");
    QTest::addColumn<bool>("ownSettings");
    QTest::addColumn<QString>("expected"); // row 0 shown

    const QString preset = QStringLiteral("Preset Co"), mine = QStringLiteral("Mine"),
                  none = QStringLiteral("d0");
    QTest::newRow("closed file in a closed folder") << 0444 << 0555 << PresetOwner::Me << false << preset;
    QTest::newRow("owner may write it") << 0644 << 0755 << PresetOwner::Me << false << preset;
    QTest::newRow("another owner's folder and file")
        << 0444 << 0555 << PresetOwner::FolderOwner << false << preset;
    QTest::newRow("file of someone else") << 0444 << 0555 << PresetOwner::Other << false << none;
    QTest::newRow("file others can write") << 0666 << 0555 << PresetOwner::Me << false << none;
    QTest::newRow("file the group can write") << 0464 << 0555 << PresetOwner::Me << false << none;
    QTest::newRow("folder others can write") << 0444 << 0777 << PresetOwner::Me << false << none;
    QTest::newRow("sticky folder others can write") << 0444 << 01777 << PresetOwner::Me << false << none;
    QTest::newRow("own settings win") << 0444 << 0555 << PresetOwner::Me << true << mine;
}

void TestSettingsFile::adminPreset()
{
    QFETCH(int, fileMode);
    QFETCH(int, folderMode);
    QFETCH(PresetOwner, owner);
    QFETCH(bool, ownSettings);
    QFETCH(QString, expected);
    if (owner != PresetOwner::Me && ::geteuid() != 0)
        QSKIP("Only root can give files to a second user.");
    QTemporaryDir dir;
    const QString program = dir.filePath(QStringLiteral("program"));
    const QString data = dir.filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkdir(program) && QDir().mkdir(data));
    auto app = programIn(dir);
    app.Path = program;
    app.DataPath = data;
    const QString presetFile = app.fileBesideProgram(QStringLiteral("qvanto.ini"));
    const QByteArray presetBytes("label0,Preset Co,f\r\ncolor,7\r\n");
    QVERIFY(writeBytes(presetFile, presetBytes));
    if (ownSettings)
        QVERIFY(writeBytes(SettingsPath(app), "label0,Mine,g\r\n"));
    if (owner != PresetOwner::Me) {
        const uid_t folderOwner = owner == PresetOwner::FolderOwner ? kOtherUser : ::geteuid();
        QVERIFY(::chown(QFile::encodeName(program).constData(), folderOwner, folderOwner) == 0);
        QVERIFY(::chown(QFile::encodeName(presetFile).constData(), kOtherUser, kOtherUser) == 0);
    }
    QVERIFY(setMode(presetFile, mode_t(fileMode)) && setMode(program, mode_t(folderMode)));

    Window window;
    SplitState splitter;
    LoadSettings(app, window.controls, splitter);
    QCOMPARE(window.shown().labels[0], expected);
    QCOMPARE(window.ink, expected == QLatin1String("Preset Co") ? 7 : 255);

    // The user's save goes to their own file; the preset stays as it was.
    window.labels[1].SetText(QStringLiteral("changed"));
    SaveSettings(app, window.controls);
    QCOMPARE(fileBytes(presetFile), presetBytes);
    Window again;
    LoadSettings(app, again.controls, splitter);
    QCOMPARE(again.shown().labels.mid(0, 2), (QStringList {expected, QStringLiteral("changed")}));
    QVERIFY(setMode(program, 0700));
}

void TestSettingsFile::linkToOwnFile_data()
{
    QTest::addColumn<int>("linkFolderMode");
    QTest::addColumn<int>("targetFolderMode");
    QTest::addColumn<int>("targetMode");
    QTest::addColumn<bool>("followed");

    QTest::newRow("own link to own file") << 0700 << 0755 << 0644 << true;
    QTest::newRow("link in a folder others can write") << 0777 << 0755 << 0644 << false;
    QTest::newRow("target in a folder others can write") << 0700 << 0777 << 0644 << false;
    QTest::newRow("target others can write") << 0700 << 0755 << 0666 << false;
}

void TestSettingsFile::linkToOwnFile()
{
    QFETCH(int, linkFolderMode);
    QFETCH(int, targetFolderMode);
    QFETCH(int, targetMode);
    QFETCH(bool, followed);
    QTemporaryDir dir;
    const QString dotfiles = dir.filePath(QStringLiteral("dotfiles"));
    const QString data = dir.filePath(QStringLiteral("data"));
    QVERIFY(QDir().mkdir(dotfiles) && QDir().mkdir(data));
    auto app = programIn(dir);
    app.DataPath = data;
    const QString target = dotfiles + QStringLiteral("/qvanto.ini");
    const QByteArray old("label0,Kept,f\r\n");
    QVERIFY(writeBytes(target, old));
    QVERIFY(QFile::link(target, SettingsPath(app)));
    QVERIFY(setMode(target, mode_t(targetMode)) && setMode(dotfiles, mode_t(targetFolderMode))
        && setMode(data, mode_t(linkFolderMode)));

    Window window;
    SplitState splitter;
    LoadSettings(app, window.controls, splitter);
    QCOMPARE(window.shown().labels[0], followed ? QStringLiteral("Kept") : QStringLiteral("d0"));
    window.labels[0].SetText(QStringLiteral("Saved"));
    SaveSettings(app, window.controls);
    // The link stays a link; only a followed one has its file replaced.
    QVERIFY(QFileInfo(SettingsPath(app)).isSymLink());
    QCOMPARE(fileBytes(target).startsWith("label0,Saved,"), followed);
    if (!followed)
        QCOMPARE(fileBytes(target), old);
}

QTEST_MAIN(TestSettingsFile)
#include "tst_settingsfile.moc"
