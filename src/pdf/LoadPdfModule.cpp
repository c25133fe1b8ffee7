#include "pdf/LoadPdfModule.h"

#include <QDir>
#include <QLibrary>

namespace pdf {

namespace {

OpenPdfFunction loadOpenFunction(const QStringList &moduleFolders, QString *error)
{
    // Loaded once and kept for the rest of the run; documents it made must
    // not outlive its code.
    static OpenPdfFunction open = nullptr;
    if (open)
        return open;
    QString reasons;
    for (const QString &folder : moduleFolders) {
        const QString path = QDir(folder).filePath(PdfModuleName());
        if (!QFileInfo::exists(path))
            continue;
        auto *library = new QLibrary(path);
        open = reinterpret_cast<OpenPdfFunction>(library->resolve(kOpenPdfSymbol));
        if (open)
            return open;
        reasons += QLatin1Char('\n') + library->errorString();
        delete library;
    }
    *error = QStringLiteral("PDF を扱う部品 (%1) を読み込めません。%2").arg(PdfModuleName(), reasons);
    return nullptr;
}

} // namespace

QString PdfModuleName()
{
    return QStringLiteral("libqvanto-pdf.so");
}

std::unique_ptr<PdfDocument> OpenPdf(
    const QStringList &moduleFolders, const QByteArray &bytes, QString *error)
{
    const OpenPdfFunction open = loadOpenFunction(moduleFolders, error);
    return std::unique_ptr<PdfDocument>(open ? open(bytes, error) : nullptr);
}

} // namespace pdf
