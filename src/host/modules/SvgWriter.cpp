// The SVG module: a paint device writing SVG through Qt SVG, loaded on the
// first SVG save so that start-up never maps Qt SVG.
#include "host/SvgDevice.h"

#include <QSvgGenerator>

extern "C" Q_DECL_EXPORT QPaintDevice *qvanto_make_svg_device(const host::SvgDocument &document)
{
    auto *svg = new QSvgGenerator;
    svg->setOutputDevice(document.output);
    svg->setSize(document.size);
    svg->setViewBox(document.viewBox);
    svg->setResolution(document.resolutionDpi);
    svg->setTitle(document.title);
    return svg;
}
