#include "pdf/PdfFileCheck.h"

#include "host/RegularFile.h"

namespace pdf {

namespace {

// Readers accept the header anywhere in the first kilobyte, and look for the
// pointer to the cross-reference table in the last one.
constexpr qint64 kEdgeBytes = 1024;

} // namespace

QString PdfFileProblem(const host::RegularFile &file)
{
    const qint64 size = file.size();
    if (!file.readAt(0, kEdgeBytes).contains("%PDF-"))
        return QStringLiteral("PDF ファイルではありません。");
    // Without it a reader rebuilds the table by reading the whole file,
    // which for a damaged or made-up file of gigabytes takes minutes.
    const qint64 tailStart = qMax<qint64>(0, size - kEdgeBytes);
    if (!file.readAt(tailStart, size - tailStart).contains("startxref"))
        return QStringLiteral("PDF が壊れていて読めません (ファイルの終わりがありません)。");
    return {};
}

} // namespace pdf
