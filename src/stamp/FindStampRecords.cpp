#include "stamp/FindStampRecords.h"

#include "host/SystemCodec.h"
#include "stamp/LogLines.h"

namespace stamp {

namespace {

// A number logged over and over is damage or mischief; its first records
// tell the story, and memory stays bounded.
constexpr qsizetype kMostRecordsPerNumber = 1000;

// How often the reader reports and looks at the cancel flag.
constexpr qint64 kBlocksPerReport = 16;

// The number a record's first line starts with ("QVID:<number>,…"); empty
// for any other line. It shares the line's bytes (no copy for each of
// millions of records), so it is valid only while the line is unchanged.
QByteArray recordNumber(const QByteArray &line)
{
    if (!line.startsWith("QVID:"))
        return {};
    const qsizetype comma = line.indexOf(',', 5);
    return comma < 0 ? QByteArray() : QByteArray::fromRawData(line.constData() + 5, comma - 5);
}

} // namespace

FoundRecords FindStampRecords(
    const QString &logPath, const QSet<QString> &numbers, const LogReadControl &control)
{
    FoundRecords found;
    QSet<QByteArray> wanted;
    wanted.reserve(numbers.size());
    for (const QString &number : numbers)
        wanted.insert(number.trimmed().toUpper().toLatin1());
    if (wanted.isEmpty())
        return found;
    try {
        const host::RegularFile log(logPath, host::RegularFile::Mode::Read);
        const qint64 total = log.size();
        qint64 blocks = 0;
        // Asked between blocks, so a reading stops soon even inside one
        // endless line.
        LogLines lines(log, [&](qint64 bytes) {
            if (++blocks % kBlocksPerReport != 0)
                return true;
            if (control.progress)
                control.progress(bytes, total);
            found.cancelled = control.cancel && control.cancel->load();
            return !found.cancelled;
        });
        QByteArray line;
        while (lines.next(line)) {
            const QByteArray number = recordNumber(line);
            if (number.isEmpty() || !wanted.contains(number))
                continue;
            const QString key = QString::fromLatin1(number);
            QString record = host::decodeTextFile(line);
            if (lines.next(line))
                record += QLatin1Char('\n') + host::decodeTextFile(line);
            QStringList &records = found.records[key];
            if (records.size() < kMostRecordsPerNumber)
                records << record;
        }
        if (control.progress && !found.cancelled)
            control.progress(lines.bytesRead(), total);
    } catch (const std::exception &) {
    }
    return found;
}

} // namespace stamp
