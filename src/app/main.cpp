// QVanto: composes a Japanese date stamp and hands it to the clipboard.
#include "RealProgram.h"

#include "host/QtTranslations.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QVanto"));
    QApplication::setApplicationVersion(QStringLiteral("1.1.9"));
    // Ties the window to its menu entry on desktops that ask.
    QGuiApplication::setDesktopFileName(QStringLiteral("io.github.qvanto.QVanto"));
    host::installQtTranslations(application);
    RealProgram program;
    program.start();
    return QApplication::exec();
}
