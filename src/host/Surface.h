#pragma once

#include <QImage>
#include <QString>

namespace host {

// The drawing surface of a picture box. Coordinates and lengths are in
// twips (1/1440 inch) from the top-left of the drawing area, y downwards;
// the stroke width alone is in pixels and font sizes are in points.
// What is drawn persists until Cls(); Image() returns it.
class Surface {
public:
    virtual ~Surface() = default;

    // Outer width, border included.
    virtual double Width() const = 0;

    virtual void setFillColor(qint32 color) = 0;
    // 0 solid, 1 transparent (outlines only).
    virtual void setFillStyle(int style) = 0;
    virtual void Cls() = 0;
    virtual void setDrawWidth(int px) = 0;
    virtual void Circle(double x, double y, double radius, qint32 color) = 0;
    virtual void Line(double x1, double y1, double x2, double y2, qint32 color) = 0;

    virtual void setForeColor(qint32 color) = 0;
    virtual void setFontName(const QString &name) = 0;
    // Reads back as realised by the surface.
    virtual void setFontSize(double points) = 0;
    virtual double FontSize() const = 0;
    virtual void setFontBold(bool on) = 0;
    virtual void setFontItalic(bool on) = 0;
    virtual void setFontUnderline(bool on) = 0;
    virtual void setFontStrikethru(bool on) = 0;

    virtual double TextWidth(const QString &text) = 0;
    // The height of one line of the current font, above 0 even for empty text.
    virtual double TextHeight(const QString &text) = 0;

    virtual void setCurrentX(double x) = 0;
    virtual void setCurrentY(double y) = 0;
    virtual double CurrentX() const = 0;
    virtual double CurrentY() const = 0;
    // Prints one line with its top-left at (CurrentX, CurrentY), then moves
    // the print position to the start of the next line.
    virtual void Print(const QString &text) = 0;
    // Turns what Print draws clockwise by `degrees` about the middle of its
    // line box, as text set around a seal's rim needs; 0 draws it upright.
    // A surface that cannot turn text prints it upright.
    virtual void setTextAngle(double degrees) { (void)degrees; }

    virtual QImage Image() const = 0;
};

} // namespace host
