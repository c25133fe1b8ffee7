#include "pdf/PdfModule.h"

namespace pdf {

QString CheckPlacement(const StampPlacement &placement, int pageCount, const QSizeF &pageSizeMm)
{
    if (placement.page < 1 || placement.page > pageCount)
        return QStringLiteral("%1 ページはありません (この PDF は %2 ページです)。")
            .arg(placement.page)
            .arg(pageCount);
    if (!(placement.sizeMm > 0 && placement.sizeMm <= kMaxStampMm))
        return QStringLiteral("印の大きさ %1 mm は使えません (%2 mm まで)。")
            .arg(placement.sizeMm)
            .arg(kMaxStampMm);
    // The centre must lie on the page; NaN fails every comparison.
    const bool onPage = placement.xMm >= 0 && placement.xMm <= pageSizeMm.width() && placement.yMm >= 0
        && placement.yMm <= pageSizeMm.height();
    if (!onPage)
        return QStringLiteral("位置 (%1 mm, %2 mm) はページの外です (ページは %3 × %4 mm)。")
            .arg(placement.xMm)
            .arg(placement.yMm)
            .arg(qRound(pageSizeMm.width()))
            .arg(qRound(pageSizeMm.height()));
    return {};
}

} // namespace pdf
