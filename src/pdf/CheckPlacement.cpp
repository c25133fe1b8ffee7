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
    // The whole circle must lie on the page; NaN fails every comparison.
    const double r = placement.sizeMm / 2;
    const bool onPage = placement.xMm - r >= 0 && placement.xMm + r <= pageSizeMm.width()
        && placement.yMm - r >= 0 && placement.yMm + r <= pageSizeMm.height();
    if (!onPage)
        return QStringLiteral(
            "位置 (%1 mm, %2 mm) では %3 mm の印がページの外にはみ出します (ページは %4 × %5 mm)。")
            .arg(placement.xMm)
            .arg(placement.yMm)
            .arg(placement.sizeMm)
            .arg(qRound(pageSizeMm.width()))
            .arg(qRound(pageSizeMm.height()));
    return {};
}

QString CheckPlacements(const std::vector<StampPlacement> &placements, const PdfDocument &document)
{
    const int pages = document.pageCount();
    for (const StampPlacement &placement : placements) {
        const bool pageExists = placement.page >= 1 && placement.page <= pages;
        const QString misplaced
            = CheckPlacement(placement, pages, pageExists ? document.pageSizeMm(placement.page) : QSizeF());
        if (!misplaced.isEmpty())
            return misplaced;
    }
    return {};
}

} // namespace pdf
