// QVanto: composes a Japanese date stamp and hands it to the clipboard.
#include "RealProgram.h"
#include "StampPdfCommand.h"

#include <QApplication>

#include <cstring>

int main(int argc, char *argv[])
{
    const bool stampPdf = argc > 1 && std::strcmp(argv[1], app::kStampPdfCommand) == 0;
    // The command draws the stamp but never shows a window, with or without
    // a display.
    if (stampPdf)
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QVanto"));
    QApplication::setApplicationVersion(QStringLiteral("1.1.9"));
    // Ties the window to its menu entry on desktops that ask.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.qvanto.QVanto"));
    if (stampPdf)
        return app::RunStampPdfCommand(QApplication::arguments().mid(2));
    RealProgram program;
    program.start();
    return QApplication::exec();
}
