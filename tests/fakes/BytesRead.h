#pragma once

#include <QFile>

namespace fakes {

// Bytes this process has read so far, as the kernel counts them; -1 when
// that cannot be known, which a test relying on it must treat as a failure.
inline qint64 bytesReadSoFar()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n'))
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    return -1;
}

} // namespace fakes
