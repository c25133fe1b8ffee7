// The stamp as it goes into a PDF: numbered and logged, drawn for print.
#include "frm_QVanto.h"

#include "host/TextBox.h"
#include "host/Units.h"
#include "render/FaceExport.h"
#include "stamp/IssueStamp.h"
#include "stamp/RegistryStamp.h"
#include "stamp/StampNow.h"

#include <cmath>

namespace {
constexpr double kPrintDpi = 600;
constexpr double kMmPerInch = 25.4;
} // namespace

QString frm_QVanto::IssueStampNumber(const QString &document)
{
    FinishTypedDate();
    const stamp::RegistryUse registry {Registry(), QStringLiteral("PDF"), document};
    const QString number = stamp::IssueStamp(stamp::StampLogPath(m_services.app),
        stamp::RecordRows(m_controls.QVLabel), m_stampIds, m_services.clock, &registry);
    // The change this raises redraws the face with the number on it.
    m_controls.QVLabel[4]->SetText(number);
    return number;
}

QImage frm_QVanto::PrintFace(double sizeMm, double *circleFraction)
{
    const render::StampGeometry &g = m_geometry;
    const double diameterPx = host::twipsToPx(2 * g.StampRadius);
    const int scale = qMax(1, int(std::ceil(kPrintDpi * sizeMm / kMmPerInch / diameterPx)));
    const QImage face = render::FaceImage(faceControls(), scale, true);
    // A margin of the stroke's width keeps the whole circle in the picture.
    const double marginPx = 2;
    const double half = (diameterPx / 2 + marginPx) * scale;
    const QPointF centre(host::twipsToPx(g.StampCenterX) * scale, host::twipsToPx(g.StampCenterY) * scale);
    const QRect square = QRectF(centre.x() - half, centre.y() - half, 2 * half, 2 * half).toAlignedRect();
    *circleFraction = diameterPx * scale / square.width();
    return face.copy(square);
}

pdf::PrintedFace frm_QVanto::PrintFaceAsPdf()
{
    pdf::PrintedFace face;
    face.pdf = render::FacePdf(faceControls(), &face.circleFraction);
    return face;
}
