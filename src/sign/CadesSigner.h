#pragma once

// Part of the signing module only.
#include "sign/SignModule.h"

namespace sign {

// The signer of a PKCS#12 file, checked; nothing, with one message, on a
// refusal (SignModule::openSigner).
Signer *OpenCadesSigner(
    const QByteArray &pkcs12, const QByteArray &password, const QDateTime &now, QString *error);

} // namespace sign
