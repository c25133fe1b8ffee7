#pragma once

// Part of the signing module only: OpenSSL's objects owned like any other.
#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pkcs12.h>
#include <openssl/ts.h>
#include <openssl/x509.h>

#include <QByteArray>
#include <QDateTime>
#include <QString>

#include <memory>

namespace sign {

template<typename T, void (*Free)(T *)>
struct Freer {
    void operator()(T *p) const { Free(p); }
};
template<typename T, void (*Free)(T *)>
using Owned = std::unique_ptr<T, Freer<T, Free>>;

using OwnedBio = Owned<BIO, BIO_free_all>;
using OwnedCms = Owned<CMS_ContentInfo, CMS_ContentInfo_free>;
using OwnedKey = Owned<EVP_PKEY, EVP_PKEY_free>;
using OwnedX509 = Owned<X509, X509_free>;
using OwnedStore = Owned<X509_STORE, X509_STORE_free>;
using OwnedPkcs7 = Owned<PKCS7, PKCS7_free>;

inline void freeCertificates(STACK_OF(X509) * certificates)
{
    sk_X509_pop_free(certificates, X509_free);
}
using OwnedCertificates = Owned<STACK_OF(X509), freeCertificates>;

inline OwnedBio memoryOf(const QByteArray &bytes)
{
    return OwnedBio(BIO_new_mem_buf(bytes.constData(), int(bytes.size())));
}

// The DER of any object OpenSSL can write; empty when it cannot.
template<typename Encode, typename T>
QByteArray der(Encode encode, T *object)
{
    unsigned char *out = nullptr;
    const int length = encode(object, &out);
    if (length <= 0)
        return {};
    QByteArray bytes(reinterpret_cast<const char *>(out), length);
    OPENSSL_free(out);
    return bytes;
}

// OpenSSL's last reason, for a message; its queue is left empty.
inline QString lastOpenSslError()
{
    const unsigned long code = ERR_peek_last_error();
    char text[256] = {};
    ERR_error_string_n(code, text, sizeof text);
    ERR_clear_error();
    return QString::fromLatin1(text);
}

// An ASN.1 time as a time in UTC; invalid when it is none.
inline QDateTime TimeOf(const ASN1_TIME *time)
{
    struct tm parts = {};
    if (!time || ASN1_TIME_to_tm(time, &parts) != 1)
        return {};
    return QDateTime(QDate(parts.tm_year + 1900, parts.tm_mon + 1, parts.tm_mday),
        QTime(parts.tm_hour, parts.tm_min, parts.tm_sec), Qt::UTC);
}

// A certificate's common name, or its whole subject when it has none.
inline QString commonName(X509 *certificate)
{
    const X509_NAME *subject = X509_get_subject_name(certificate);
    const int at = X509_NAME_get_index_by_NID(subject, NID_commonName, -1);
    if (at < 0) {
        char line[512] = {};
        X509_NAME_oneline(subject, line, sizeof line);
        return QString::fromUtf8(line);
    }
    unsigned char *utf8 = nullptr;
    const int length = ASN1_STRING_to_UTF8(&utf8, X509_NAME_ENTRY_get_data(X509_NAME_get_entry(subject, at)));
    const QString name = length < 0 ? QString() : QString::fromUtf8(reinterpret_cast<char *>(utf8), length);
    OPENSSL_free(utf8);
    return name;
}

} // namespace sign
