// 役職印: the company around the rim between two circles, the title inside.
#include "SealLayout.h"

#include "host/Units.h"

#include <QtMath>
#include <cmath>

namespace render {

namespace {
// The inner circle's share of the outer one, as on the usual 役職印.
constexpr double kInnerRing = 0.62;
// The rim text spans at most this much of the circle, centred on the top,
// leaving a gap at the bottom as cut seals do.
constexpr double kRimSpanDegrees = 300;
// Of the ring between the circles, the share a character's height takes.
constexpr double kRingFill = 0.78;
// Room between neighbours on the rim, as a share of a character.
constexpr double kRimSpacing = 1.12;
constexpr double kInnerMargin = 0.06;
} // namespace

SealLayout TitleSealLayout(const StampGeometry &g, const QString &rim, const QString &inside)
{
    SealLayout layout;
    const double outer = OuterPenRadius(g);
    const double innerRing = kInnerRing * outer;
    layout.ringRadii = {outer, innerRing};
    const double halfPen = host::pxToTwips(g.StrokePx / 2.0);

    const double ringFrom = innerRing + halfPen;
    const double ringTo = outer - halfPen;
    const double middle = (ringFrom + ringTo) / 2;
    const QStringList characters = SealCharacters(rim);
    if (const int count = int(characters.size()); count > 0) {
        // As large as the ring allows, unless so many that they must shrink
        // to share the span.
        double em = kRingFill * (ringTo - ringFrom);
        double step = kRimSpacing * em / middle;
        if (step * count > qDegreesToRadians(kRimSpanDegrees)) {
            step = qDegreesToRadians(kRimSpanDegrees) / count;
            em = step * middle / kRimSpacing;
        }
        for (int i = 0; i < count; ++i) {
            // Clockwise from the top; each character's top faces outwards.
            const double angle = (i - (count - 1) / 2.0) * step;
            layout.glyphs.push_back({characters[i], g.StampCenterX + middle * std::sin(angle),
                g.StampCenterY - middle * std::cos(angle), em, qRadiansToDegrees(angle), 0});
        }
    }
    SetInCircle(layout, g, inside, (innerRing - halfPen) * (1 - kInnerMargin), 1);
    return layout;
}

} // namespace render
