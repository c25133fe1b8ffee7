#include "StampLookup.h"

#include "host/RegularFile.h"
#include "host/SystemCodec.h"
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

// Longer than any record's line (four rows of up to 32,000 characters); a
// longer line is damage and is cut there, so memory stays small whatever
// the log holds.
constexpr qint64 kLongestLineBytes = 1024 * 1024;
constexpr qint64 kBlockBytes = 256 * 1024;

// The lines of a file, read in blocks from the start to the end.
class LineReader {
public:
    explicit LineReader(const host::RegularFile &file) : m_file(file) { }

    // The next line without its line end; false past the last line.
    bool next(QByteArray &line)
    {
        line.clear();
        bool any = false;
        for (;;) {
            if (m_pos == m_block.size()) {
                m_block = m_file.readAt(m_offset, kBlockBytes);
                m_offset += m_block.size();
                m_pos = 0;
                if (m_block.isEmpty())
                    return any;
            }
            any = true;
            const qsizetype lineEnd = m_block.indexOf('\n', m_pos);
            const qsizetype end = lineEnd < 0 ? m_block.size() : lineEnd;
            line.append(
                m_block.constData() + m_pos, qMin<qint64>(end - m_pos, kLongestLineBytes - line.size()));
            m_pos = lineEnd < 0 ? m_block.size() : lineEnd + 1;
            if (lineEnd >= 0) {
                if (line.endsWith('\r'))
                    line.chop(1);
                return true;
            }
        }
    }

private:
    const host::RegularFile &m_file;
    qint64 m_offset = 0;
    QByteArray m_block;
    qsizetype m_pos = 0;
};

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
    // Read as a stream, line by line: a log grows for years, and the
    // records asked about are often the most recent ones.
    QStringList records;
    try {
        const host::RegularFile log(logPath, host::RegularFile::Mode::Read);
        LineReader lines(log);
        const QByteArray head = "QVID:" + normalized(id).toLatin1() + ',';
        QByteArray line;
        while (lines.next(line)) {
            if (!line.startsWith(head))
                continue;
            QString record = host::decodeTextFile(line);
            if (lines.next(line))
                record += QLatin1Char('\n') + host::decodeTextFile(line);
            records << record;
        }
    } catch (const std::exception &) {
    }
    return records;
}

QString StampLookupReport(const QString &id, const QString &logPath, const QDateTime &now)
{
    const QString number = normalized(id);
    if (number == bas_QVanto::PlaceholderStampId)
        return QStringLiteral("「%1」は押印番号ではなく、まだ押印していないときに表示される仮の文字です。"
                              "押印すると、その印影の押印番号に置き換わります。")
            .arg(number);
    const std::optional<DecodedStampId> decoded = DecodeStampId(number);
    if (!decoded)
        return QStringLiteral("「%1」は押印番号ではありません。押印番号は 0〜9 と A〜Z でできています。")
            .arg(id.trimmed());
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
    const QStringList records = StampRecords(logPath, number);
    if (records.isEmpty())
        return QStringLiteral("押印番号 %1 は %2 を表しますが、この押印ログにはありません。%3\n%4")
            .arg(number, when, future, logPath);
    return QStringLiteral("押印番号 %1: %2%3\n\n%4")
        .arg(number, when, future, records.join(QStringLiteral("\n\n")));
}

} // namespace stamp
