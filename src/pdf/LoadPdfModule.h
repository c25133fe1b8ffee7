#pragma once

#include "pdf/PdfModule.h"

namespace pdf {

// No limit on the file's size.
inline constexpr qint64 kAnySize = -1;

// Opens the PDF file at `path` through the PDF module, loaded on the first
// call where the program's other modules are found. The file is opened for
// reading only, when it is a regular file (through links), and looked at
// before the module reads it: one that is no PDF, whose end is missing or
// that is larger than `largestBytes` is refused at once whatever its size.
// Nothing, with a message naming the file in *error, on a refusal.
std::unique_ptr<PdfDocument> OpenPdf(const QString &path, QString *error, qint64 largestBytes = kAnySize);

} // namespace pdf
