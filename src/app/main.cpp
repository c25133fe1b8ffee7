// QVanto: composes a Japanese date stamp and hands it to the clipboard.
#include "RealProgram.h"

#include "host/QtTranslations.h"
#include "host/StartupTrace.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    host::startupMark("main");
    QApplication application(argc, argv);
    host::startupMark("application");
    QApplication::setApplicationName(QStringLiteral("QVanto"));
    QApplication::setApplicationVersion(QStringLiteral("1.1.9"));
    // Ties the window to its menu entry on desktops that ask.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.qvanto.QVanto"));
    host::installQtTranslations(application);
    RealProgram program;
    program.start();
    return QApplication::exec();
}
