#include "StampLookup.h"

#include "stamp/FindStampRecords.h"
#include "stamp/NewStampId.h"

namespace stamp {

namespace {

int digitValue(QChar c)
{
    if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
        return c.unicode() - '0';
    if (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        return c.unicode() - 'A' + 10;
    return -1;
}

// Typed numbers may come in lower case and with spaces around them.
QString normalized(const QString &id)
{
    return id.trimmed().toUpper();
}

} // namespace

std::optional<DecodedStampId> DecodeStampId(const QString &id)
{
    const QString text = normalized(id);
    // Up to 12 time digits keep the count of seconds far inside 64 bits.
    if (text.size() < 2 || text.size() > 14)
        return std::nullopt;
    qint64 seconds = 0;
    for (qsizetype i = 0; i < text.size() - 2; ++i) {
        const int v = digitValue(text[i]);
        if (v < 0)
            return std::nullopt;
        seconds = seconds * 36 + v;
    }
    const int high = digitValue(text[text.size() - 2]);
    const int low = digitValue(text[text.size() - 1]);
    if (high < 0 || low < 0)
        return std::nullopt;
    // Numbers count whole local days since 1 January 1998, then the seconds
    // of the day, so the inverse goes the same way.
    const QDate day = QDate(1998, 1, 1).addDays(seconds / 86400);
    const QTime time = QTime(0, 0).addSecs(int(seconds % 86400));
    return DecodedStampId {QDateTime(day, time), high * 36 + low};
}

QStringList StampRecords(const QString &logPath, const QString &id)
{
    const QString number = normalized(id);
    return FindStampRecords(logPath, {number}).records.value(number);
}

QString DescribeStampId(const QString &id, const QDateTime &now, bool *isNumber)
{
    *isNumber = false;
    const QString number = normalized(id);
    if (number == bas_QVanto::PlaceholderStampId)
        return QStringLiteral("「%1」は押印番号ではなく、まだ押印していないときに表示される仮の文字です。"
                              "押印すると、その印影の押印番号に置き換わります。")
            .arg(number);
    const std::optional<DecodedStampId> decoded = DecodeStampId(number);
    if (!decoded)
        return QStringLiteral("「%1」は押印番号ではありません。押印番号は 0〜9 と A〜Z でできています。")
            .arg(id.trimmed());
    *isNumber = true;
    const QString when = QStringLiteral("%1 (同じ秒の %2 番目)")
                             .arg(decoded->madeAt.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")))
                             .arg(decoded->repeatCount + 1);
    // After the clock is set back, numbers run ahead of it for a while;
    // one far ahead is more likely mistyped or made on a machine whose
    // clock was wrong.
    const QString future = decoded->madeAt > now
        ? QStringLiteral("\nこれは今 (%1) より後の日時です。時計が戻されたあとの押印 (番号は時計より先に"
                         "進みます) か、時計が進んでいた機械での押印、または番号の打ち間違いかもしれません。")
              .arg(now.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")))
        : QString();
    return QStringLiteral("押印番号 %1: %2%3").arg(number, when, future);
}

QString StampLookupReport(const QString &id, const QString &logPath, const QDateTime &now)
{
    bool isNumber = false;
    const QString description = DescribeStampId(id, now, &isNumber);
    if (!isNumber)
        return description;
    const QStringList records = StampRecords(logPath, id);
    if (records.isEmpty())
        return description + QStringLiteral("\nこの押印ログにはありません。\n") + logPath;
    return description + QStringLiteral("\n\n") + records.join(QStringLiteral("\n\n"));
}

} // namespace stamp
