// The floor for start-up: a window of the program's size with one Japanese
// button, "押印", where the program has its own. Drawing the caption makes
// Qt set up fontconfig and load a Japanese face, as the program must.
#include "QuitAfterFirstPaint.h"

#include <QApplication>
#include <QPushButton>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(234, 302);
    QPushButton button(QStringLiteral("押印"), &window);
    button.setGeometry(5, 260, 171, 36);
    QuitAfterFirstPaint quitter(&window);
    window.show();
    return QApplication::exec();
}
