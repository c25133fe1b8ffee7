#pragma once

// The bytes the program stores, as a reader of its files sees them: a stamp
// record in the log and the settings file the window saves. Tests write old
// files with these and compare what the program wrote against them.
#include <QByteArray>
#include <QStringList>

namespace support {

// One stamp's record: the number and the date and time it was made, then
// the four rows, then an empty line.
inline QByteArray logRecord(const QString &id, const QString &madeAt, const QStringList &rows)
{
    return "QVID:" + id.toUtf8() + ',' + madeAt.toUtf8() + " \r\n    " + rows.join(u',').toUtf8()
        + "\r\n\r\n";
}

// The settings file as the window saves it.
inline QByteArray savedSettings(const QStringList &rows, const QStringList &faces, qint32 ink, int qvid)
{
    QByteArray bytes;
    for (int n = 0; n < 4; ++n)
        bytes += "label" + QByteArray::number(n) + ',' + rows[n].toUtf8() + ',' + faces[n].toUtf8() + "\r\n";
    return bytes + "color, " + QByteArray::number(ink) + " \r\nqvid, " + QByteArray::number(qvid) + " \r\n";
}

} // namespace support
