// QVanto: composes a Japanese date stamp and hands it to the clipboard.
#include "LookUpCommand.h"
#include "OneCopyPerFolder.h"
#include "RealProgram.h"
#include "RegistryCommand.h"
#include "StampPdfCommand.h"
#include "VerifyCommand.h"

#include "host/PrivateFolder.h"
#include "host/QtTranslations.h"
#include "host/SingleInstance.h"
#include "host/StartupTrace.h"

#include <QApplication>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <future>
#include <memory>

namespace {

constexpr char kVersion[] = "1.1.9";

// The commands that run instead of the window, each with the arguments
// after its name. A new command is one more line here and in the usage.
struct Command {
    const char *name;
    int (*run)(const QStringList &arguments);
};
constexpr Command kCommands[] = {
    {app::kStampPdfCommand, app::RunStampPdfCommand},
    {app::kLookUpCommand, app::RunLookUpCommand},
    {app::kRegistryCommand, app::RunRegistryCommand},
    {app::kVerifyCommand, app::RunVerifyCommand},
};

constexpr char kUsage[]
    = "使い方:\n"
      "  qvanto                    ウィンドウを開きます\n"
      "  qvanto stamp-pdf 入力.pdf 出力.pdf (--page N | --pages 一覧) --x MM --y MM [--size MM]\n"
      "                            [--sign 鍵.p12 [--tsa URL]]\n"
      "  qvanto stamp-pdf --out-dir フォルダ (--page N | --pages 一覧) --x MM --y MM [--size MM] 入力.pdf…\n"
      "                            PDF のページに押印します (一覧: all, last, 1,3-5)\n"
      "                            (qvanto stamp-pdf --help で詳しく)\n"
      "  qvanto lookup 押印番号|ファイル.pdf\n"
      "                            押印番号を押印ログ (と登録簿) で照会します\n"
      "  qvanto registry init|sync 事務所の登録簿の表を用意します | 待っている記録を送ります\n"
      "  qvanto verify ファイル.pdf [--trust 認証局.pem]…\n"
      "                            PDF の押印と電子署名を検証します\n"
      "  qvanto --help             この説明を表示します\n"
      "  qvanto --version          版を表示します\n"
      "詳しくは man qvanto\n";

void nameTheApplication()
{
    QApplication::setApplicationName(QStringLiteral("QVanto"));
    QApplication::setApplicationVersion(QString::fromLatin1(kVersion));
    // Ties the window to its menu entry on desktops that ask.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.qvanto.QVanto"));
}

// Without a runtime folder Qt warns at every start and makes one of its
// own; the program's private one (made 0700 and checked) serves instead.
void useOwnRuntimeFolder()
{
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR"))
        if (const QString folder = host::privateRuntimeFolder(); !folder.isEmpty())
            qputenv("XDG_RUNTIME_DIR", QFile::encodeName(folder));
}

// Without a display Qt aborts in its platform plugin; a platform named
// outright (offscreen, a Wayland or X server of its own) is Qt's to judge.
bool hasDisplay()
{
    return !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") || !qEnvironmentVariableIsEmpty("DISPLAY")
        || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

// Help, version or one of the commands; anything else is a mistake, told on
// the error stream, and never a window the caller did not ask for.
int runCommandLine(int argc, char *argv[])
{
    const char *first = argv[1];
    if (std::strcmp(first, "--help") == 0 || std::strcmp(first, "-h") == 0) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (std::strcmp(first, "--version") == 0) {
        std::printf("qvanto %s\n", kVersion);
        return 0;
    }
    for (const Command &command : kCommands) {
        if (std::strcmp(first, command.name) != 0)
            continue;
        // The commands draw the stamp but never show a window, with or
        // without a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        useOwnRuntimeFolder();
        QApplication application(argc, argv);
        nameTheApplication();
        return command.run(QApplication::arguments().mid(2));
    }
    std::fprintf(stderr, "qvanto: 「%s」というコマンドやオプションはありません。\n%s", first, kUsage);
    return 2;
}

int runWindow(int argc, char *argv[])
{
    if (!hasDisplay()) {
        std::fputs(
            "qvanto: 画面がありません (DISPLAY も WAYLAND_DISPLAY もない) ため、ウィンドウを開けません。\n",
            stderr);
        return 1;
    }
    useOwnRuntimeFolder();
    QApplication application(argc, argv);
    host::startupMark("application");
    nameTheApplication();
    host::installQtTranslations(application);
    host::AppInfo app = host::AppInfo::forRunningProgram();
    // With no folder to keep files there is nothing two copies could
    // overwrite, and no folder to hold the lock. The lock is taken while the
    // window is built (its file is synced to disk first); the window shows
    // only once it is held.
    std::unique_ptr<host::SingleInstance> instance;
    std::future<host::SingleInstance::Claim> locked;
    if (app.FilesKept) {
        instance = std::make_unique<host::SingleInstance>(
            app.dataFile({}), app.EXEName.toLower() + QStringLiteral(".lock"));
        locked = std::async(std::launch::async, [&instance] { return instance->lock(); });
    }
    RealProgram program(app);
    if (instance) {
        host::QtMessageBox messages;
        if (const std::optional<int> status = app::ClaimDataFolder(*instance, locked.get(), app, messages))
            return *status;
    }
    host::startupMark("claimed");
    program.start();
    if (instance)
        app::ShowWindowOnRequest(*instance, program.window().form());
    return QApplication::exec();
}

} // namespace

int main(int argc, char *argv[])
{
    host::startupMark("main");
#ifdef SIGXFSZ
    // A file size limit (ulimit -f) then fails the log's write, which the
    // stamp reports as "error", instead of killing the program and its edits.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    return argc > 1 ? runCommandLine(argc, argv) : runWindow(argc, argv);
}
