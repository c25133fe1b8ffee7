// The program as it starts for a user, ending after its first painted frame:
// measures start-up to the first paint and the memory it takes to get there.
#include "app/RealProgram.h"

#include "QuitAfterFirstPaint.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QVanto"));
    RealProgram program;
    QuitAfterFirstPaint quitter(&program.window().form());
    program.start();
    return QApplication::exec();
}
