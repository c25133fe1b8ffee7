#pragma once

#include "DateStyle.h"
#include "SealKind.h"

#include <QtGlobal>
#include <array>

namespace host {
class CheckBox;
class ComboBox;
class Surface;
class TextBox;
} // namespace host

namespace render {

// Where the last redraw put the stamp; the click handling reads it back.
// Kept in single precision, as the face's layout has always been.
struct StampGeometry {
    float StampRadius = 0;
    float StampCenterX = 0;
    float StampCenterY = 0;
    float DateBandHeight = 0; // 0 when the kind has no date band
    SealKind Kind = SealKind::Date;
    // The rim's and bars' pen: thicker than the classic 2 px when a real size
    // would make that thinner than a rubber seal's rim.
    int StrokePx = 2;
};

// The window's controls and state the face is drawn from.
struct FaceControls {
    std::array<host::TextBox *, 5> QVLabel {};
    std::array<host::TextBox *, 3> QVDate {};
    std::array<host::ComboBox *, 4> cmbFontName {};
    host::CheckBox *chkQVID = nullptr;
    host::Surface *Picture1 = nullptr;
    const qint32 *InkColor = nullptr;
    // Western unless the user chose an era style.
    const DateStyle *dateStyle = nullptr;
    SealKind kind = SealKind::Date;
    // The seal's size in millimetres when it has one (set, or its kind's
    // default), 0 otherwise; it sets the least width of the rim.
    int sizeMm = 0;
};

} // namespace render
