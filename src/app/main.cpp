// QVanto: composes a Japanese date stamp and hands it to the clipboard.
#include "frm_QVanto.h"

#include "host/AppInfo.h"
#include "host/Clipboard.h"
#include "host/Clock.h"
#include "host/FontList.h"
#include "host/MessageBox.h"
#include "host/SoundPlayer.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("QVanto"));
    QApplication::setApplicationVersion(QStringLiteral("1.1.9"));

    const host::AppInfo app = host::AppInfo::forRunningProgram();
    host::SystemClock clock;
    host::QtFontList fonts;
    host::QtMessageBox messages;
    host::QtClipboard clipboard;
    host::QtSoundPlayer sound(app.Path);

    frm_QVanto window(host::Services{clock, app, fonts, messages, clipboard, sound});
    host::ErrorReport errors(messages, app.Title);
    errors.run([&] { window.Form_Load(); });
    // Even after a failed start-up the window must appear, so the user can
    // see the report's consequences and close the program normally.
    if (!window.form().isVisible())
        window.form().SetVisible(true);
    return QApplication::exec();
}
