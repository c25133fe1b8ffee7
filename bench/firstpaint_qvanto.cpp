// The program as it starts for a user, ending after its first painted frame:
// measures start-up to the first paint and the memory it takes to get there.
#include "app/RealProgram.h"
#include "host/StartupTrace.h"

#include "QuitAfterFirstPaint.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    host::startupMark("main");
    QApplication application(argc, argv);
    host::startupMark("application");
    QApplication::setApplicationName(QStringLiteral("QVanto"));
    RealProgram program;
    QuitAfterFirstPaint quitter(&program.window().form());
    program.start();
    return QApplication::exec();
}
