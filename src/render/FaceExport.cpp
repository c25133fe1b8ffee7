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

namespace render {

QImage FaceImage(FaceControls controls, int pixelScale, bool transparent)
{
    host::ImageSurface surface(controls.Picture1->Width(), controls.Picture1->Width(), 0xFFFFFF,
        host::ImageSurface::Output {pixelScale, transparent});
    controls.Picture1 = &surface;
    // A geometry of its own: the window's stays that of the face on screen.
    StampGeometry geometry;
    RedrawStamp(controls, geometry);
    return surface.Image();
}

QByteArray FacePng(FaceControls controls, int pixelScale, bool transparent)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    FaceImage(controls, pixelScale, transparent).save(&buffer, "PNG");
    return bytes;
}

QByteArray FaceSvg(FaceControls controls)
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
    return bytes;
}

} // namespace render
