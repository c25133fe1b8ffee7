#pragma once

#include "pdf/PdfModule.h"
#include "sign/SignModule.h"

#include <QDateTime>

#include <memory>

namespace app {

// A stamp that is also a signature: who signs, and where the timestamp
// comes from. Made whole, checks done, before a number is taken.
struct PdfSigning {
    std::unique_ptr<sign::Signer> signer;
    QString tsaUrl; // empty: no timestamp
    QDateTime time; // claimed in the signature field
};

// The largest PKCS#12 file read: a key and a chain are a few kilobytes.
inline constexpr qint64 kLargestKeyFileBytes = 1024 * 1024;

// Opens the signer in the PKCS#12 file at `keyPath` with `password` and,
// with a timestamp server, asks it for a token once, so that every refusal
// comes before a number is taken: a wrong password, a certificate not valid
// at `now` or not for signing, a key that does not match it, a server that
// does not answer in time or answers garbage. Nothing, with one message in
// *error, on a refusal.
std::unique_ptr<PdfSigning> OpenSigning(const QString &keyPath, const QByteArray &password,
    const QString &tsaUrl, const QDateTime &now, QString *error);

// The copy with the first placement a signed seal (the number in its
// reason), the others plain stamps; empty, with a message, when it cannot be
// made. Comes after the number: a timestamp server that stops answering
// between the check and the signature costs that number.
QByteArray SignedCopy(pdf::PdfDocument &document, const std::vector<pdf::StampPlacement> &placements,
    const pdf::PrintedFace &face, const QString &number, PdfSigning &signing, QString *error);

// The reason a signed seal gives: the stamp's number.
QString SignatureReason(const QString &number);

} // namespace app
