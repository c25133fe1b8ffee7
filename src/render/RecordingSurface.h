#pragma once

#include "host/ImageSurface.h"

#include <vector>

namespace render {

// Passes every call on to an ImageSurface and remembers each printed row
// with the font it was printed in, and each circle and line with its pen, so the finished face can be painted
// again elsewhere (as vectors) or straight away (the floor a redraw is measured against).
class RecordingSurface final : public host::Surface {
public:
    struct Row {
        QString text, font;
        double size, x, y;
        bool bold, italic, underline, strike;
        qint32 color;
        double ascentPx; // from the line's top to its baseline, at 96 dpi
        double angle; // degrees clockwise about the line box's middle
        double widthTwips, heightTwips; // the line box
    };
    struct Shape {
        bool circle;
        double x1, y1, x2, y2; // a circle's centre and radius in x2
        int widthPx;
        qint32 color;
    };

    explicit RecordingSurface(host::ImageSurface &target) : t(target) { }

    double Width() const override { return t.Width(); }
    void setFillColor(qint32 c) override { t.setFillColor(c); }
    void setFillStyle(int s) override { t.setFillStyle(s); }
    void Cls() override
    {
        rows.clear();
        shapes.clear();
        t.Cls();
    }
    void setDrawWidth(int px) override
    {
        t.setDrawWidth(px);
        drawWidth = px;
    }
    void Circle(double x, double y, double r, qint32 c) override
    {
        t.Circle(x, y, r, c);
        shapes.push_back({true, x, y, r, r, drawWidth, c});
    }
    void Line(double a, double b, double c, double d, qint32 k) override
    {
        t.Line(a, b, c, d, k);
        shapes.push_back({false, a, b, c, d, drawWidth, k});
    }
    void setTextAngle(double degrees) override
    {
        angle = degrees;
        t.setTextAngle(degrees);
    }
    void setForeColor(qint32 c) override
    {
        color = c;
        t.setForeColor(c);
    }
    void setFontName(const QString &n) override
    {
        font = n;
        t.setFontName(n);
    }
    void setFontSize(double pt) override { t.setFontSize(pt); }
    double FontSize() const override { return t.FontSize(); }
    void setFontBold(bool on) override
    {
        bold = on;
        t.setFontBold(on);
    }
    void setFontItalic(bool on) override
    {
        italic = on;
        t.setFontItalic(on);
    }
    void setFontUnderline(bool on) override
    {
        underline = on;
        t.setFontUnderline(on);
    }
    void setFontStrikethru(bool on) override
    {
        strike = on;
        t.setFontStrikethru(on);
    }
    double TextWidth(const QString &s) override { return t.TextWidth(s); }
    double TextHeight(const QString &s) override { return t.TextHeight(s); }
    void setCurrentX(double x) override { t.setCurrentX(x); }
    void setCurrentY(double y) override { t.setCurrentY(y); }
    double CurrentX() const override { return t.CurrentX(); }
    double CurrentY() const override { return t.CurrentY(); }
    void Print(const QString &s) override
    {
        rows.push_back({s, font, t.FontSize(), t.CurrentX(), t.CurrentY(), bold, italic, underline, strike,
            color, t.AscentPx(), angle, t.TextWidth(s), t.TextHeight(s)});
        t.Print(s);
    }
    QImage Image() const override { return t.Image(); }

    // Paints the recorded face again on `surface`: no searching, no measuring.
    static void replay(host::Surface &surface, const std::vector<Row> &rows, const std::vector<Shape> &shapes)
    {
        surface.Cls();
        for (const Row &row : rows) {
            surface.setFontName(row.font);
            surface.setFontBold(row.bold);
            surface.setFontItalic(row.italic);
            surface.setFontUnderline(row.underline);
            surface.setFontStrikethru(row.strike);
            surface.setFontSize(row.size);
            surface.setForeColor(row.color);
            surface.setTextAngle(row.angle);
            surface.setCurrentX(row.x);
            surface.setCurrentY(row.y);
            surface.Print(row.text);
        }
        surface.setTextAngle(0);
        for (const Shape &shape : shapes) {
            surface.setDrawWidth(shape.widthPx);
            if (shape.circle)
                surface.Circle(shape.x1, shape.y1, shape.x2, shape.color);
            else
                surface.Line(shape.x1, shape.y1, shape.x2, shape.y2, shape.color);
        }
    }

    std::vector<Row> rows;
    std::vector<Shape> shapes;

private:
    host::ImageSurface &t;
    QString font;
    qint32 color = 0;
    int drawWidth = 1;
    double angle = 0;
    bool bold = false, italic = false, underline = false, strike = false;
};

} // namespace render
