#pragma once

#include "StampFace.h"

#include <QByteArray>
#include <QImage>

namespace render {

// The face drawn afresh from the same controls at pixelScale times the
// pixels (carrying pixelScale x 96 dpi), on white or on a transparent
// background. The layout in twips, so fonts, positions and the size search,
// is the same as on screen; only the pixels are finer.
QImage FaceImage(FaceControls controls, int pixelScale, bool transparent);

// The face as PNG bytes, at a scale and background as above.
QByteArray FacePng(FaceControls controls, int pixelScale, bool transparent);

// The face as SVG: the same circle, band lines and rows, drawn as vectors.
QByteArray FaceSvg(FaceControls controls);

} // namespace render
