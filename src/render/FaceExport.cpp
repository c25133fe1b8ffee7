#include "FaceExport.h"

#include "RecordingSurface.h"
#include "RedrawStamp.h"

#include "host/Colors.h"
#include "host/FontResolver.h"
#include "host/ImageSurface.h"
#include "host/SvgDevice.h"
#include "host/Units.h"

#include <QBuffer>
#include <QPainter>
#include <cmath>

namespace render {

namespace {

// The generator writes the root element's size from a whole-number dpi;
// the exact millimetres replace it, so the circle measures the stamp size.
void setRootSizeMm(QByteArray &svg, double sideMm)
{
    const qsizetype root = svg.indexOf("<svg");
    const QByteArray mm = QByteArray::number(sideMm, 'f', 3) + "mm\"";
    for (const QByteArrayView attribute : {QByteArrayView(" width=\""), QByteArrayView(" height=\"")}) {
        const qsizetype start = svg.indexOf(attribute, root);
        const qsizetype end = svg.indexOf('"', start + attribute.size());
        if (root < 0 || start < 0 || end < 0)
            return;
        svg.replace(start + attribute.size(), end - start - attribute.size() + 1, mm);
    }
}

} // namespace

int StampDotsPerMeter(const StampGeometry &g, double pixelScale, int stampMm)
{
    const double diameterPx = host::twipsToPx(2.0 * double(g.StampRadius)) * pixelScale;
    return int(std::lround(diameterPx / (stampMm / 1000.0)));
}

QImage FaceImage(FaceControls controls, int pixelScale, bool transparent, int stampMm)
{
    host::ImageSurface surface(controls.Picture1->Width(), controls.Picture1->Width(), 0xFFFFFF,
        host::ImageSurface::Output {double(pixelScale), transparent});
    controls.Picture1 = &surface;
    // A geometry of its own: the window's stays that of the face on screen.
    StampGeometry geometry;
    RedrawStamp(controls, geometry);
    QImage image = surface.Image();
    if (stampMm > 0) {
        const int dotsPerMeter = StampDotsPerMeter(geometry, pixelScale, stampMm);
        image.setDotsPerMeterX(dotsPerMeter);
        image.setDotsPerMeterY(dotsPerMeter);
    }
    return image;
}

QByteArray FacePng(FaceControls controls, int pixelScale, bool transparent, int stampMm)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    FaceImage(controls, pixelScale, transparent, stampMm).save(&buffer, "PNG");
    return bytes;
}

QByteArray FaceSvg(FaceControls controls, int stampMm)
{
    // Lay the face out as usual, remembering what was printed where.
    host::ImageSurface measuring(controls.Picture1->Width(), controls.Picture1->Width());
    RecordingSurface recorder(measuring);
    controls.Picture1 = &recorder;
    StampGeometry g;
    RedrawStamp(controls, g);

    QByteArray bytes;
    QBuffer buffer(&bytes);
    const QSize size = measuring.Image().size();
    const std::unique_ptr<QPaintDevice> svg = host::SvgPaintDevice(
        {&buffer, size, QRect(QPoint(0, 0), size), int(host::kDrawingDpi), QStringLiteral("QVanto")});

    QPainter p(svg.get());
    p.setRenderHint(QPainter::Antialiasing);
    for (const RecordingSurface::Row &row : recorder.rows) {
        host::FontResolver::Style style {row.bold, row.italic, row.underline, row.strike};
        p.setFont(host::FontResolver::shared().font(row.font, row.size, style));
        p.setPen(host::resolveColor(row.color));
        p.drawText(QPointF(host::twipsToPx(row.x), host::twipsToPx(row.y) + row.ascentPx), row.text);
    }
    const qint32 ink = *controls.InkColor;
    p.setPen(QPen(host::resolveColor(ink), 2));
    p.setBrush(Qt::NoBrush);
    const double r = host::twipsToPx(g.StampRadius);
    const QPointF c(host::twipsToPx(g.StampCenterX), host::twipsToPx(g.StampCenterY));
    p.drawEllipse(c, r, r);
    const double half = host::twipsToPx(g.DateBandHeight) / 2;
    for (double y : {c.y() - half, c.y() + half})
        p.drawLine(QPointF(c.x() - 0.97 * r, y), QPointF(c.x() + 0.97 * r, y));
    p.end();
    if (stampMm > 0) {
        const double sideMm = size.width() * 1000.0 / StampDotsPerMeter(g, 1, stampMm);
        setRootSizeMm(bytes, sideMm);
    }
    return bytes;
}

} // namespace render
