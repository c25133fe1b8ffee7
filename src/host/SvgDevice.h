#pragma once

#include <QRect>
#include <QSize>
#include <QString>
#include <memory>

class QIODevice;
class QPaintDevice;

namespace host {

// An SVG document to paint: where it goes and its page.
struct SvgDocument {
    QIODevice *output = nullptr;
    QSize size;
    QRect viewBox;
    int resolutionDpi = 96;
    QString title;
};

// A paint device that writes the document as SVG, from the SVG module (Qt
// SVG), loaded on the first call. Throws HostError when the module is missing.
std::unique_ptr<QPaintDevice> SvgPaintDevice(const SvgDocument &document);

// What the SVG module exports.
using MakeSvgDevice = QPaintDevice *(const SvgDocument &);
inline constexpr char kMakeSvgDevice[] = "qvanto_make_svg_device";

} // namespace host
