#include "ImageSurface.h"

#include "Colors.h"
#include "HostError.h"
#include "Units.h"

#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace host {

size_t qHash(const ImageSurface::FontKey &key, size_t seed)
{
    return qHashMulti(seed, key.family, key.size, key.style.bold, key.style.italic, key.style.underline,
        key.style.strikeOut);
}

namespace {

int sidePx(double outerTwips, double pixelScale)
{
    const int logicalPx = qMax(1, int(std::lround(twipsToPx(outerTwips))) - 2 * ImageSurface::kBorderPx);
    return qMax(1, int(std::lround(logicalPx * pixelScale)));
}

} // namespace

ImageSurface::ImageSurface(double outerWidthTwips, double outerHeightTwips, qint32 backColor)
    : ImageSurface(outerWidthTwips, outerHeightTwips, backColor, Output {})
{
}

ImageSurface::ImageSurface(double outerWidthTwips, double outerHeightTwips, qint32 backColor, Output output)
    : m_output(output), m_outerWidthTwips(outerWidthTwips), m_outerHeightTwips(outerHeightTwips),
      m_backColor(backColor)
{
    m_image = newImage();
    m_fontName = QStringLiteral("HG正楷書体-PRO");
    Cls();
}

QImage ImageSurface::newImage() const
{
    QImage image(sidePx(m_outerWidthTwips, m_output.pixelScale),
        sidePx(m_outerHeightTwips, m_output.pixelScale),
        m_output.transparent ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    // 96 dpi whatever the screen: point sizes resolve to the same pixels everywhere.
    const int dotsPerMeter = int(std::lround(kDrawingDpi * m_output.pixelScale / 0.0254));
    image.setDotsPerMeterX(dotsPerMeter);
    image.setDotsPerMeterY(dotsPerMeter);
    return image;
}

void ImageSurface::setPixelScale(double pixelScale)
{
    if (pixelScale == m_output.pixelScale)
        return;
    m_output.pixelScale = pixelScale;
    m_image = newImage();
    // Fonts were resolved for the old picture's resolution.
    m_printFonts.clear();
    m_measuresByFont.clear();
    m_measures = nullptr;
    Cls();
}

// Strokes land on whole device pixels, as the classic host's drawing does;
// this keeps lines crisp and their pixels predictable.
double ImageSurface::devicePx(double twips) const
{
    return twipsToPx(twips) * m_output.pixelScale;
}

void ImageSurface::Cls()
{
    m_image.fill(m_output.transparent ? QColor(Qt::transparent) : resolveColor(m_backColor));
    m_currentX = 0;
    m_currentY = 0;
}

void ImageSurface::setDrawWidth(int px)
{
    if (px < 1)
        throw HostError(HostError::InvalidProperty, QStringLiteral("Invalid property value"));
    m_drawWidth = px;
}

void ImageSurface::Circle(double x, double y, double radius, qint32 color)
{
    QPainter painter(&m_image);
    painter.setPen(QPen(resolveColor(color), m_drawWidth * m_output.pixelScale));
    if (m_fillStyle == 1)
        painter.setBrush(Qt::NoBrush);
    else
        painter.setBrush(resolveColor(m_fillColor));
    const double r = std::round(devicePx(radius));
    painter.drawEllipse(QPointF(std::round(devicePx(x)), std::round(devicePx(y))), r, r);
}

void ImageSurface::Line(double x1, double y1, double x2, double y2, qint32 color)
{
    QPainter painter(&m_image);
    painter.setPen(QPen(resolveColor(color), m_drawWidth * m_output.pixelScale, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(std::round(devicePx(x1)), std::round(devicePx(y1))),
        QPointF(std::round(devicePx(x2)), std::round(devicePx(y2))));
    m_currentX = x2;
    m_currentY = y2;
}

void ImageSurface::setFontName(const QString &name)
{
    m_fontName = name;
    m_measures = nullptr;
}

void ImageSurface::setFontSize(double points)
{
    if (!(points > 0) || !std::isfinite(points))
        throw HostError(HostError::InvalidProperty, QStringLiteral("Invalid property value"));
    // The largest size ends a growing size search as a limit would.
    m_fontSize = std::min(points, kMaxFontSize);
}

void ImageSurface::setStyle(bool FontResolver::Style::*flag, bool on)
{
    m_style.*flag = on;
    m_measures = nullptr; // measurements belong to a face and style
}

ImageSurface::FontKey ImageSurface::currentKey(double size) const
{
    return FontKey {FontResolver::shared().family(m_fontName), size, m_style};
}

ImageSurface::Measures &ImageSurface::measures()
{
    if (m_measures)
        return *m_measures;
    const FontKey key = currentKey(0);
    auto found = m_measuresByFont.constFind(key);
    if (found == m_measuresByFont.constEnd()) {
        QFont font = FontResolver::shared().font(m_fontName, 12, m_style);
        font.setPixelSize(kMeasurePx);
        found = m_measuresByFont.insert(
            key, std::make_shared<Measures>(Measures {QFontMetricsF(font, &m_image), {}}));
    }
    m_measures = found->get();
    return *m_measures;
}

const QFont &ImageSurface::printFont()
{
    const FontKey key = currentKey(m_fontSize);
    auto found = m_printFonts.constFind(key);
    if (found == m_printFonts.constEnd())
        found = m_printFonts.insert(
            key, QFont(FontResolver::shared().font(m_fontName, m_fontSize, m_style), &m_image));
    return *found;
}

// From the measuring size to the current size, both in pixels at 96 dpi.
double ImageSurface::scale() const
{
    return m_fontSize * kDrawingDpi / 72.0 / kMeasurePx;
}

double ImageSurface::TextWidth(const QString &text)
{
    Measures &m = measures();
    auto known = m.widthsPx.constFind(text);
    if (known == m.widthsPx.constEnd()) {
        // Typing makes a new text on every keystroke: keep the memory bounded.
        if (m.widthsPx.size() >= kMaxRememberedWidths)
            m.widthsPx.clear();
        known = m.widthsPx.insert(text, m.metrics.horizontalAdvance(text));
    }
    return pxToTwips(*known * scale());
}

double ImageSurface::TextHeight(const QString &)
{
    return pxToTwips(measures().metrics.height() * scale());
}

void ImageSurface::Print(const QString &text)
{
    // The line box is the measured one: its top at CurrentY, the baseline
    // one scaled ascent below.
    const Measures &m = measures();
    {
        QPainter painter(&m_image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(printFont());
        painter.setPen(resolveColor(m_foreColor));
        const double baselinePx = twipsToPx(m_currentY) + m.metrics.ascent() * scale();
        QPointF origin(devicePx(m_currentX), baselinePx * m_output.pixelScale);
        if (m_textAngle != 0) {
            const QPointF middle(devicePx(m_currentX + TextWidth(text) / 2),
                devicePx(m_currentY + pxToTwips(m.metrics.height() * scale()) / 2));
            painter.translate(middle);
            painter.rotate(m_textAngle);
            origin -= middle;
        }
        painter.drawText(origin, text);
    }
    m_currentX = 0;
    m_currentY += pxToTwips(m.metrics.height() * scale());
}

} // namespace host
