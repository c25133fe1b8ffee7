#include "VerifyCommand.h"

#include "SignatureVerdict.h"
#include "StampNumbers.h"
#include "host/AppInfo.h"
#include "pdf/LoadPdfModule.h"
#include "registry/OpenRegistry.h"
#include "sign/SignModule.h"
#include "stamp/LookUpRows.h"
#include "stamp/Registry.h"
#include "stamp/StampNow.h"

#include <QCommandLineParser>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTextStream>

namespace app {

namespace {

constexpr char kUsage[] = "使い方: qvanto verify ファイル.pdf [--trust 認証局.pem]…";

// The file's SHA-256 in hex, read in pieces; empty when it cannot be read.
QString fileSha256(const QString &path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

// Each registry entry of `number`, and whether this file is the copy
// registered with it.
void showRegistered(const QString &number, const std::vector<stamp::RegistryEntry> &entries,
    const QString &sha256, QTextStream &out)
{
    bool any = false;
    for (const stamp::RegistryEntry &entry : entries) {
        if (entry.number != number)
            continue;
        any = true;
        out << QStringLiteral("    ") << stamp::RegistryEntryLine(entry) << '\n';
        if (entry.documentSha256.isEmpty())
            continue;
        out << (entry.documentSha256 == sha256
                ? QStringLiteral("    登録された写しと同じファイルです")
                : QStringLiteral("    登録された写しから変わっています (後の押印や署名を含む)"))
            << '\n';
    }
    if (!any)
        out << QStringLiteral("    登録簿になし") << '\n';
}

int verify(const QString &path, const QStringList &trustFiles, const QString &logPath, QTextStream &out,
    QTextStream &err, stamp::Registry *registry)
{
    QString error;
    const std::unique_ptr<pdf::PdfDocument> document = pdf::OpenPdf(path, &error, kLargestVerifiedPdfBytes);
    const std::vector<pdf::FoundSignature> signatures
        = document ? document->signatures(&error) : std::vector<pdf::FoundSignature>();
    sign::SignModule *module = error.isEmpty() ? sign::LoadSignModule(&error) : nullptr;
    if (!module) {
        err << error << Qt::endl;
        return kVerifyRefused;
    }
    const std::vector<stamp::NumberOnPage> numbers = NumbersOnStamps(*document);
    const stamp::LookUpAnswer answer = stamp::LookUpNumbers(numbers, logPath);
    QStringList asked;
    for (const stamp::NumberOnPage &number : numbers)
        asked << number.number;
    QString registryError;
    const std::vector<stamp::RegistryEntry> registered = AskRegistry(registry, asked, &registryError);
    if (!registryError.isEmpty())
        err << registryError << Qt::endl;
    const QString sha256 = registry ? fileSha256(path) : QString();

    std::vector<bool> shown(signatures.size(), false);
    bool allGood = !signatures.empty();
    const auto showSignature = [&](size_t i) {
        const SignatureVerdict verdict = JudgeSignature(signatures[i], *module, trustFiles);
        out << verdict.lines() << '\n';
        allGood = allGood && verdict.good;
        shown[i] = true;
    };
    for (const stamp::LookUpRow &row : answer.rows) {
        out << stamp::LookUpRowSummary(row) << '\n';
        if (registry)
            showRegistered(row.number, registered, sha256, out);
        for (size_t i = 0; i < signatures.size(); ++i)
            if (!shown[i] && signatures[i].number == row.number && signatures[i].page == row.page)
                showSignature(i);
    }
    // Signatures that are no stamp of ours.
    for (size_t i = 0; i < signatures.size(); ++i)
        if (!shown[i]) {
            out << QStringLiteral("%1 ページ  署名 (押印番号なし)").arg(signatures[i].page) << '\n';
            showSignature(i);
        }
    if (signatures.empty())
        err << QStringLiteral("%1 に署名はありません。").arg(QDir::toNativeSeparators(path)) << Qt::endl;
    return allGood ? kVerifiedAll : kVerifiedNot;
}

} // namespace

int RunVerify(const QStringList &arguments, const QString &logPath, QTextStream &out, QTextStream &err,
    stamp::Registry *registry)
{
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(QStringLiteral("trust"), QString(), QStringLiteral("file")));
    if (!parser.parse(QStringList {QString::fromLatin1(kVerifyCommand)} + arguments)
        || parser.positionalArguments().size() != 1) {
        err << kUsage << Qt::endl;
        return kVerifyRefused;
    }
    return verify(
        parser.positionalArguments()[0], parser.values(QStringLiteral("trust")), logPath, out, err, registry);
}

int RunVerifyCommand(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    const host::AppInfo app = host::AppInfo::forRunningProgram();
    const std::unique_ptr<stamp::Registry> office = registry::OpenRegistry(app);
    return RunVerify(arguments, stamp::StampLogPath(app), out, err, office.get());
}

} // namespace app
