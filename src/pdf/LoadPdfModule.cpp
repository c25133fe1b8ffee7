#include "pdf/LoadPdfModule.h"

#include "host/HostError.h"
#include "host/Module.h"

#include <type_traits>

namespace pdf {

std::unique_ptr<PdfDocument> OpenPdf(const QByteArray &bytes, QString *error)
{
    // Loaded once and kept for the rest of the run; documents it made must
    // not outlive its code.
    static host::Module module(QStringLiteral("qvanto_pdf"));
    OpenPdfFunction open = nullptr;
    try {
        open = module.function<std::remove_pointer_t<OpenPdfFunction>>(kOpenPdfSymbol);
    } catch (const host::HostError &e) {
        *error = QStringLiteral("PDF を扱う部品を読み込めません。\n%1").arg(e.message());
        return nullptr;
    }
    return std::unique_ptr<PdfDocument>(open(bytes, error));
}

} // namespace pdf
