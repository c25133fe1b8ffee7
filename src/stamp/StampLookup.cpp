#include "StampLookup.h"

#include "host/SystemCodec.h"

#include <QFile>

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

// A stamp log is appended to for years; a few tens of megabytes is plenty
// to search without holding the window up for long.
constexpr qint64 kMaxLogBytes = 64 * 1024 * 1024;

} // namespace

std::optional<DecodedStampId> DecodeStampId(const QString &id)
{
    const QString text = id.trimmed();
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
    QFile file(logPath);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QString text = host::decodeTextFile(file.read(kMaxLogBytes));
    const QStringList lines = text.split(QStringLiteral("\r\n"));
    const QString head = QStringLiteral("QVID:") + id.trimmed() + QLatin1Char(',');
    QStringList records;
    for (qsizetype i = 0; i < lines.size(); ++i)
        if (lines[i].startsWith(head))
            records << lines[i] + (i + 1 < lines.size() ? QLatin1Char('\n') + lines[i + 1] : QString());
    return records;
}

QString StampLookupReport(const QString &id, const QString &logPath)
{
    const std::optional<DecodedStampId> decoded = DecodeStampId(id);
    if (!decoded)
        return QStringLiteral("「%1」は押印番号ではありません。押印番号は 0〜9 と A〜Z でできています。")
            .arg(id.trimmed());
    const QString when = QStringLiteral("%1 (同じ秒の %2 番目)")
                             .arg(decoded->madeAt.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")))
                             .arg(decoded->repeatCount + 1);
    const QStringList records = StampRecords(logPath, id);
    if (records.isEmpty())
        return QStringLiteral("押印番号 %1 は %2 を表しますが、この押印ログにはありません。\n%3")
            .arg(id.trimmed(), when, logPath);
    return QStringLiteral("押印番号 %1: %2\n\n%3")
        .arg(id.trimmed(), when, records.join(QStringLiteral("\n\n")));
}

} // namespace stamp
