// PAdES signatures: CMS with OpenSSL, CAdES attributes, no signing time.
#include "sign/CadesSigner.h"

#include "sign/OpenSsl.h"
#include "sign/TimestampClient.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace sign {

namespace {

// A signature with its chain is a few kilobytes; a timestamp token with
// the authority's chain doubles it at most.
constexpr int kSignatureRoom = 16 * 1024;
constexpr int kTimestampRoom = 16 * 1024;

QByteArray derLength(qsizetype length)
{
    if (length < 0x80)
        return QByteArray(1, char(length));
    QByteArray digits;
    for (qsizetype n = length; n > 0; n >>= 8)
        digits.prepend(char(n & 0xff));
    return char(0x80 | digits.size()) + digits;
}

// The signed attributes as they are signed: a DER SET, its members in the
// order DER gives them (as OpenSSL writes them into the CMS).
QByteArray signedAttributes(CMS_SignerInfo *signer)
{
    std::vector<QByteArray> members;
    for (int i = 0; i < CMS_signed_get_attr_count(signer); ++i)
        members.push_back(der(i2d_X509_ATTRIBUTE, CMS_signed_get_attr(signer, i)));
    std::sort(members.begin(), members.end(), [](const QByteArray &a, const QByteArray &b) {
        const int order = std::memcmp(a.constData(), b.constData(), size_t(std::min(a.size(), b.size())));
        return order != 0 ? order < 0 : a.size() < b.size();
    });
    QByteArray content;
    for (const QByteArray &member : members)
        content += member;
    return char(0x31) + derLength(content.size()) + content;
}

class CadesSigner final : public Signer {
public:
    CadesSigner(OwnedKey key, OwnedX509 certificate, OwnedCertificates chain)
        : m_key(std::move(key)), m_certificate(std::move(certificate)), m_chain(std::move(chain))
    {
    }

    QString name() const override { return commonName(m_certificate.get()); }

    int room(bool timestamped) const override { return kSignatureRoom + (timestamped ? kTimestampRoom : 0); }

    bool sign(QByteArray &pdf, const Hole &hole, const QString &tsaUrl, QString *error) override
    {
        const qsizetype hexRoom = hole.end - hole.begin - 2;
        if (hole.begin < 0 || hole.end > pdf.size() || hexRoom <= 0) {
            *error = QStringLiteral("署名の場所が PDF にありません。");
            return false;
        }
        const QByteArray signedBytes = pdf.left(hole.begin) + pdf.mid(hole.end);
        const QByteArray cms = signature(signedBytes, tsaUrl, error);
        if (cms.isEmpty())
            return false;
        const QByteArray hex = cms.toHex();
        if (hex.size() > hexRoom) {
            *error = QStringLiteral("署名が PDF に取った場所に収まりません。");
            return false;
        }
        pdf.replace(hole.begin + 1, hex.size(), hex);
        return true;
    }

private:
    QByteArray signature(const QByteArray &signedBytes, const QString &tsaUrl, QString *error)
    {
        const auto failed = [error](const QString &why) {
            *error = QStringLiteral("署名できません: %1").arg(why);
            return QByteArray();
        };
        const OwnedCms cms(
            CMS_sign(nullptr, nullptr, nullptr, nullptr, CMS_PARTIAL | CMS_DETACHED | CMS_BINARY));
        CMS_SignerInfo *signer = cms ? CMS_add1_signer(cms.get(), m_certificate.get(), m_key.get(),
                                     EVP_sha256(), CMS_CADES | CMS_PARTIAL | CMS_BINARY | CMS_NOSMIMECAP)
                                     : nullptr;
        if (!signer)
            return failed(lastOpenSslError());
        for (int i = 0; i < sk_X509_num(m_chain.get()); ++i)
            if (X509_cmp(sk_X509_value(m_chain.get(), i), m_certificate.get()) != 0)
                CMS_add1_cert(cms.get(), sk_X509_value(m_chain.get(), i));
        ERR_clear_error(); // a certificate given twice is kept once
        const OwnedBio data = memoryOf(signedBytes);
        if (CMS_final(cms.get(), data.get(), nullptr, CMS_DETACHED | CMS_BINARY) != 1)
            return failed(lastOpenSslError());
        // OpenSSL adds the signing time whatever it is told; the time of a
        // PAdES signature is the PDF's, or the timestamp's. Taken out, and
        // what is left signed again.
        if (const int at = CMS_signed_get_attr_by_NID(signer, NID_pkcs9_signingTime, -1); at >= 0) {
            X509_ATTRIBUTE_free(CMS_signed_delete_attr(signer, at));
            if (!signAgain(signer))
                return failed(lastOpenSslError());
        }
        if (!tsaUrl.isEmpty()) {
            const ASN1_OCTET_STRING *value = CMS_SignerInfo_get0_signature(signer);
            const QByteArray token = FetchTimestampToken(tsaUrl,
                QByteArray(
                    reinterpret_cast<const char *>(ASN1_STRING_get0_data(value)), ASN1_STRING_length(value)),
                error);
            if (token.isEmpty())
                return {};
            if (CMS_unsigned_add1_attr_by_NID(signer, NID_id_smime_aa_timeStampToken, V_ASN1_SEQUENCE,
                    token.constData(), int(token.size()))
                != 1)
                return failed(lastOpenSslError());
        }
        return der(i2d_CMS_ContentInfo, cms.get());
    }

