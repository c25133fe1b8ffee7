#pragma once

#include "StampOptions.h"

#include <array>

class QAction;
class QMenu;
class QWidget;

namespace app {

// The stamp options, offered as a context menu on the face outside the date
// band and as keyboard shortcuts of the window, so no control of the layout
// has to move for them.
struct OptionsMenu {
    QMenu *menu = nullptr;
    std::array<QAction *, 4> pixelScale {}; // 1x to 4x
    QAction *transparent = nullptr;
    std::array<QAction *, 3> dateStyle {}; // by render::DateStyle
    QAction *saveAs = nullptr;
    QAction *lookUp = nullptr;
    QAction *stampPdf = nullptr;

    // Ticks the entries that match the options.
    void reflect(const StampOptions &options) const;
};

OptionsMenu BuildOptionsMenu(QWidget &window);

} // namespace app
