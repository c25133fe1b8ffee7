#include "pdf/LoadPdfModule.h"

#include "host/HostError.h"
#include "host/Module.h"
#include "host/RegularFile.h"
#include "pdf/PdfFileCheck.h"

#include <QDir>
#include <QFileInfo>

#include <fcntl.h>
#include <sys/stat.h>
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

// Reads the file's descriptor and hands it over; nothing, with a message, on
// a refusal.
std::unique_ptr<PdfDocument> open(const QString &path, QString *error, qint64 largestBytes)
{
    // A link is followed: the file is only read. What lies at the end must
    // be a regular file, never a FIFO or a device that would wait or never end.
    const QString target = QFileInfo(path).canonicalFilePath();
    struct stat info = {};
    const int fd = target.isEmpty() ? -1 : host::openRegularFile(target, O_RDONLY, &info);
    if (fd < 0) {
        *error = QStringLiteral("PDF を開けません。");
        return nullptr;
    }
    if (largestBytes != kAnySize && info.st_size > largestBytes) {
        ::close(fd);
        *error = QStringLiteral("PDF が大きすぎます (%1 MB まで)。").arg(largestBytes / (1024 * 1024));
        return nullptr;
    }
    if (const QString problem = PdfFileProblem(fd, info.st_size); !problem.isEmpty()) {
        ::close(fd);
        *error = problem;
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
