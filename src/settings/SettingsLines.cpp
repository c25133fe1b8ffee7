#include "settings/SettingsLines.h"

#include "host/HostError.h"
#include "host/SystemCodec.h"
#include "settings/OwnSettingsFile.h"

#include <QFile>
#include <algorithm>
#include <fcntl.h>

namespace bas_QVanto {

namespace {

QByteArray readLimited(int fd)
{
    QFile file;
    if (fd < 0 || !file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        throw host::HostError(host::HostError::FileNotFound, QStringLiteral("File not found"));
    QByteArray bytes = file.read(kSettingsReadLimitBytes + 1);
    if (bytes.size() > kSettingsReadLimitBytes) {
        // Cut after the last line ending inside the limit. CR and LF never
        // occur inside a UTF-8 or Shift_JIS character, so the cut splits no
        // character and cannot make the whole file decode differently.
        bytes.truncate(kSettingsReadLimitBytes);
        const qsizetype lastEnd = std::max(bytes.lastIndexOf('\r'), bytes.lastIndexOf('\n'));
        bytes.truncate(lastEnd + 1);
    }
    return bytes;
}

bool isLineEnd(QChar c)
{
    return c == QLatin1Char('\r') || c == QLatin1Char('\n');
}

} // namespace

// Opening a FIFO would wait for a writer and hold up start-up, a device has
// no settings to give, and a link or another user's file may be a trap: only
// the user's own regular file is read.
SettingsLines::SettingsLines(const QString &path) : SettingsLines(openOwnSettingsFile(path, O_RDONLY)) { }

SettingsLines::SettingsLines(int descriptor) : m_text(host::decodeTextFile(readLimited(descriptor))) { }

QString SettingsLines::readLine()
{
    qsizetype end = m_pos;
    while (end < m_text.size() && !isLineEnd(m_text[end]))
        ++end;
    const QString line = m_text.mid(m_pos, end - m_pos);
    m_pos = end;
    if (m_pos < m_text.size()) {
        ++m_pos;
        if (m_text[end] == QLatin1Char('\r') && m_pos < m_text.size() && m_text[m_pos] == QLatin1Char('\n'))
            ++m_pos;
    }
    return line;
}

} // namespace bas_QVanto
