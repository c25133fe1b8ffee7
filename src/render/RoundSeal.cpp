// 認印: a person's small round seal, the name upright filling the circle.
#include "SealLayout.h"

#include "host/Units.h"

#include <QRectF>
#include <cmath>

namespace render {

namespace {
constexpr double kInnerMargin = 0.05;
constexpr double kCellFill = 0.96;
} // namespace

// Characters in columns inside the circle of `radius` about the centre.
void SetInCircle(SealLayout &layout, const StampGeometry &g, const QString &text, double radius, qint16 row)
{
    const QStringList characters = SealCharacters(text);
    const int count = int(characters.size());
    if (count == 0)
        return;
    const CellGrid grid = GridInCircle(count);
    const double side = 2 * radius / std::hypot(grid.columns, grid.rows);
    const QRectF box(g.StampCenterX - side * grid.columns / 2, g.StampCenterY - side * grid.rows / 2,
        side * grid.columns, side * grid.rows);
    const std::vector<QPointF> cells = ColumnCells(count, grid, box);
    for (size_t i = 0; i < cells.size(); ++i)
        layout.glyphs.push_back(
            {characters[qsizetype(i)], cells[i].x(), cells[i].y(), kCellFill * side, 0, row});
}

SealLayout RoundSealLayout(const StampGeometry &g, const QString &name)
{
    SealLayout layout;
    const double rim = OuterPenRadius(g);
    layout.ringRadii = {rim};
    const double inner = rim - host::pxToTwips(g.StrokePx / 2.0);
    SetInCircle(layout, g, name, inner * (1 - kInnerMargin), 2);
    return layout;
}

} // namespace render
