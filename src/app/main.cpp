// QVanto: composes a Japanese date stamp and hands it to the clipboard.
#include "LookUpCommand.h"
#include "OneCopyPerFolder.h"
#include "RealProgram.h"
#include "StampPdfCommand.h"

#include "host/QtTranslations.h"
#include "host/SingleInstance.h"
#include "host/StartupTrace.h"

#include <QApplication>

#include <csignal>
#include <cstring>

int main(int argc, char *argv[])
{
    host::startupMark("main");
#ifdef SIGXFSZ
    // A file size limit (ulimit -f) then fails the log's write, which the
    // stamp reports as "error", instead of killing the program and its edits.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    const bool stampPdf = argc > 1 && std::strcmp(argv[1], app::kStampPdfCommand) == 0;
    const bool lookUp = argc > 1 && std::strcmp(argv[1], app::kLookUpCommand) == 0;
    // The commands draw or read but never show a window, with or without a
    // display.
    if (stampPdf || lookUp)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    host::startupMark("application");
    QApplication::setApplicationName(QStringLiteral("QVanto"));
    QApplication::setApplicationVersion(QStringLiteral("1.1.9"));
    // Ties the window to its menu entry on desktops that ask.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.qvanto.QVanto"));
    if (stampPdf)
        return app::RunStampPdfCommand(QApplication::arguments().mid(2));
    if (lookUp)
        return app::RunLookUpCommand(QApplication::arguments().mid(2));
    host::installQtTranslations(application);
    host::AppInfo app = host::AppInfo::forRunningProgram();
    host::SingleInstance instance(app.dataFile({}), app.EXEName.toLower() + QStringLiteral(".lock"));
    host::QtMessageBox messages;
    if (const std::optional<int> status = app::ClaimDataFolder(instance, app, messages))
        return *status;
    RealProgram program(std::move(app));
    program.start();
    app::ShowWindowOnRequest(instance, program.window().form());
    return QApplication::exec();
}
