#include "stamp/LookUpRows.h"

#include "stamp/StampLookup.h"

#include <algorithm>

namespace stamp {

bool LookUpAnswer::allLogged() const
{
    return !rows.empty()
        && std::all_of(rows.begin(), rows.end(), [](const LookUpRow &row) { return !row.records.isEmpty(); });
}

QString MadeAtText(const QString &number)
{
    const std::optional<DecodedStampId> decoded = DecodeStampId(number);
    return decoded ? decoded->madeAt.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))
                   : QStringLiteral("押印番号ではありません");
}

LookUpAnswer LookUpNumbers(
    const std::vector<NumberOnPage> &numbers, const QString &logPath, const LogReadControl &control)
{
    QSet<QString> wanted;
    for (const NumberOnPage &n : numbers)
        if (DecodeStampId(n.number))
            wanted.insert(n.number.trimmed().toUpper());
    const FoundRecords found = FindStampRecords(logPath, wanted, control);
    LookUpAnswer answer;
    answer.cancelled = found.cancelled;
    answer.rows.reserve(numbers.size());
    for (const NumberOnPage &n : numbers) {
        const QString number = n.number.trimmed().toUpper();
        answer.rows.push_back(
            {n.page, number, MadeAtText(number), found.records.value(number), {}, n.signature});
    }
    return answer;
}

QString LookUpRowSummary(const LookUpRow &row)
{
    const QString logged
        = row.records.isEmpty() ? QStringLiteral("ログになし") : QStringLiteral("ログにあり");
    const QString line = QStringLiteral("%1  %2  %3").arg(row.number, row.madeAt, logged);
    return row.page > 0 ? QStringLiteral("%1 ページ  ").arg(row.page) + line : line;
}

} // namespace stamp
