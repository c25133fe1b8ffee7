#pragma once

#include "StampFace.h"

namespace render {

// Paints the whole face from the controls and records its geometry. Writing
// the date row may raise the row's change notification, which redraws once
// more inside this call; the outer pass then draws the same face again.
void RedrawStamp(FaceControls &controls, StampGeometry &geometry);

} // namespace render
