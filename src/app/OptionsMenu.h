#pragma once

#include "StampOptions.h"

#include <QDate>
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
    QMenu *stamps = nullptr; // filled as the menu opens
    QMenu *sealKind = nullptr;
    std::array<QAction *, 4> kind {}; // by render::SealKind
    QMenu *stampSize = nullptr;
    std::array<QAction *, 5> stampMm {}; // none, then kStampSizesMm
    QAction *stampMmTyped = nullptr; // any other size, asked for
    QAction *saveAs = nullptr;
    QAction *lookUp = nullptr;
    QAction *stampPdf = nullptr;
    QAction *signKey = nullptr; // ticked while PDF stamps are signed with a key file

    static constexpr std::array<int, 5> kStampSizesMm {0, 15, 18, 21, 24};

    // Ticks the entries that match the options.
    void reflect(const StampOptions &options) const;
    // Writes the example of each date style with this date.
    void showDate(const QDate &date) const;
};

OptionsMenu BuildOptionsMenu(QWidget &window);

} // namespace app
