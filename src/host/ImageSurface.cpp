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
    return qHashMulti(seed, key.family, key.size, key.style.bold, key.style.italic,
                      key.style.underline, key.style.strikeOut);
}

namespace {

int sidePx(double outerTwips)
{
    return qMax(1, int(std::lround(twipsToPx(outerTwips))) - 2 * ImageSurface::kBorderPx);
}

// Strokes land on whole pixels, as the classic host's drawing does; this
// keeps lines crisp and their pixels predictable.
double snap(double twips) { return std::round(twipsToPx(twips)); }

} // namespace

ImageSurface::ImageSurface(double outerWidthTwips, double outerHeightTwips, qint32 backColor)
    : m_image(sidePx(outerWidthTwips), sidePx(outerHeightTwips), QImage::Format_RGB32),
      m_outerWidthTwips(outerWidthTwips), m_backColor(backColor)
{
    // 96 dpi whatever the screen: point sizes resolve to the same pixels everywhere.
    const int dotsPerMeter = int(std::lround(kDrawingDpi / 0.0254));
    m_image.setDotsPerMeterX(dotsPerMeter);
    m_image.setDotsPerMeterY(dotsPerMeter);
    m_fontName = QStringLiteral("HG正楷書体-PRO");
    Cls();
}

void ImageSurface::Cls()
{
    m_image.fill(resolveColor(m_backColor));
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
    painter.setPen(QPen(resolveColor(color), m_drawWidth));
    if (m_fillStyle == 1)
        painter.setBrush(Qt::NoBrush);
    else
        painter.setBrush(resolveColor(m_fillColor));
    const double r = std::round(twipsToPx(radius));
    painter.drawEllipse(QPointF(snap(x), snap(y)), r, r);
}

void ImageSurface::Line(double x1, double y1, double x2, double y2, qint32 color)
{
    QPainter painter(&m_image);
    painter.setPen(QPen(resolveColor(color), m_drawWidth, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(QPointF(snap(x1), snap(y1)), QPointF(snap(x2), snap(y2)));
    m_currentX = x2;
    m_currentY = y2;
}

void ImageSurface::setFontName(const QString &name)
{
    m_fontName = name;
    m_current = nullptr;
}

void ImageSurface::setFontSize(double points)
{
    if (!(points > 0) || !std::isfinite(points))
        throw HostError(HostError::InvalidProperty, QStringLiteral("Invalid property value"));
    // The largest size ends a growing size search as a limit would.
    m_fontSize = std::min(points, kMaxFontSize);
    m_current = nullptr;
}

void ImageSurface::setFontBold(bool on) { m_style.bold = on; m_current = nullptr; }
void ImageSurface::setFontItalic(bool on) { m_style.italic = on; m_current = nullptr; }
void ImageSurface::setFontUnderline(bool on) { m_style.underline = on; m_current = nullptr; }
void ImageSurface::setFontStrikethru(bool on) { m_style.strikeOut = on; m_current = nullptr; }

ImageSurface::FontEntry &ImageSurface::currentFont()
{
    if (m_current)
        return *m_current;
    FontResolver &resolver = FontResolver::shared();
    const FontKey key{resolver.family(m_fontName), m_fontSize, m_style};
    auto found = m_fonts.constFind(key);
    if (found == m_fonts.constEnd()) {
        QFont font(resolver.font(m_fontName, m_fontSize, m_style), &m_image);
        auto entry = std::make_shared<FontEntry>(FontEntry{font, QFontMetricsF(font, &m_image), {}});
        found = m_fonts.insert(key, std::move(entry));
    }
    m_current = found->get();
    return *m_current;
}

double ImageSurface::TextWidth(const QString &text)
{
    FontEntry &entry = currentFont();
    auto known = entry.widthsPx.constFind(text);
    if (known == entry.widthsPx.constEnd()) {
        // Typing makes a new text on every keystroke: keep the memory bounded.
        if (entry.widthsPx.size() >= kMaxRememberedWidths)
            entry.widthsPx.clear();
        known = entry.widthsPx.insert(text, entry.metrics.horizontalAdvance(text));
    }
    return pxToTwips(*known);
}

double ImageSurface::TextHeight(const QString &)
{
    return pxToTwips(currentFont().metrics.height());
}

void ImageSurface::Print(const QString &text)
{
    const FontEntry &entry = currentFont();
    {
        QPainter painter(&m_image);
        painter.setRenderHint(QPainter::TextAntialiasing);
        painter.setFont(entry.font);
        painter.setPen(resolveColor(m_foreColor));
        const QPointF baseline(twipsToPx(m_currentX), twipsToPx(m_currentY) + entry.metrics.ascent());
        painter.drawText(baseline, text);
    }
    m_currentX = 0;
    m_currentY += pxToTwips(entry.metrics.height());
}

} // namespace host
