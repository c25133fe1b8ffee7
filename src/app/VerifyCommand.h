#pragma once

#include <QStringList>

class QTextStream;

namespace stamp {
class Registry;
}

namespace app {

// The first argument that runs the command instead of the window.
inline constexpr char kVerifyCommand[] = "verify";

// Exit statuses of the verify command.
inline constexpr int kVerifiedAll = 0; // every signature valid, trusted, unchanged since
inline constexpr int kVerifiedNot = 1; // one is not, or there is none
inline constexpr int kVerifyRefused = 2; // the file cannot be read, or the arguments are wrong

// The largest PDF checked: its signatures are read from it in memory.
inline constexpr qint64 kLargestVerifiedPdfBytes = 512LL * 1024 * 1024;

// qvanto verify FILE.pdf [--trust CA.pem]…
// For each stamp and signature of the file: page, number, the time the
// number encodes, whether the log at `logPath` holds it, the signer,
// whether the signature is valid and trusted (the system's certificates and
// the --trust files), whether the document was changed after it beyond
// added annotations and signatures, and the timestamp's time. With the
// office's registry, each stamp's entry there and whether the file is the
// copy its stamper registered (a later stamp or signature changes it too).
int RunVerify(const QStringList &arguments, const QString &logPath, QTextStream &out, QTextStream &err,
    stamp::Registry *registry = nullptr);

int RunVerifyCommand(const QStringList &arguments);

} // namespace app
