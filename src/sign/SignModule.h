#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QString>
#include <QStringList>

// Signatures and timestamps, behind a narrow interface: OpenSSL and the
// network live in a module loaded on first use, so the window starts
// without them.
namespace sign {

// The part of a PDF its signature's range leaves out, '<' to '>' inclusive:
// the hex string the signature is written into.
struct Hole {
    qint64 begin = 0;
    qint64 end = 0;
};

// The key and certificate of one signer, checked when opened.
class Signer {
public:
    virtual ~Signer() = default;
    // The certificate's common name.
    virtual QString name() const = 0;
    // Bytes to keep in the PDF for the signature, with a timestamp or not.
    virtual int room(bool timestamped) const = 0;
    // Writes into `pdf`'s hole a CAdES detached signature (SHA-256,
    // signing-certificate-v2, no signing time among the signed attributes,
    // the chain embedded) over the rest of the file; with `tsaUrl`, an
    // RFC 3161 timestamp over the signature value as an unsigned attribute.
    // False, with a message in *error, when it cannot.
    virtual bool sign(QByteArray &pdf, const Hole &hole, const QString &tsaUrl, QString *error) = 0;
};

// What one signature is worth.
struct SignatureCheck {
    bool intact = false; // the signature matches the bytes it covers
    bool trusted = false; // and its certificate leads to a trusted one
    QString signer; // the certificate's common name
    QDateTime timestamp; // the timestamp's time, when it carries one
    bool timestampTrusted = false; // it matches the signature and its authority is trusted
    QString problem; // why it is not intact or trusted
};

class SignModule {
public:
    virtual ~SignModule() = default;
    // The signer in a PKCS#12 file. Refuses, with one message in *error:
    // a wrong password; a certificate expired or not yet valid at `now`;
    // one whose key usage does not allow signing; a key that does not match
    // it.
    virtual Signer *openSigner(
        const QByteArray &pkcs12, const QByteArray &password, const QDateTime &now, QString *error)
        = 0;
    // Why the timestamp server at `url` cannot serve (it does not answer a
    // request within 10 s with a token that fits it); empty when it can.
    virtual QString timestampServerProblem(const QString &url) = 0;
    // Checks a CMS signature over `signedBytes` against the system's
    // certificate store and the PEM files in `trustFiles`.
    virtual SignatureCheck check(
        const QByteArray &cms, const QByteArray &signedBytes, const QStringList &trustFiles)
        = 0;
};

using MakeSignModuleFunction = SignModule *(*)();

// The module's one exported symbol, new with each change of the interface.
inline constexpr char kMakeSignModuleSymbol[] = "qvanto_make_sign_module_1";

// The module, loaded on the first call and kept for the run; nothing, with
// a message in *error, when it cannot be loaded.
SignModule *LoadSignModule(QString *error);

} // namespace sign
