#pragma once

#include <QColor>

namespace host {

// Colour values are 0x00BBGGRR; a value with the top bit set names a system
// colour (0x80000012 is the text colour of buttons), resolved from the palette.
inline constexpr qint32 kButtonTextColor = qint32(0x80000012u);

QColor resolveColor(qint32 value);

} // namespace host
