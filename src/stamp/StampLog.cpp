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
        if (lineStart && comma > 0 && (end < 0 || comma < end))
            return QString::fromLatin1(tail.mid(at + head.size(), comma - at - head.size()));
    }
    return {};
}

} // namespace

void appendStampLogRecord(
    const QString &path, const QString &stampId, const std::array<QString, 4> &rows, const host::Clock &clock)
{
    // Built whole and written with one append, so the log never holds part
    // of a record, and another writer's lines cannot fall inside it. The CR
    // LF line ends are ours, on every platform.
    const QString text = QStringLiteral("QVID:") + stampId + QLatin1Char(',')
        + clock.now().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss ")) + QStringLiteral("\r\n    ")
        + QStringList(rows.begin(), rows.end()).join(QLatin1Char(',')) + QStringLiteral("\r\n\r\n");
    host::RegularFile log(path, host::RegularFile::Mode::Append);
    log.appendWhole(host::encodeSystemText(text));
}

QString LastLoggedStampId(const QString &path)
{
    try {
        const host::RegularFile log(path, host::RegularFile::Mode::Read);
        const qint64 size = log.size();
        for (qint64 bytes = kFirstTailBytes;; bytes *= 4) {
            const qint64 offset = qMax<qint64>(0, size - qMin(bytes, kLongestTailBytes));
            const QString id = lastIdIn(log.readAt(offset, size - offset), offset);
            if (!id.isEmpty() || offset == 0 || bytes >= kLongestTailBytes)
                return id;
        }
    } catch (const std::exception &) {
        return {};
    }
}

} // namespace stamp
