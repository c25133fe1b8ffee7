#include "SealLayout.h"

#include "host/ComboBox.h"
#include "host/Surface.h"
#include "host/TextBox.h"
#include "host/Units.h"

#include <QRectF>
#include <QTextBoundaryFinder>
#include <cmath>

namespace render {

namespace {
constexpr double kTwipsPerPoint = 20;
} // namespace

double OuterPenRadius(const StampGeometry &g)
{
    return double(g.StampRadius) + host::pxToTwips(1 - g.StrokePx / 2.0);
}

QStringList SealCharacters(const QString &text)
{
    QStringList characters;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() >= 0) {
        const QString grapheme = text.mid(start, finder.position() - start);
        start = finder.position();
        if (!grapheme.trimmed().isEmpty())
            characters.push_back(grapheme);
    }
    return characters;
}

std::vector<QPointF> ColumnCells(int count, CellGrid grid, const QRectF &box)
{
    std::vector<QPointF> cells;
    const double w = box.width() / grid.columns;
    const double h = box.height() / grid.rows;
    for (int i = 0; i < count && i < grid.columns * grid.rows; ++i) {
        const int column = i / grid.rows;
        const int row = i % grid.rows;
        cells.emplace_back(box.right() - (column + 0.5) * w, box.top() + (row + 0.5) * h);
    }
    return cells;
}

CellGrid GridInCircle(int count)
{
    // A grid of c by r square cells of side a fits a circle of radius 1 when
    // its half-diagonal does: a = 2 / sqrt(c² + r²). Fewest columns first.
    CellGrid best {1, qMax(1, count)};
    double bestSide = 0;
    for (int columns = 1; columns <= qMax(1, count); ++columns) {
        const int rows = (count + columns - 1) / columns;
        if (rows < columns)
            break;
        const double side = 2 / std::hypot(columns, qMax(1, rows));
        if (side > bestSide + 1e-9) {
            bestSide = side;
            best = {columns, qMax(1, rows)};
        }
    }
    return best;
}

SealLayout LayoutSeal(const FaceControls &c, const StampGeometry &g)
{
    switch (c.kind) {
    case SealKind::Square: return SquareSealLayout(g, c.QVLabel[0]->Text() + c.QVLabel[1]->Text());
    case SealKind::Round: return RoundSealLayout(g, c.QVLabel[2]->Text());
    case SealKind::Title: return TitleSealLayout(g, c.QVLabel[0]->Text(), c.QVLabel[1]->Text());
    case SealKind::Date: break;
    }
    return {};
}

void PaintSeal(FaceControls &c, const StampGeometry &g, const SealLayout &layout)
{
    host::Surface &surface = *c.Picture1;
    surface.setForeColor(*c.InkColor);
    for (const SealGlyph &glyph : layout.glyphs) {
        const host::TextBox &row = *c.QVLabel[size_t(glyph.rowIndex)];
        surface.setFontName(c.cmbFontName[size_t(qMin<qint16>(glyph.rowIndex, 3))]->Text());
        surface.setFontBold(row.FontBold());
        surface.setFontItalic(row.FontItalic());
        surface.setFontUnderline(row.FontUnderline());
        surface.setFontStrikethru(row.FontStrikethru());
        surface.setFontSize(qMax(1.0, glyph.emTwips / kTwipsPerPoint));
        surface.setTextAngle(glyph.angle);
        surface.setCurrentX(glyph.centreX - surface.TextWidth(glyph.text) / 2);
        surface.setCurrentY(glyph.centreY - surface.TextHeight(glyph.text) / 2);
        surface.Print(glyph.text);
    }
    surface.setTextAngle(0);

    const double cx = g.StampCenterX;
    const double cy = g.StampCenterY;
    surface.setDrawWidth(g.StrokePx);
    for (const double radius : layout.ringRadii)
        surface.Circle(cx, cy, radius, *c.InkColor);
    if (const double s = layout.squareHalfSide; s > 0) {
        // Each side runs on by half the pen, so the corners are inked whole.
        const double e = s + host::pxToTwips(g.StrokePx) / 2;
        surface.Line(cx - e, cy - s, cx + e, cy - s, *c.InkColor);
        surface.Line(cx + s, cy - e, cx + s, cy + e, *c.InkColor);
        surface.Line(cx + e, cy + s, cx - e, cy + s, *c.InkColor);
        surface.Line(cx - s, cy + e, cx - s, cy - e, *c.InkColor);
    }
}

} // namespace render
