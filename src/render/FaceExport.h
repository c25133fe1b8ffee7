#pragma once

#include "StampFace.h"

#include <QByteArray>
#include <QImage>

namespace render {

// The face drawn afresh from the same controls at pixelScale times the
// pixels, on white or on a transparent background. The layout in twips, so
// fonts, positions and the size search, is the same as on screen; only the
// pixels are finer. The picture carries pixelScale x 96 dpi, or with a
// stamp size in millimetres (above 0) the resolution at which its circle
// measures that size when placed at 100 %.
QImage FaceImage(FaceControls controls, int pixelScale, bool transparent, int stampMm = 0);

// The face as PNG bytes, at a scale, background and size as above.
QByteArray FacePng(FaceControls controls, int pixelScale, bool transparent, int stampMm = 0);

// The face as SVG: the same circle, band lines and rows, drawn as vectors;
// with a stamp size, its width and height in millimetres to match.
QByteArray FaceSvg(FaceControls controls, int stampMm = 0);

// The face as a one-page PDF, vectors and an embedded font subset, the
// page the square around the circle; *circleFraction is the share of the
// page's width the circle's diameter takes. Empty when it cannot be drawn.
QByteArray FacePdf(FaceControls controls, double *circleFraction);

// Pixels per metre that give the circle of `g`, drawn at pixelScale, a
// diameter of stampMm.
int StampDotsPerMeter(const StampGeometry &g, double pixelScale, int stampMm);

} // namespace render
