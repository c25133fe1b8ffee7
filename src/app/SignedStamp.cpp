#include "SignedStamp.h"

#include "host/HostError.h"
#include "host/RegularFile.h"

#include <QDir>

namespace app {

namespace {

QByteArray keyFile(const QString &path, QString *error)
{
    try {
        // Only a regular file, never a FIFO that would wait.
        const host::RegularFile file(path, host::RegularFile::Mode::Read);
        if (file.size() > kLargestKeyFileBytes) {
            *error = QStringLiteral("大きすぎます。");
            return {};
        }
        return file.readAt(0, file.size());
    } catch (const host::HostError &e) {
        *error = e.message();
    }
    return {};
}

} // namespace

QString SignatureReason(const QString &number)
{
    return QStringLiteral("押印番号 %1").arg(number);
}

std::unique_ptr<PdfSigning> OpenSigning(const QString &keyPath, const QByteArray &password,
    const QString &tsaUrl, const QDateTime &now, QString *error)
{
    const QString name = QDir::toNativeSeparators(keyPath);
    QString why;
    const QByteArray pkcs12 = keyFile(keyPath, &why);
    if (pkcs12.isEmpty()) {
        *error = QStringLiteral("署名の鍵 %1 を読めません: %2")
                     .arg(name, why.isEmpty() ? QStringLiteral("空です。") : why);
        return nullptr;
    }
    sign::SignModule *module = sign::LoadSignModule(error);
    if (!module)
        return nullptr;
    auto signing = std::make_unique<PdfSigning>();
    signing->signer.reset(module->openSigner(pkcs12, password, now, &why));
    if (!signing->signer) {
        *error = QStringLiteral("署名の鍵 %1 で署名できません: %2").arg(name, why);
        return nullptr;
    }
    if (!tsaUrl.isEmpty())
        if (const QString problem = module->timestampServerProblem(tsaUrl); !problem.isEmpty()) {
            *error = problem;
            return nullptr;
        }
    signing->tsaUrl = tsaUrl;
    signing->time = now;
    return signing;
}

QByteArray SignedCopy(pdf::PdfDocument &document, const std::vector<pdf::StampPlacement> &placements,
    const pdf::PrintedFace &face, const QString &number, PdfSigning &signing, QString *error)
{
    const pdf::SignatureRequest request {signing.signer->name(), SignatureReason(number), signing.time,
        signing.signer->room(!signing.tsaUrl.isEmpty())};
    pdf::SignatureHole hole;
    QByteArray bytes = document.withSignatureField(placements, face, number, request, &hole, error);
    if (!bytes.isEmpty() && !signing.signer->sign(bytes, {hole.begin, hole.end}, signing.tsaUrl, error))
        return {};
    return bytes;
}

} // namespace app
