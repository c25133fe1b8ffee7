#include "stamp/StampLog.h"

#include "host/Clock.h"
#include "host/HostError.h"
#include "host/SystemCodec.h"

#include <QFile>
#include <QStringList>

namespace stamp {

namespace {

// The log file, opened for appending only: what is already there is never
// read or changed. Every write and the final flush are checked, since a full
// disk often shows only when the buffer reaches it.
class LogFile {
public:
    explicit LogFile(const QString &path) : m_file(path)
    {
        if (!m_file.open(QIODevice::WriteOnly | QIODevice::Append))
            fail();
    }

    void writeLine(const QString &text)
    {
        // Binary mode: the CR LF is ours, on every platform.
        const QByteArray bytes = host::encodeSystemText(text) + "\r\n";
        if (m_file.write(bytes) != bytes.size())
            fail();
    }

    void close()
    {
        if (!m_file.flush())
            fail();
        m_file.close();
        if (m_file.error() != QFileDevice::NoError)
            fail();
    }

private:
    [[noreturn]] void fail() const
    {
        throw host::HostError(host::HostError::FileIo,
            QStringLiteral("Cannot write the stamp log %1: %2").arg(m_file.fileName(), m_file.errorString()));
    }

    QFile m_file;
};

} // namespace

void appendStampLogRecord(
    const QString &path, const QString &stampId, const std::array<QString, 4> &rows, const host::Clock &clock)
{
    LogFile log(path);
    log.writeLine(QStringLiteral("QVID:") + stampId + QLatin1Char(',')
        + clock.now().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss ")));
    log.writeLine(QStringLiteral("    ") + QStringList(rows.begin(), rows.end()).join(QLatin1Char(',')));
    log.writeLine(QString());
    log.close();
}

} // namespace stamp
