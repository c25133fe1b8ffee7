#pragma once

#include "FontResolver.h"
#include "Surface.h"

#include <QFontMetricsF>
#include <QHash>
#include <memory>

namespace host {

// A Surface drawing into a persistent QImage at 96 dpi, 15 twips a pixel.
// Font sizes are kept exactly as set (up to kMaxFontSize). Text is measured
// once per face and style at a reference size and scaled, as unhinted
// outlines scale: a size search then costs no font loading, and fonts are
// loaded only for the sizes actually printed.
class ImageSurface final : public Surface {
public:
    static constexpr double kMaxFontSize = 2160.0;
    static constexpr int kBorderPx = 2;

    // How the pixels are made: `pixelScale` device pixels to each logical
    // pixel (the picture carrying pixelScale x 96 dpi; a screen may ask for
    // 1.5), and a transparent background instead of the back colour. Layout
    // and measurements in twips are the same whatever these are.
    struct Output {
        double pixelScale = 1;
        bool transparent = false;
    };

    // outerWidthTwips and outerHeightTwips include a border of kBorderPx on each side.
    ImageSurface(double outerWidthTwips, double outerHeightTwips, qint32 backColor = 0xFFFFFF);
    ImageSurface(double outerWidthTwips, double outerHeightTwips, qint32 backColor, Output output);

    double Width() const override { return m_outerWidthTwips; }
    void setFillColor(qint32 color) override { m_fillColor = color; }
    void setFillStyle(int style) override { m_fillStyle = style; }
    void Cls() override;
    void setDrawWidth(int px) override;
    void Circle(double x, double y, double radius, qint32 color) override;
    void Line(double x1, double y1, double x2, double y2, qint32 color) override;

    void setForeColor(qint32 color) override { m_foreColor = color; }
    void setFontName(const QString &name) override;
    void setFontSize(double points) override;
    double FontSize() const override { return m_fontSize; }
    void setFontBold(bool on) override { setStyle(&FontResolver::Style::bold, on); }
    void setFontItalic(bool on) override { setStyle(&FontResolver::Style::italic, on); }
    void setFontUnderline(bool on) override { setStyle(&FontResolver::Style::underline, on); }
    void setFontStrikethru(bool on) override { setStyle(&FontResolver::Style::strikeOut, on); }

    double TextWidth(const QString &text) override;
    double TextHeight(const QString &text) override;
    // From a line's top to its baseline in the current font, in 96-dpi pixels.
    double AscentPx() { return measures().metrics.ascent() * scale(); }

    void setCurrentX(double x) override { m_currentX = x; }
    void setCurrentY(double y) override { m_currentY = y; }
    double CurrentX() const override { return m_currentX; }
    double CurrentY() const override { return m_currentY; }
    void Print(const QString &text) override;
    void setTextAngle(double degrees) override { m_textAngle = degrees; }

    QImage Image() const override { return m_image; }
    const QImage &image() const { return m_image; }

    void setBackColor(qint32 color) { m_backColor = color; }
    double pixelScale() const { return m_output.pixelScale; }
    // Starts a new, cleared picture at another scale, as a screen of another
    // device pixel ratio needs; the twips layout does not change.
    void setPixelScale(double pixelScale);

private:
    struct FontKey {
        QString family;
        double size; // 0 for the measuring font of a face and style
        FontResolver::Style style;
        bool operator==(const FontKey &) const = default;
    };
    friend size_t qHash(const FontKey &key, size_t seed);
    struct Measures {
        QFontMetricsF metrics;
        // At kMeasurePx. Widths already measured: every redraw repeats the same size search
        // over the same texts.
        QHash<QString, double> widthsPx;
    };
    static constexpr int kMeasurePx = 512;
    static constexpr qsizetype kMaxRememberedWidths = 256;
    void setStyle(bool FontResolver::Style::*flag, bool on);
    FontKey currentKey(double size) const;
    Measures &measures();
    const QFont &printFont();
    double scale() const;
    double devicePx(double twips) const;
    QImage newImage() const;

    Output m_output;
    QImage m_image;
    double m_outerWidthTwips;
    double m_outerHeightTwips;
    qint32 m_backColor;
    qint32 m_fillColor = 0xFFFFFF;
    int m_fillStyle = 0;
    int m_drawWidth = 1;
    qint32 m_foreColor = 0;
    QString m_fontName;
    double m_fontSize = 12.0;
    FontResolver::Style m_style;
    double m_currentX = 0;
    double m_currentY = 0;
    double m_textAngle = 0;
    Measures *m_measures = nullptr;
    QHash<FontKey, std::shared_ptr<Measures>> m_measuresByFont;
    QHash<FontKey, QFont> m_printFonts;
};

} // namespace host
