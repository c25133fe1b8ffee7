// Writes the program's icon into a hicolor icon theme folder, one PNG per
// size, from the same drawing as the window icon: the menu entry, the task
// bar and the window then show one picture, and no picture file needs to be
// kept in the source.
//
// Usage: qvanto_make_icons THEME_FOLDER ICON_NAME SIZE...
// Writes THEME_FOLDER/<SIZE>x<SIZE>/apps/ICON_NAME.png for every SIZE.
#include "app/WindowIcon.h"

#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QTextStream>

int main(int argc, char *argv[])
{
    // The drawing needs fonts, so a GUI application; the build runs it on the
    // offscreen platform.
    QGuiApplication application(argc, argv);
    const QStringList args = QGuiApplication::arguments();
    QTextStream err(stderr);
    if (args.size() < 4) {
        err << "usage: " << args.value(0) << " THEME_FOLDER ICON_NAME SIZE...\n";
        return 2;
    }
    const QDir theme(args.at(1));
    const QString iconName = args.at(2);
    for (const QString &sizeText : args.mid(3)) {
        bool ok = false;
        const int sizePx = sizeText.toInt(&ok);
        if (!ok || sizePx < 16) {
            err << "not an icon size: " << sizeText << '\n';
            return 2;
        }
        const QString folder = QStringLiteral("%1x%1/apps").arg(sizePx);
        const QString file = theme.filePath(folder + QLatin1Char('/') + iconName + QStringLiteral(".png"));
        const QImage image = WindowIconImage(sizePx);
        if (!theme.mkpath(folder) || image.size() != QSize(sizePx, sizePx) || !image.save(file, "PNG")) {
            err << "cannot write " << file << '\n';
            return 1;
        }
    }
    return 0;
}
