#pragma once

#include "StampFace.h"

#include <functional>

namespace render {

// A press on the face: inside the date band the left button steps the year,
// month or day under the pointer up by one, the right button down by one,
// each wrapping within its own range; then the face is redrawn. Presses
// above or below the band do nothing. A date field that does not hold a
// number raises HostError before anything changes.
// Whether a height lies on the date band; its top and bottom lines count.
bool OnDateBand(const StampGeometry &geometry, float y);

void DateBandPress(const StampGeometry &geometry, const std::array<host::TextBox *, 3> &QVDate, qint16 button,
    float x, float y, const std::function<void()> &redraw);

} // namespace render
