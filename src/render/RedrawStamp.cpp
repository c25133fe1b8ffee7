#include "RedrawStamp.h"

#include "DateStyle.h"
#include "DrawRow.h"
#include "SealLayout.h"

#include "host/CheckBox.h"
#include "host/Surface.h"
#include "host/TextBox.h"
#include "host/Units.h"

#include <cmath>

namespace render {

namespace {

constexpr qint32 kWhite = 0xFFFFFF;
constexpr int kTransparentFill = 1;
constexpr int kFrameWidthPx = 2;
// A rubber seal's rim and bars are no thinner than this.
constexpr double kLeastRimMm = 0.4;

void computeGeometry(double outerWidth, const FaceControls &c, StampGeometry &g)
{
    g.StampRadius = float((outerWidth - 25 - 90) / 2);
    g.StampCenterX = float(double(g.StampRadius) + 25);
    g.StampCenterY = float(double(g.StampRadius) + 25);
    g.Kind = c.kind;
    g.DateBandHeight = c.kind == SealKind::Date ? float(double(g.StampCenterY) / 2.5) : 0.0f;
    g.StrokePx = kFrameWidthPx;
    if (c.sizeMm > 0) {
        const double diameterPx = host::twipsToPx(2.0 * double(g.StampRadius)) + kFrameWidthPx;
        g.StrokePx = qMax(kFrameWidthPx, int(std::ceil(kLeastRimMm * diameterPx / c.sizeMm)));
    }
}

void drawFrame(host::Surface &surface, const StampGeometry &g, qint32 ink)
{
    const double r = g.StampRadius;
    const double cx = g.StampCenterX;
    const double cy = g.StampCenterY;
    const double halfBand = double(g.DateBandHeight) / 2;
    surface.setDrawWidth(g.StrokePx);
    surface.Circle(cx, cy, OuterPenRadius(g), ink);
    surface.setDrawWidth(g.StrokePx);
    surface.Line(cx - 0.97 * r, cy - halfBand, cx + 0.97 * r, cy - halfBand, ink);
    surface.Line(cx - 0.97 * r, cy + halfBand, cx + 0.97 * r, cy + halfBand, ink);
}

} // namespace

void RedrawStamp(FaceControls &c, StampGeometry &g)
{
    host::Surface &surface = *c.Picture1;
    computeGeometry(surface.Width(), c, g);

    surface.setFillColor(kWhite);
    surface.setFillStyle(kTransparentFill);
    surface.Cls();

    const DateStyle style = c.dateStyle ? *c.dateStyle : DateStyle::Western;
    c.QVLabel[3]->SetText(DateRowText(c.QVDate[0]->Text(), c.QVDate[1]->Text(), c.QVDate[2]->Text(), style));

    if (c.kind != SealKind::Date) {
        PaintSeal(c, g, LayoutSeal(c, g));
        return;
    }

    const double r = g.StampRadius;
    const double cy = g.StampCenterY;
    const double h = g.DateBandHeight;
    DrawRow(c, g, cy, QStringLiteral("center"), h, 1.9 * r, 3, 3);
    const double y1 = DrawRow(c, g, cy - h / 2 - 25, QStringLiteral("bottom"), h, 1.7 * r, 1, 1);
    DrawRow(c, g, y1, QStringLiteral("bottom"), r - (y1 + 500), 1.2 * r, 0, 0);
    DrawRow(c, g, cy + h / 2 + 50, QStringLiteral("top"), h, 1.7 * r, 2, 2);
    if (c.chkQVID->Value() != 0)
        DrawRow(c, g, cy + r - 0.9 * h, QStringLiteral("top"), h, 1.1 * r, 4, 3);

    drawFrame(surface, g, *c.InkColor);
}

} // namespace render
