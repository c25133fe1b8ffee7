// RFC 3161 requests over HTTP: Qt Network carries them, OpenSSL's TS_
// functions write the request and judge the answer.
#include "sign/TimestampClient.h"

#include "sign/OpenSsl.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QTimer>
#include <QUrl>

#include <openssl/rand.h>

namespace sign {

namespace {

// A token with its certificates is a few kilobytes; more is not an answer.
constexpr qint64 kLargestAnswer = 256 * 1024;

using OwnedRequest = Owned<TS_REQ, TS_REQ_free>;
using OwnedResponse = Owned<TS_RESP, TS_RESP_free>;
using OwnedVerify = Owned<TS_VERIFY_CTX, TS_VERIFY_CTX_free>;

OwnedRequest requestFor(const QByteArray &data)
{
    unsigned char digest[32];
    SHA256(reinterpret_cast<const unsigned char *>(data.constData()), size_t(data.size()), digest);
    OwnedRequest request(TS_REQ_new());
    Owned<TS_MSG_IMPRINT, TS_MSG_IMPRINT_free> imprint(TS_MSG_IMPRINT_new());
    Owned<X509_ALGOR, X509_ALGOR_free> algorithm(X509_ALGOR_new());
    X509_ALGOR_set0(algorithm.get(), OBJ_nid2obj(NID_sha256), V_ASN1_NULL, nullptr);
    TS_MSG_IMPRINT_set_algo(imprint.get(), algorithm.get());
    TS_MSG_IMPRINT_set_msg(imprint.get(), digest, sizeof digest);
    TS_REQ_set_version(request.get(), 1);
    TS_REQ_set_msg_imprint(request.get(), imprint.get());
    // A nonce ties the answer to this request: a replayed token is refused.
    unsigned char random[8];
    RAND_bytes(random, sizeof random);
    Owned<BIGNUM, BN_free> value(BN_bin2bn(random, sizeof random, nullptr));
    Owned<ASN1_INTEGER, ASN1_INTEGER_free> nonce(BN_to_ASN1_INTEGER(value.get(), nullptr));
    TS_REQ_set_nonce(request.get(), nonce.get());
    TS_REQ_set_cert_req(request.get(), 1);
    return request;
}

// The server's answer to a POST, within the time allowed; empty, with a
// message, otherwise.
QByteArray post(const QUrl &url, const QByteArray &body, QString *error)
{
    QNetworkAccessManager network;
    QNetworkRequest request(url);
    request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/timestamp-query"));
    request.setTransferTimeout(kTimestampSeconds * 1000);
    QNetworkReply *reply = network.post(request, body);
    QEventLoop loop;
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    QObject::connect(reply, &QNetworkReply::readyRead, &loop, [reply] {
        if (reply->bytesAvailable() > kLargestAnswer)
            reply->abort();
    });
    deadline.start(kTimestampSeconds * 1000);
    if (!reply->isFinished())
        loop.exec();
    QByteArray answer;
    if (!reply->isFinished()) {
        reply->abort();
        *error = QStringLiteral("%1 秒以内に答えがありません").arg(kTimestampSeconds);
    } else if (reply->error() != QNetworkReply::NoError) {
        *error = reply->errorString();
    } else if (reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() != 200) {
        *error = QStringLiteral("HTTP %1").arg(
            reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt());
    } else {
        answer = reply->read(kLargestAnswer + 1);
        if (answer.size() > kLargestAnswer || answer.isEmpty()) {
            *error = QStringLiteral("答えが時刻認証の形をしていません");
            answer.clear();
        }
    }
    delete reply;
    return answer;
}

QByteArray tokenFrom(const QByteArray &answer, TS_REQ *request, QString *error)
{
    const unsigned char *p = reinterpret_cast<const unsigned char *>(answer.constData());
    const OwnedResponse response(d2i_TS_RESP(nullptr, &p, long(answer.size())));
    if (!response || !TS_RESP_get_token(response.get())) {
        *error = QStringLiteral("答えが時刻認証の形をしていません");
        ERR_clear_error();
        return {};
    }
    // Checks the version, the imprint and the nonce; whom to trust for the
    // token is the verifier's to say.
    const OwnedVerify verify(TS_REQ_to_TS_VERIFY_CTX(request, nullptr));
    if (!verify || TS_RESP_verify_response(verify.get(), response.get()) != 1) {
        *error = QStringLiteral("答えがこの要求に合いません (%1)").arg(lastOpenSslError());
        return {};
    }
    return der(i2d_PKCS7, TS_RESP_get_token(response.get()));
}

} // namespace

QByteArray FetchTimestampToken(const QString &url, const QByteArray &data, QString *error)
{
    const QUrl address(url);
    QString why;
    QByteArray token;
    if (!address.isValid() || (address.scheme() != u"http" && address.scheme() != u"https")) {
        why = QStringLiteral("http:// か https:// の URL ではありません");
    } else {
        const OwnedRequest request = requestFor(data);
        const QByteArray answer = post(address, der(i2d_TS_REQ, request.get()), &why);
        if (!answer.isEmpty())
            token = tokenFrom(answer, request.get(), &why);
    }
    if (token.isEmpty())
        *error = QStringLiteral("時刻認証局 %1 から時刻印を得られません: %2").arg(url, why);
    return token;
}

} // namespace sign
