#pragma once

#include "host/Surface.h"

#include <QStringList>
#include <cmath>
#include <vector>

namespace fakes {

// A surface with simple, known metrics: a character is `charWidthPerPt`
// twips wide per point and a line `lineHeightPerPt` twips high per point.
// Sizes can be rounded to a step, and everything drawn is recorded.
class FakeSurface final : public host::Surface {
public:
    struct Printed {
        QString text;
        double x, y, size;
        QString font;
        qint32 color;
    };
    struct Stroke {
        QString kind;
        double x1, y1, x2, y2;
        qint32 color;
        int width;
    };

    explicit FakeSurface(double width = 3315) : width(width) { }

    double Width() const override { return width; }
    void setFillColor(qint32 c) override { fillColor = c; }
    void setFillStyle(int s) override { fillStyle = s; }
    void Cls() override
    {
        ++clears;
        printed.clear();
        strokes.clear();
        currentX = currentY = 0;
    }
    void setDrawWidth(int px) override { drawWidth = px; }
    void Circle(double x, double y, double r, qint32 color) override
    {
        strokes.push_back({QStringLiteral("circle"), x, y, r, r, color, drawWidth});
    }
    void Line(double x1, double y1, double x2, double y2, qint32 color) override
    {
        strokes.push_back({QStringLiteral("line"), x1, y1, x2, y2, color, drawWidth});
    }
    void setForeColor(qint32 c) override { foreColor = c; }
    void setFontName(const QString &n) override { fontName = n; }
    void setFontSize(double pt) override
    {
        fontSize = sizeStep > 0 ? std::max(sizeStep, std::round(pt / sizeStep) * sizeStep) : pt;
        if (maxSize > 0 && fontSize > maxSize)
            fontSize = maxSize;
        ++sizeSets;
    }
    double FontSize() const override { return fontSize; }
    void setFontBold(bool on) override { bold = on; }
    void setFontItalic(bool on) override { italic = on; }
    void setFontUnderline(bool on) override { underline = on; }
    void setFontStrikethru(bool on) override { strike = on; }
    double TextWidth(const QString &t) override { return t.size() * charWidthPerPt * fontSize; }
    double TextHeight(const QString &) override { return lineHeightPerPt * fontSize; }
    void setCurrentX(double x) override { currentX = x; }
    void setCurrentY(double y) override { currentY = y; }
    double CurrentX() const override { return currentX; }
    double CurrentY() const override { return currentY; }
    void Print(const QString &t) override
    {
        printed.push_back({t, currentX, currentY, fontSize, fontName, foreColor});
        currentX = 0;
        currentY += TextHeight(t);
    }
    QImage Image() const override { return QImage(); }

    double width;
    double charWidthPerPt = 10;
    double lineHeightPerPt = 20;
    double sizeStep = 0; // 0 keeps sizes as set
    double maxSize = 0; // 0 means no largest size
    qint32 fillColor = 0, foreColor = 0;
    int fillStyle = 0, drawWidth = 1, clears = 0, sizeSets = 0;
    QString fontName;
    double fontSize = 12;
    bool bold = false, italic = false, underline = false, strike = false;
    double currentX = 0, currentY = 0;
    std::vector<Printed> printed;
    std::vector<Stroke> strokes;
};

} // namespace fakes
