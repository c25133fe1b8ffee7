#pragma once

// Files and the kernel's figures of this process, as the tests read them.
// A /proc figure that cannot be read is no figure, never zero: tests check.
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

inline QStringList folderEntries(const QString &folder)
{
    return QDir(folder).entryList(
        QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name);
}

// The number after "key:" in a /proc/self file ("VmHWM:" in status, "rchar:" in io).
inline std::optional<qint64> procSelfFigure(const char *file, const QByteArray &key)
{
    QFile proc(QStringLiteral("/proc/self/") + QLatin1String(file));
    const QList<QByteArray> lines
        = proc.open(QIODevice::ReadOnly) ? proc.readAll().split('\n') : QList<QByteArray>();
    for (const QByteArray &line : lines) {
        bool ok = false;
        const qint64 value = line.mid(key.size()).trimmed().split(' ').value(0).toLongLong(&ok);
        if (line.startsWith(key) && ok)
            return value;
    }
    return std::nullopt;
}

// Resident memory in KiB after handing freed heap back, so that only memory
// still in use counts.
inline std::optional<qint64> residentKiB()
{
    ::malloc_trim(0);
    return procSelfFigure("status", "VmRSS:");
}

// Open file handles; a process always has some, so none means no reading.
inline std::optional<qsizetype> openHandles()
{
    const qsizetype count = folderEntries(QStringLiteral("/proc/self/fd")).size();
    return count > 0 ? std::optional<qsizetype>(count) : std::nullopt;
}

} // namespace support
