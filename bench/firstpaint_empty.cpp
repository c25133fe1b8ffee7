// The bare floor for start-up: one empty Qt Widgets window of the program's size
// that ends after its first paint.
#include "QuitAfterFirstPaint.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setFixedSize(234, 302);
    QuitAfterFirstPaint quitter(&window);
    window.show();
    return QApplication::exec();
}
