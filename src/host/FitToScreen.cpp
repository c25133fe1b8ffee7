#include "FitToScreen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace host {

void resizeWithinScreen(QWidget &window, QSize wantedPx)
{
    const QScreen *screen = window.screen() ? window.screen() : QGuiApplication::primaryScreen();
    if (screen) {
        // Room for the window manager's frame around it.
        const QSize room = screen->availableGeometry().size() * 9 / 10;
        wantedPx = wantedPx.boundedTo(room);
    }
    window.resize(wantedPx);
}

} // namespace host