    bool signAgain(CMS_SignerInfo *signer)
    {
        const QByteArray attributes = signedAttributes(signer);
        Owned<EVP_MD_CTX, EVP_MD_CTX_free> context(EVP_MD_CTX_new());
        size_t length = 0;
        const auto *in = reinterpret_cast<const unsigned char *>(attributes.constData());
        if (EVP_DigestSignInit(context.get(), nullptr, EVP_sha256(), nullptr, m_key.get()) != 1
            || EVP_DigestSign(context.get(), nullptr, &length, in, size_t(attributes.size())) != 1)
            return false;
        std::vector<unsigned char> value(length);
        if (EVP_DigestSign(context.get(), value.data(), &length, in, size_t(attributes.size())) != 1)
            return false;
        return ASN1_STRING_set(CMS_SignerInfo_get0_signature(signer), value.data(), int(length)) == 1;
    }

    OwnedKey m_key;
    OwnedX509 m_certificate;
    OwnedCertificates m_chain;
};

// Why the certificate cannot sign at `now`; empty when it can.
QString certificateProblem(X509 *certificate, EVP_PKEY *key, const QDateTime &now)
{
    time_t at = time_t(now.toSecsSinceEpoch());
    if (X509_cmp_time(X509_get0_notBefore(certificate), &at) > 0)
        return QStringLiteral("証明書はまだ有効ではありません (%1 から)。")
            .arg(TimeOf(X509_get0_notBefore(certificate)).toString(QStringLiteral("yyyy-MM-dd HH:mm 'UTC'")));
    if (X509_cmp_time(X509_get0_notAfter(certificate), &at) < 0)
        return QStringLiteral("証明書の有効期限が切れています。");
    const uint32_t usage = X509_get_key_usage(certificate); // all bits when it names none
    if (!(usage & (KU_DIGITAL_SIGNATURE | KU_NON_REPUDIATION)))
        return QStringLiteral("証明書の鍵の用途が署名を許していません。");
    if (X509_check_private_key(certificate, key) != 1) {
        ERR_clear_error();
        return QStringLiteral("秘密鍵が証明書に合いません。");
    }
    return {};
}

} // namespace

Signer *OpenCadesSigner(
    const QByteArray &pkcs12, const QByteArray &password, const QDateTime &now, QString *error)
{
    const OwnedBio in = memoryOf(pkcs12);
    const Owned<PKCS12, PKCS12_free> file(d2i_PKCS12_bio(in.get(), nullptr));
    if (!file) {
        ERR_clear_error();
        *error = QStringLiteral("PKCS#12 (.p12) の形をしていません。");
        return nullptr;
    }
    if (PKCS12_verify_mac(file.get(), password.constData(), int(password.size())) != 1) {
        ERR_clear_error();
        *error = QStringLiteral("パスワードが違います。");
        return nullptr;
    }
    EVP_PKEY *key = nullptr;
    X509 *certificate = nullptr;
    STACK_OF(X509) *chain = nullptr;
    const bool parsed = PKCS12_parse(file.get(), password.constData(), &key, &certificate, &chain) == 1;
    OwnedKey ownKey(key);
    OwnedX509 ownCertificate(certificate);
    OwnedCertificates ownChain(chain);
    if (!parsed || !key || !certificate) {
        // OpenSSL hands out only the certificate its key belongs to; a key
        // packed with another's certificate comes out without one.
        *error = !parsed ? QStringLiteral("読めません (%1)。").arg(lastOpenSslError())
            : !key       ? QStringLiteral("秘密鍵が入っていません。")
                         : QStringLiteral("秘密鍵に合う証明書が入っていません。");
        ERR_clear_error();
        return nullptr;
    }
    if (const QString problem = certificateProblem(certificate, key, now); !problem.isEmpty()) {
        *error = problem;
        return nullptr;
    }
    return new CadesSigner(std::move(ownKey), std::move(ownCertificate), std::move(ownChain));
}

} // namespace sign
