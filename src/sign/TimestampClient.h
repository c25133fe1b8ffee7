#pragma once

// Part of the signing module only.
#include <QByteArray>
#include <QString>

namespace sign {

// The longest wait for a timestamp server's whole answer.
inline constexpr int kTimestampSeconds = 10;

// An RFC 3161 token (its DER) from the server at `url` over the SHA-256 of
// `data`, checked to answer this very request (version, imprint, nonce).
// Empty, with one message in *error, when the server does not answer in
// time, refuses or answers anything else.
QByteArray FetchTimestampToken(const QString &url, const QByteArray &data, QString *error);

} // namespace sign
