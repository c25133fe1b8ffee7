#pragma once

#include "StampFace.h"

#include <QString>

namespace render {

// Prints row `rowIndex` in the face of `fontIndex` at the largest whole size
// (searched upwards from 1) whose line stays below maxHeight and whose width
// stays below maxWidth, centred on the stamp's centre line; `placement`
// ("top", "center" or "bottom") says which part of the line lies on anchorY.
// Returns the y of the printed line's top edge.
float DrawRow(FaceControls &controls, const StampGeometry &geometry, double anchorY, const QString &placement,
    double maxHeight, double maxWidth, qint16 rowIndex, qint16 fontIndex);

} // namespace render
