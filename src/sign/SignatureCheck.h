#pragma once

// Part of the signing module only.
#include "sign/SignModule.h"

namespace sign {

// What a CMS signature over `signedBytes` is worth (SignModule::check).
SignatureCheck CheckSignature(
    const QByteArray &cms, const QByteArray &signedBytes, const QStringList &trustFiles);

} // namespace sign
