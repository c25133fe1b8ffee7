#include "SignatureVerdict.h"

namespace app {

SignatureVerdict JudgeSignature(
    const pdf::FoundSignature &found, sign::SignModule &module, const QStringList &trustFiles)
{
    const sign::SignatureCheck check = found.rangeSound
        ? module.check(found.contents, found.signedBytes, trustFiles)
        : sign::SignatureCheck {false, false, {}, {}, false, QStringLiteral("署名の範囲が正しくありません")};
    SignatureVerdict verdict;
    verdict.signer = check.signer.isEmpty() ? found.name : check.signer;
    verdict.validity = !check.intact ? QStringLiteral("無効 (%1)").arg(check.problem)
        : check.trusted              ? QStringLiteral("有効、信頼できる証明書")
                                     : QStringLiteral("有効、ただし %1").arg(check.problem);
    verdict.changedAfter = found.changedAfter.isEmpty() ? QStringLiteral("なし (注釈と署名の追加のほか)")
                                                        : QStringLiteral("あり (%1)").arg(found.changedAfter);
    verdict.timestamp = check.timestamp.isValid()
        ? check.timestamp.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"))
            + (check.timestampTrusted ? QString() : QStringLiteral(" (検証できません)"))
        : QStringLiteral("なし");
    verdict.intact = check.intact;
    verdict.trusted = check.trusted;
    verdict.good = check.intact && check.trusted && found.changedAfter.isEmpty();
    return verdict;
}

QString SignatureVerdict::lines() const
{
    return QStringList {QStringLiteral("    署名者: %1").arg(signer),
        QStringLiteral("    署名: %1").arg(validity),
        QStringLiteral("    署名後の変更: %1").arg(changedAfter),
        QStringLiteral("    時刻印: %1").arg(timestamp)}
        .join(u'\n');
}

QString SignatureVerdict::brief() const
{
    const QString judged = !intact ? QStringLiteral("無効")
        : trusted                  ? QStringLiteral("有効")
                                   : QStringLiteral("有効 (証明書は信頼されていません)");
    return signer + QStringLiteral(": ") + judged
        + (changedAfter.startsWith(QStringLiteral("あり")) ? QStringLiteral("、署名後に変更あり")
                                                           : QString());
}

} // namespace app
