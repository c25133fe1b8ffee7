#pragma once

#include "pdf/PdfModule.h"

namespace pdf {

// Opens a document through the PDF module, loaded on the first call where
// the program's other modules are found. Nothing, with a message in *error,
// when the module is missing or the document is refused.
std::unique_ptr<PdfDocument> OpenPdf(const QByteArray &bytes, QString *error);

} // namespace pdf
