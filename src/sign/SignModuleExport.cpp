// The signing module: its one exported factory.
#include "sign/CadesSigner.h"
#include "sign/SignatureCheck.h"
#include "sign/TimestampClient.h"

#include <openssl/provider.h>

#include <QtGlobal>

namespace sign {

namespace {

class OpenSslSignModule final : public SignModule {
public:
    OpenSslSignModule()
    {
        // Key files exported by older systems use ciphers OpenSSL 3 keeps
        // in its legacy provider.
        OSSL_PROVIDER_load(nullptr, "legacy");
        OSSL_PROVIDER_load(nullptr, "default");
    }

    Signer *openSigner(
        const QByteArray &pkcs12, const QByteArray &password, const QDateTime &now, QString *error) override
    {
        return OpenCadesSigner(pkcs12, password, now, error);
    }

    QString timestampServerProblem(const QString &url) override
    {
        QString error;
        FetchTimestampToken(url, QByteArrayLiteral("QVanto: is the timestamp server answering?"), &error);
        return error;
    }

    SignatureCheck check(
        const QByteArray &cms, const QByteArray &signedBytes, const QStringList &trustFiles) override
    {
        return CheckSignature(cms, signedBytes, trustFiles);
    }
};

} // namespace

} // namespace sign

extern "C" Q_DECL_EXPORT sign::SignModule *qvanto_make_sign_module_1()
{
    return new sign::OpenSslSignModule();
}
