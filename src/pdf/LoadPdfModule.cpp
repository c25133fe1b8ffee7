#include "pdf/LoadPdfModule.h"

#include "host/HostError.h"
#include "host/Module.h"
#include "host/RegularFile.h"
#include "pdf/PdfFileCheck.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <type_traits>
#include <unistd.h>

namespace pdf {

namespace {

OpenPdfFunction moduleOpen(QString *error)
{
    // Loaded once and kept for the rest of the run; documents it made must
    // not outlive its code.
    static host::Module module(QStringLiteral("qvanto_pdf"));
    try {
        return module.function<std::remove_pointer_t<OpenPdfFunction>>(kOpenPdfSymbol);
    } catch (const host::HostError &e) {
        *error = QStringLiteral("PDF を扱う部品を読み込めません。\n%1").arg(e.message());
        return nullptr;
    }
}

// Looks at the file and hands a descriptor of it over; nothing, with a
// message, on a refusal.
std::unique_ptr<PdfDocument> open(const QString &path, QString *error, qint64 largestBytes)
{
    // A link is followed: the file is only read. What lies at the end must
    // be a regular file, never a FIFO or a device that would wait or never
    // end.
    const QString target = QFileInfo(path).canonicalFilePath();
    int fd = -1;
    try {
        const host::RegularFile file(target.isEmpty() ? path : target, host::RegularFile::Mode::Read);
        if (largestBytes != kAnySize && file.size() > largestBytes) {
            *error = QStringLiteral("PDF が大きすぎます (%1 MB まで)。").arg(largestBytes / (1024 * 1024));
            return nullptr;
        }
        if (const QString problem = PdfFileProblem(file); !problem.isEmpty()) {
            *error = problem;
            return nullptr;
        }
        // The file checked is the file read: the module gets its own
        // descriptor of it, never the name.
        fd = ::fcntl(file.handle(), F_DUPFD_CLOEXEC, 0);
    } catch (const std::exception &) {
    }
    if (fd < 0) {
        *error = QStringLiteral("PDF を開けません。");
        return nullptr;
    }
    const OpenPdfFunction openFile = moduleOpen(error);
    if (!openFile) {
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<PdfDocument>(openFile(fd, error));
}

} // namespace

std::unique_ptr<PdfDocument> OpenPdf(const QString &path, QString *error, qint64 largestBytes)
{
    std::unique_ptr<PdfDocument> document = open(path, error, largestBytes);
    if (!document)
        *error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + *error;
    return document;
}

} // namespace pdf
