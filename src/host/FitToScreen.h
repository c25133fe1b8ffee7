#pragma once

#include <QSize>

class QWidget;

namespace host {

// Sizes a window to `wantedPx` (logical pixels) or, on a smaller screen or at
// a larger scale factor, to what the screen it opens on has room for, so its
// buttons never lie off the screen.
void resizeWithinScreen(QWidget &window, QSize wantedPx);

} // namespace host
