#pragma once

// Files and the kernel's figures of this process, as the tests read them.
// The /proc readers give nothing when they cannot read: a test checks for
// that, so that a figure it could not read never passes as zero.
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <malloc.h>
#include <optional>

namespace support {

// Only a regular file: a test may have linked the name to a device.
inline QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return QFileInfo(path).isFile() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every entry of a folder, hidden ones and devices included, by name.
inline QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

// The number after "key:" in a /proc/self file ("VmRSS:" in status, "rchar:"
// in io).
inline std::optional<qint64> procSelfFigure(const char *file, const QByteArray &key)
{
    QFile proc(QStringLiteral("/proc/self/") + QLatin1String(file));
    if (!proc.open(QIODevice::ReadOnly))
        return std::nullopt;
    for (const QByteArray &line : proc.readAll().split('\n'))
        if (line.startsWith(key)) {
            bool ok = false;
            const qint64 value = line.mid(key.size()).trimmed().split(' ').value(0).toLongLong(&ok);
            return ok ? std::optional<qint64>(value) : std::nullopt;
        }
    return std::nullopt;
}

// Resident memory in KiB, after handing freed heap back to the system so
// that only memory still in use counts.
inline std::optional<qint64> residentKiB()
{
    ::malloc_trim(0);
    return procSelfFigure("status", "VmRSS:");
}

// The most memory this process has held so far, in KiB.
inline std::optional<qint64> peakMemoryKiB()
{
    return procSelfFigure("status", "VmHWM:");
}

// Bytes this process has read so far, as the kernel counts them.
inline std::optional<qint64> bytesReadSoFar()
{
    return procSelfFigure("io", "rchar:");
}

// Open file handles; a process always has some, so none means no reading.
inline std::optional<qsizetype> openHandles()
{
    const qsizetype count = QDir(QStringLiteral("/proc/self/fd"))
                                .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::System)
                                .size();
    return count > 0 ? std::optional<qsizetype>(count) : std::nullopt;
}

} // namespace support
