#include "DrawRow.h"

#include "host/ComboBox.h"
#include "host/HostError.h"
#include "host/Surface.h"
#include "host/TextBox.h"

namespace render {

namespace {

void checkIndex(qint16 index, qint16 last)
{
    if (index < 0 || index > last)
        throw host::HostError(host::HostError::General, QStringLiteral("Subscript out of range"));
}

} // namespace

float DrawRow(FaceControls &controls, const StampGeometry &geometry, double anchorY, const QString &placement,
    double maxHeight, double maxWidth, qint16 rowIndex, qint16 fontIndex)
{
    checkIndex(rowIndex, 4);
    checkIndex(fontIndex, 3);
    host::Surface &surface = *controls.Picture1;
    const host::TextBox &row = *controls.QVLabel[size_t(rowIndex)];

    surface.setFontName(controls.cmbFontName[size_t(fontIndex)]->Text());
    surface.setFontBold(row.FontBold());
    surface.setFontItalic(row.FontItalic());
    surface.setFontUnderline(row.FontUnderline());
    surface.setFontStrikethru(row.FontStrikethru());
    surface.setForeColor(*controls.InkColor);

    const QString text = row.Text();
    float trialSize = 1.0f;
    float fittedWidth = 0;
    float fittedHeight = 0;
    for (;;) {
        surface.setFontSize(trialSize);
        // A surface that stops following the size has reached its largest
        // size, which ends the search as a limit would.
        if (trialSize > 1.0f && surface.FontSize() < trialSize - 1.0)
            break;
        const auto width = float(surface.TextWidth(text));
        const auto height = float(surface.TextHeight(text));
        if (maxWidth <= width || maxHeight <= height)
            break;
        fittedWidth = width;
        fittedHeight = height;
        trialSize += 1.0f;
    }
    const double realised = surface.FontSize();
    if (realised > 1)
        surface.setFontSize(realised - 1);

    float y = 0;
    if (placement == QLatin1String("top"))
        y = float(anchorY);
    else if (placement == QLatin1String("center"))
        y = float(anchorY - fittedHeight / 2.0);
    else if (placement == QLatin1String("bottom"))
        y = float(anchorY - fittedHeight);
    const auto x = float(geometry.StampCenterX - fittedWidth * 0.5);

    surface.setCurrentX(x);
    surface.setCurrentY(y);
    surface.Print(text);
    return y;
}

} // namespace render
