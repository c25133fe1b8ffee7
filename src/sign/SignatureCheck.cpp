// Signatures checked with OpenSSL: the CMS against the bytes it covers, its
// chain against the trusted certificates, its timestamp against the
// signature value.
#include "sign/SignatureCheck.h"

#include "sign/OpenSsl.h"

#include <QFile>

namespace sign {

namespace {

// A certificate fit to sign documents need not be fit for e-mail, which is
// all the purpose CMS checks by itself knows.
int anyPurpose(int ok, X509_STORE_CTX *context)
{
    return ok || X509_STORE_CTX_get_error(context) == X509_V_ERR_INVALID_PURPOSE ? 1 : 0;
}

OwnedStore trustStore(const QStringList &trustFiles, QString *problem)
{
    OwnedStore store(X509_STORE_new());
    X509_STORE_set_default_paths(store.get());
    for (const QString &file : trustFiles)
        if (X509_STORE_load_file(store.get(), QFile::encodeName(file).constData()) != 1)
            *problem = QStringLiteral("信頼する証明書 %1 を読めません。").arg(file);
    ERR_clear_error();
    X509_STORE_set_verify_cb(store.get(), anyPurpose);
    return store;
}

// The timestamp token among the signer's unsigned attributes.
OwnedPkcs7 timestampToken(CMS_SignerInfo *signer)
{
    const int at = CMS_unsigned_get_attr_by_NID(signer, NID_id_smime_aa_timeStampToken, -1);
    X509_ATTRIBUTE *attribute = at < 0 ? nullptr : CMS_unsigned_get_attr(signer, at);
    const ASN1_TYPE *value = attribute ? X509_ATTRIBUTE_get0_type(attribute, 0) : nullptr;
    if (!value || value->type != V_ASN1_SEQUENCE)
        return nullptr;
    const unsigned char *p = value->value.sequence->data;
    return OwnedPkcs7(d2i_PKCS7(nullptr, &p, value->value.sequence->length));
}

void checkTimestamp(CMS_SignerInfo *signer, const QStringList &trustFiles, SignatureCheck *result)
{
    const OwnedPkcs7 token = timestampToken(signer);
    if (!token)
        return;
    const Owned<TS_TST_INFO, TS_TST_INFO_free> info(PKCS7_to_TS_TST_INFO(token.get()));
    if (!info)
        return;
    result->timestamp = TimeOf(TS_TST_INFO_get_time(info.get()));
    // The token must be over this signature's value, by a trusted authority.
    const ASN1_OCTET_STRING *value = CMS_SignerInfo_get0_signature(signer);
    auto *digest = static_cast<unsigned char *>(OPENSSL_malloc(32));
    SHA256(ASN1_STRING_get0_data(value), size_t(ASN1_STRING_length(value)), digest);
    Owned<TS_VERIFY_CTX, TS_VERIFY_CTX_free> verify(TS_VERIFY_CTX_new());
    TS_VERIFY_CTX_set_flags(verify.get(), TS_VFY_VERSION | TS_VFY_IMPRINT | TS_VFY_SIGNATURE);
    TS_VERIFY_CTX_set_imprint(verify.get(), digest, 32);
    QString ignored;
    TS_VERIFY_CTX_set_store(verify.get(), trustStore(trustFiles, &ignored).release());
    result->timestampTrusted = TS_RESP_verify_token(verify.get(), token.get()) == 1;
    ERR_clear_error();
}

} // namespace

SignatureCheck CheckSignature(
    const QByteArray &cmsBytes, const QByteArray &signedBytes, const QStringList &trustFiles)
{
    SignatureCheck result;
    const unsigned char *p = reinterpret_cast<const unsigned char *>(cmsBytes.constData());
    const OwnedCms cms(d2i_CMS_ContentInfo(nullptr, &p, long(cmsBytes.size())));
    STACK_OF(CMS_SignerInfo) *signers = cms ? CMS_get0_SignerInfos(cms.get()) : nullptr;
    if (!signers || sk_CMS_SignerInfo_num(signers) != 1) {
        ERR_clear_error();
        result.problem = QStringLiteral("署名の形をしていません");
        return result;
    }
    CMS_SignerInfo *signer = sk_CMS_SignerInfo_value(signers, 0);
    const OwnedCertificates certificates(CMS_get1_certs(cms.get()));
    for (int i = 0; i < sk_X509_num(certificates.get()); ++i)
        if (CMS_SignerInfo_cert_cmp(signer, sk_X509_value(certificates.get(), i)) == 0)
            result.signer = commonName(sk_X509_value(certificates.get(), i));
    checkTimestamp(signer, trustFiles, &result);

    const OwnedBio data = memoryOf(signedBytes);
    result.intact = CMS_verify(cms.get(), nullptr, nullptr, data.get(), nullptr,
                        CMS_DETACHED | CMS_BINARY | CMS_NO_SIGNER_CERT_VERIFY)
        == 1;
    if (!result.intact) {
        result.problem = QStringLiteral("署名が内容に合いません (%1)").arg(lastOpenSslError());
        return result;
    }
    const OwnedStore store = trustStore(trustFiles, &result.problem);
    // A timestamp the verifier trusts fixes when the certificate had to be
    // valid; without one, it must be valid now.
    if (result.timestampTrusted)
        X509_VERIFY_PARAM_set_time(
            X509_STORE_get0_param(store.get()), time_t(result.timestamp.toSecsSinceEpoch()));
    const OwnedBio again = memoryOf(signedBytes);
    result.trusted
        = CMS_verify(cms.get(), nullptr, store.get(), again.get(), nullptr, CMS_DETACHED | CMS_BINARY) == 1;
    if (!result.trusted && result.problem.isEmpty())
        result.problem = QStringLiteral("署名者の証明書を信頼できません (%1)").arg(lastOpenSslError());
    return result;
}

} // namespace sign
