#pragma once

// Part of the PDF module only: the one place that writes PDFs.
#include "pdf/PdfModule.h"

namespace pdf {

// The file `original` followed by one incremental update that puts a stamp
// annotation on each placement: the face's page as the annotation's
// appearance, drawn as vectors, upright on the page as shown (rotation and
// crop box applied), numbered by `number` as its contents and name, printed
// with the page. Empty, with a message in *error, when it cannot be made.
QByteArray AppendStamps(const QByteArray &original, const std::vector<StampPlacement> &placements,
    const PrintedFace &face, const QString &number, QString *error);

} // namespace pdf

namespace pdf {

// The same with the first placement made the widget of a signature field
// (MakeSignatureWidget), its byte range written and its contents left as
// zeros at *hole.
QByteArray AppendSignatureField(const QByteArray &original, const std::vector<StampPlacement> &placements,
    const PrintedFace &face, const QString &number, const SignatureRequest &request, SignatureHole *hole,
    QString *error);

} // namespace pdf
