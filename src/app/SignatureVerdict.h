#pragma once

#include "pdf/PdfModule.h"
#include "sign/SignModule.h"

#include <QStringList>

namespace app {

// One signature of a PDF judged: whether its bytes match, whether its
// certificate leads to a trusted one, whether the document changed after it
// beyond added stamps and signatures, and its timestamp.
struct SignatureVerdict {
    QString signer;
    QString validity; // 無効 (…) / 有効、信頼できる証明書 / 有効、ただし …
    QString changedAfter; // なし (…) / あり (…)
    QString timestamp; // the time, or なし
    bool intact = false; // the signature matches what it signed
    bool trusted = false; // its certificate leads to a trusted one
    bool good = false; // valid, trusted and unchanged since

    // The lines `qvanto verify` shows under the stamp.
    QString lines() const;
    // A few words for a table cell: the signer and the verdict.
    QString brief() const;
};

// `trustFiles` add to the system's trusted certificates.
SignatureVerdict JudgeSignature(
    const pdf::FoundSignature &found, sign::SignModule &module, const QStringList &trustFiles);

} // namespace app
