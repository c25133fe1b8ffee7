#include "stamp/PdfStampsReport.h"

#include "stamp/StampLookup.h"

namespace stamp {

QString PdfStampsReport(
    const QString &fileName, const std::vector<NumberOnPage> &found, const QString &logPath)
{
    if (found.empty())
        return QStringLiteral("%1 に押印番号はありません。").arg(fileName);
    QString report = QStringLiteral("%1 の押印番号 (%2 件):").arg(fileName).arg(found.size());
    for (const NumberOnPage &stamp : found) {
        const std::optional<DecodedStampId> decoded = DecodeStampId(stamp.number);
        const QString when = decoded ? decoded->madeAt.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))
                                     : QStringLiteral("押印番号ではありません");
        const QString logged = StampRecords(logPath, stamp.number).isEmpty() ? QStringLiteral("ログになし")
                                                                             : QStringLiteral("ログにあり");
        report += QStringLiteral("\n%1 ページ  %2  %3  %4").arg(stamp.page).arg(stamp.number, when, logged);
    }
    return report + QStringLiteral("\n\n") + logPath;
}

} // namespace stamp
