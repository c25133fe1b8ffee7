#pragma once

// Part of the PDF module only: a signature field as PoDoFo writes it.
#include "pdf/PdfModule.h"

#include <podofo.h>

namespace pdf {

// Turns a stamp annotation's dictionary into the widget of a signature
// field named after `number`, whose value (made in `objects`) holds the signer's name, the reason,
// the time claimed, a byte range to be written after the file is, and room
// for the signature as zeros.
void MakeSignatureWidget(PoDoFo::PdfVecObjects &objects, PoDoFo::PdfDictionary &annotation,
    const SignatureRequest &request, const QString &number);

// The document's form with one more field, signed only (SigFlags 3).
void AddFormField(PoDoFo::PdfMemDocument &document, const PoDoFo::PdfReference &field);

// Writes the byte range into the written file: everything but the
// signature's hex string, which is returned. Looks only after `from`, the
// original's end. Throws PoDoFo::PdfError when the field is not found whole.
SignatureHole FillByteRange(QByteArray &file, qint64 from);

} // namespace pdf
