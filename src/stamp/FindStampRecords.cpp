#include "stamp/FindStampRecords.h"

#include "host/SystemCodec.h"
#include "stamp/LogLines.h"

#include <bitset>
#include <cstring>

namespace stamp {

namespace {

// A number logged over and over is damage or mischief; its first records
// tell the story, and memory stays bounded.
constexpr qsizetype kMostRecordsPerNumber = 1000;

// How often the reader reports and looks at the cancel flag.
constexpr qint64 kBlocksPerReport = 16;

// What a record's first line starts with, its number after it.
constexpr QByteArrayView kMarker = "QVID:";

// The number a record's first line starts with ("QVID:<number>,…"); empty
// for any other line. It shares the line's bytes (no copy for each of
// millions of records), so it is valid only while the line is unchanged.
QByteArray recordNumber(const QByteArray &line)
{
    if (!line.startsWith(kMarker))
        return {};
    const qsizetype comma = line.indexOf(',', kMarker.size());
    return comma < 0 ? QByteArray()
                     : QByteArray::fromRawData(line.constData() + kMarker.size(), comma - kMarker.size());
}

// A first test of a number against those asked for, one bit for each of
// 65,536 hash values: nearly all of millions of records fail it, before any
// look-up in a hash table.
class NumberFilter {
public:
    void add(QByteArrayView number) { m_bits.set(slot(number)); }
    bool mayHold(QByteArrayView number) const { return m_bits.test(slot(number)); }

private:
    static size_t slot(QByteArrayView number)
    {
        quint32 hash = 2166136261u; // FNV-1a
        for (const char c : number)
            hash = (hash ^ uchar(c)) * 16777619u;
        return (hash >> 16) ^ (hash & 0xffff);
    }
    std::bitset<65536> m_bits;
};

} // namespace

FoundRecords FindStampRecords(
    const QString &logPath, const QSet<QString> &numbers, const LogReadControl &control)
{
    FoundRecords found;
    QSet<QByteArray> wanted;
    wanted.reserve(numbers.size());
    NumberFilter filter;
    qsizetype longest = 0;
    for (const QString &number : numbers) {
        const QByteArray key = number.trimmed().toUpper().toLatin1();
        // A number never holds the comma that ends it, nor a line end.
        if (key.isEmpty() || key.contains(',') || key.contains('\n'))
            continue;
        wanted.insert(key);
        filter.add(key);
        longest = qMax(longest, key.size());
    }
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
        const qsizetype enough = kMarker.size() + longest + 1;
        QByteArray line;
        while (lines.seekLineStartingWith(kMarker)) {
            // Most records are told apart where they lie, without a copy; a
            // first line cut by the block's end is read whole.
            const QByteArrayView start = lines.peek(enough);
            const char *comma = static_cast<const char *>(
                std::memchr(start.data() + kMarker.size(), ',', size_t(start.size() - kMarker.size())));
            if (comma || start.size() == enough) {
                const QByteArrayView number
                    = comma ? QByteArrayView(start.data() + kMarker.size(), comma) : QByteArrayView();
                if (number.isEmpty() || !filter.mayHold(number)
                    || !wanted.contains(QByteArray::fromRawData(number.data(), number.size()))) {
                    lines.skipLine();
                    continue;
                }
            }
            if (!lines.next(line))
                break;
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
