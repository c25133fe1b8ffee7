#pragma once

#include "pdf/PdfModule.h"

#include <QStringList>

namespace pdf {

// The module's file name without folder: libqvanto-pdf.so on Linux.
QString PdfModuleName();

// Opens a document through the PDF module, loading the module from the first
// of the folders that holds it on the first call. Nothing, with a message in
// *error, when the module is missing or the document is refused.
std::unique_ptr<PdfDocument> OpenPdf(
    const QStringList &moduleFolders, const QByteArray &bytes, QString *error);

} // namespace pdf
