#include "SvgDevice.h"

#include "Module.h"

#include <QPaintDevice>

namespace host {

std::unique_ptr<QPaintDevice> SvgPaintDevice(const SvgDocument &document)
{
    // Loaded once for the process: the library stays mapped once loaded anyway.
    static Module svg(QStringLiteral("qvanto_svg"));
    return std::unique_ptr<QPaintDevice>(svg.function<MakeSvgDevice>(kMakeSvgDevice)(document));
}

} // namespace host
