#include "pdf/PdfFileCheck.h"

#include <QByteArray>

#include <cerrno>
#include <unistd.h>

namespace pdf {

namespace {

// Readers accept the header anywhere in the first kilobyte, and look for the
// pointer to the cross-reference table in the last one.
constexpr qint64 kEdgeBytes = 1024;

QByteArray readAt(int fd, qint64 offset, qint64 length)
{
    QByteArray bytes(length, Qt::Uninitialized);
    qint64 done = 0;
    while (done < length) {
        const ssize_t got = ::pread(fd, bytes.data() + done, size_t(length - done), off_t(offset + done));
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        done += got;
    }
    bytes.truncate(done);
    return bytes;
}

} // namespace

QString PdfFileProblem(int fd, qint64 size)
{
    const QByteArray head = readAt(fd, 0, qMin(size, kEdgeBytes));
    if (head.size() != qMin(size, kEdgeBytes))
        return QStringLiteral("PDF を読めません。");
    if (!head.contains("%PDF-"))
        return QStringLiteral("PDF ファイルではありません。");
    // Without it a reader rebuilds the table by reading the whole file,
    // which for a damaged or made-up file of gigabytes takes minutes.
    const qint64 tailStart = qMax<qint64>(0, size - kEdgeBytes);
    if (!readAt(fd, tailStart, size - tailStart).contains("startxref"))
        return QStringLiteral("PDF が壊れていて読めません (ファイルの終わりがありません)。");
    return {};
}

} // namespace pdf
