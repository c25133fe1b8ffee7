#pragma once

// Part of the PDF module only: the signatures a file holds, read with
// PoDoFo.
#include "pdf/PdfModule.h"

namespace pdf {

// Every signature field's value with its page, range and contents, and
// what later revisions changed beyond added annotations and signatures.
// Nothing, with a message in *error, when the file cannot be read.
std::vector<FoundSignature> FindSignatures(const QByteArray &file, QString *error);

} // namespace pdf
