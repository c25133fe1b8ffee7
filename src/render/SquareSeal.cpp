// 角印: the company's square seal.
#include "SealLayout.h"

#include "host/Units.h"

#include <QRectF>
#include <cmath>

namespace render {

namespace {
// The characters keep clear of the frame by this share of its inner side.
constexpr double kInnerMargin = 0.06;
// A character fills this share of its cell's shorter side.
constexpr double kCellFill = 0.92;
} // namespace

SealLayout SquareSealLayout(const StampGeometry &g, const QString &text)
{
    SealLayout layout;
    layout.squareHalfSide = OuterPenRadius(g);
    const QStringList characters = SealCharacters(text);
    const int count = int(characters.size());
    if (count == 0)
        return layout;
    // As many columns as rows, or one fewer: the square's cells stay near square.
    const int rows = int(std::ceil(std::sqrt(double(count))));
    const CellGrid grid {(count + rows - 1) / rows, rows};
    const double inner = layout.squareHalfSide - host::pxToTwips(g.StrokePx / 2.0);
    const double half = inner * (1 - kInnerMargin);
    const QRectF box(g.StampCenterX - half, g.StampCenterY - half, 2 * half, 2 * half);
    const double em = kCellFill * qMin(box.width() / grid.columns, box.height() / grid.rows);
    const std::vector<QPointF> cells = ColumnCells(count, grid, box);
    // One text, one face: the first row's, so the seal does not mix two.
    for (size_t i = 0; i < cells.size(); ++i)
        layout.glyphs.push_back({characters[qsizetype(i)], cells[i].x(), cells[i].y(), em, 0, 0});
    return layout;
}

} // namespace render
