#include "DateBandClick.h"

#include "host/Conversions.h"
#include "host/TextBox.h"

namespace render {

namespace {

struct FieldRange {
    double lowest;
    double highest;
};
constexpr FieldRange kRanges[3] = {{0, 9999}, {1, 12}, {1, 31}};

int fieldAt(const StampGeometry &g, float x)
{
    const float leftEnd = float(g.StampCenterX - 0.97 * g.StampRadius);
    const float rightEnd = float(0.97 * g.StampRadius + g.StampCenterX);
    const float firstSplit = float(leftEnd + ((rightEnd - leftEnd) / 4.0) * 2);
    const float secondSplit = float(leftEnd + ((rightEnd - leftEnd) / 4.0) * 3);
    if (leftEnd <= x && x <= firstSplit)
        return 0;
    if (firstSplit <= x && x <= secondSplit)
        return 1;
    if (secondSplit <= x && x <= rightEnd)
        return 2;
    return 0; // beside the band's ends: the year
}

void step(host::TextBox &field, const FieldRange &range, double by)
{
    field.SetText(host::shortestText(host::toDouble(field.Text()) + by));
    const double stepped = host::toDouble(field.Text());
    if (by > 0 && stepped > range.highest)
        field.SetText(host::shortestText(range.lowest));
    else if (by < 0 && stepped < range.lowest)
        field.SetText(host::shortestText(range.highest));
}

} // namespace

bool OnDateBand(const StampGeometry &g, float y)
{
    // Other seals show no date: a press there must not change it unseen.
    if (g.Kind != SealKind::Date)
        return false;
    const float bandTop = float(g.StampCenterY - g.DateBandHeight / 2.0);
    const float bandBottom = float(g.DateBandHeight / 2.0 + g.StampCenterY);
    return bandTop <= y && y <= bandBottom;
}

void DateBandPress(const StampGeometry &g, const std::array<host::TextBox *, 3> &QVDate, qint16 button,
    float x, float y, const std::function<void()> &redraw)
{
    if (!OnDateBand(g, y))
        return;
    const int field = fieldAt(g, x);
    if (button == 1)
        step(*QVDate[size_t(field)], kRanges[field], +1);
    else if (button == 2)
        step(*QVDate[size_t(field)], kRanges[field], -1);
    redraw();
}

} // namespace render
