#include "FaceExport.h"

#include "RecordingSurface.h"
#include "RedrawStamp.h"

#include "host/Colors.h"
#include "host/FontResolver.h"
#include "host/ImageSurface.h"
#include "host/SvgDevice.h"
#include "host/Units.h"

#include <QBuffer>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
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

// Beyond the circle, so its whole stroke stays inside the printed square.
constexpr double kPrintMarginPx = 2;

// The face laid out as usual, remembering what was printed where, so that it
// can be painted again as vectors: texts in their fonts, the circle and the
// band's lines as paths.
struct VectorFace {
    explicit VectorFace(FaceControls controls)
        : measuring(controls.Picture1->Width(), controls.Picture1->Width()), recorder(measuring),
          ink(*controls.InkColor)
    {
        controls.Picture1 = &recorder;
        RedrawStamp(controls, g);
    }

    void paint(QPainter &p) const
    {
        p.setRenderHint(QPainter::Antialiasing);
        for (const RecordingSurface::Row &row : recorder.rows) {
            host::FontResolver::Style style {row.bold, row.italic, row.underline, row.strike};
            p.setFont(host::FontResolver::shared().font(row.font, row.size, style));
            p.setPen(host::resolveColor(row.color));
            const QPointF middle(
                host::twipsToPx(row.x + row.widthTwips / 2), host::twipsToPx(row.y + row.heightTwips / 2));
            p.save();
            p.translate(middle);
            p.rotate(row.angle);
            p.drawText(
                QPointF(host::twipsToPx(row.x), host::twipsToPx(row.y) + row.ascentPx) - middle, row.text);
            p.restore();
        }
        p.setBrush(Qt::NoBrush);
        for (const RecordingSurface::Shape &shape : recorder.shapes) {
            p.setPen(QPen(host::resolveColor(shape.color), shape.widthPx, Qt::SolidLine, Qt::FlatCap));
            const QPointF a(host::twipsToPx(shape.x1), host::twipsToPx(shape.y1));
            if (shape.circle) {
                const double r = host::twipsToPx(shape.x2);
                p.drawEllipse(a, r, r);
            } else {
                p.drawLine(a, QPointF(host::twipsToPx(shape.x2), host::twipsToPx(shape.y2)));
            }
        }
    }

    host::ImageSurface measuring;
    RecordingSurface recorder;
    StampGeometry g;
    qint32 ink;
};

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
    const VectorFace face(controls);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    const QSize size = face.measuring.Image().size();
    const std::unique_ptr<QPaintDevice> svg = host::SvgPaintDevice(
        {&buffer, size, QRect(QPoint(0, 0), size), int(host::kDrawingDpi), QStringLiteral("QVanto")});
    QPainter p(svg.get());
    face.paint(p);
    p.end();
    if (stampMm > 0) {
        const double sideMm = size.width() * 1000.0 / StampDotsPerMeter(face.g, 1, stampMm);
        setRootSizeMm(bytes, sideMm);
    }
    return bytes;
}

QByteArray FacePdf(FaceControls controls, double *circleFraction)
{
    const VectorFace face(controls);
    const double half = host::twipsToPx(face.g.StampRadius) + kPrintMarginPx;
    const QPointF centre(host::twipsToPx(face.g.StampCenterX), host::twipsToPx(face.g.StampCenterY));
    *circleFraction = host::twipsToPx(face.g.StampRadius) / half;

    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter writer(&buffer);
    writer.setCreator(QStringLiteral("QVanto"));
    // Device units of the layout's own dpi, so fonts given in points come
    // out at the size they have on screen.
    writer.setResolution(int(host::kDrawingDpi));
    const double pointsPerPx = 72.0 / host::kDrawingDpi;
    writer.setPageLayout(QPageLayout(QPageSize(QSizeF(2 * half * pointsPerPx, 2 * half * pointsPerPx),
                                         QPageSize::Point, QString(), QPageSize::ExactMatch),
        QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
    QPainter p(&writer);
    // The page comes out in whole points: the square is stretched onto it
    // exactly, so the circle keeps its share of the page.
    const QSizeF page = writer.pageLayout().fullRectPoints().size() / pointsPerPx;
    p.scale(page.width() / (2 * half), page.height() / (2 * half));
    p.translate(half - centre.x(), half - centre.y());
    face.paint(p);
    if (!p.end())
        return {};
    return bytes;
}

} // namespace render
