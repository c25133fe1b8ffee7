#include "stamp/StampLog.h"

#include "host/Clock.h"
#include "host/RegularFile.h"
#include "host/SystemCodec.h"

#include <QStringList>

namespace stamp {

namespace {

// A record's first line is short, but its second line can be long (four
// rows of up to 32,000 characters): looking back this far always reaches
// the last record's first line.
constexpr qint64 kLongestTailBytes = 1024 * 1024;
constexpr qint64 kFirstTailBytes = 4096;
// Eight digits of seconds since 1998 last until the year 90,000, and the
// counter has two: anything longer is damage, and would make every later
// number as long.
constexpr qsizetype kLongestStampId = 10;
constexpr qsizetype kShortestStampId = 2;

bool isStampIdDigits(const QByteArray &id)
{
    if (id.size() < kShortestStampId || id.size() > kLongestStampId)
        return false;
    for (char c : id)
        if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z')))
            return false;
    return true;
}

// The number of the last record's first line in this tail of the log, which
// starts at `offset`; empty if the tail holds none.
QString lastIdIn(const QByteArray &tail, qint64 offset)
{
    static const QByteArray head = "QVID:";
    for (qsizetype at = tail.lastIndexOf(head); at >= 0; at = at > 0 ? tail.lastIndexOf(head, at - 1) : -1) {
        // Only at the start of a line, and only a whole line: a number cut
        // short would compare as a smaller one.
        const bool lineStart = at > 0 ? tail[at - 1] == '\n' : offset == 0;
        const qsizetype comma = tail.indexOf(',', at);
        const qsizetype end = tail.indexOf('\n', at);
        if (!lineStart || comma < 0 || (end >= 0 && end < comma))
            continue;
        const QByteArray id = tail.mid(at + head.size(), comma - at - head.size());
        if (isStampIdDigits(id))
            return QString::fromLatin1(id);
    }
    return {};
}

} // namespace

QByteArray StampLogRecord(
    const QString &stampId, const std::array<QString, 4> &rows, const host::Clock &clock)
{
    // Built whole, to be written with one append, so the log never holds
    // part of a record. The CR LF line ends are ours, on every platform.
    const QString text = QStringLiteral("QVID:") + stampId + QLatin1Char(',')
        + clock.now().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss ")) + QStringLiteral("\r\n    ")
        + QStringList(rows.begin(), rows.end()).join(QLatin1Char(',')) + QStringLiteral("\r\n\r\n");
    return host::encodeSystemText(text);
}

QString LastLoggedStampId(const QString &path)
{
    try {
        return LastLoggedStampId(host::RegularFile(path, host::RegularFile::Mode::Read));
    } catch (const std::exception &) {
        return {};
    }
}

QString LastLoggedStampId(const host::RegularFile &log)
{
    const qint64 size = log.size();
    for (qint64 bytes = kFirstTailBytes;; bytes *= 4) {
        const qint64 offset = qMax<qint64>(0, size - qMin(bytes, kLongestTailBytes));
        const QString id = lastIdIn(log.readAt(offset, size - offset), offset);
        if (!id.isEmpty() || offset == 0 || bytes >= kLongestTailBytes)
            return id;
    }
}

} // namespace stamp
