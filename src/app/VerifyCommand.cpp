#include "VerifyCommand.h"

#include "host/AppInfo.h"
#include "pdf/LoadPdfModule.h"
#include "sign/SignModule.h"
#include "stamp/LookUpRows.h"
#include "stamp/StampNow.h"

#include <QCommandLineParser>
#include <QDir>
#include <QTextStream>

namespace app {

namespace {

constexpr char kUsage[] = "使い方: qvanto verify ファイル.pdf [--trust 認証局.pem]…";

struct Verdict {
    QString text;
    bool good = false;
};

// One signature judged: the lines shown under its stamp, and whether it
// counts as valid, trusted and unchanged since.
Verdict judge(const pdf::FoundSignature &found, sign::SignModule &module, const QStringList &trustFiles)
{
    const sign::SignatureCheck check = found.rangeSound
        ? module.check(found.contents, found.signedBytes, trustFiles)
        : sign::SignatureCheck {false, false, {}, {}, false, QStringLiteral("署名の範囲が正しくありません")};
    QStringList lines;
    lines << QStringLiteral("    署名者: %1").arg(check.signer.isEmpty() ? found.name : check.signer);
    lines << QStringLiteral("    署名: %1")
                 .arg(!check.intact      ? QStringLiteral("無効 (%1)").arg(check.problem)
                         : check.trusted ? QStringLiteral("有効、信頼できる証明書")
                                         : QStringLiteral("有効、ただし %1").arg(check.problem));
    lines << QStringLiteral("    署名後の変更: %1")
                 .arg(found.changedAfter.isEmpty() ? QStringLiteral("なし (注釈と署名の追加のほか)")
                                                   : QStringLiteral("あり (%1)").arg(found.changedAfter));
    if (check.timestamp.isValid())
        lines << QStringLiteral("    時刻印: %1%2")
                     .arg(check.timestamp.toLocalTime().toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")),
                         check.timestampTrusted ? QString() : QStringLiteral(" (検証できません)"));
    else
        lines << QStringLiteral("    時刻印: なし");
    return {lines.join(u'\n'), check.intact && check.trusted && found.changedAfter.isEmpty()};
}

int verify(const QString &path, const QStringList &trustFiles, const QString &logPath, QTextStream &out,
    QTextStream &err)
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
    std::vector<stamp::NumberOnPage> numbers;
    for (const pdf::FoundStamp &stamp : document->stamps())
        numbers.push_back({stamp.page, stamp.number});
    const stamp::LookUpAnswer answer = stamp::LookUpNumbers(numbers, logPath);

    std::vector<bool> shown(signatures.size(), false);
    bool allGood = !signatures.empty();
    const auto showSignature = [&](size_t i) {
        const Verdict verdict = judge(signatures[i], *module, trustFiles);
        out << verdict.text << '\n';
        allGood = allGood && verdict.good;
        shown[i] = true;
    };
    for (const stamp::LookUpRow &row : answer.rows) {
        out << stamp::LookUpRowSummary(row) << '\n';
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

int RunVerify(const QStringList &arguments, const QString &logPath, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.addOption(QCommandLineOption(QStringLiteral("trust"), QString(), QStringLiteral("file")));
    if (!parser.parse(QStringList {QString::fromLatin1(kVerifyCommand)} + arguments)
        || parser.positionalArguments().size() != 1) {
        err << kUsage << Qt::endl;
        return kVerifyRefused;
    }
    return verify(parser.positionalArguments()[0], parser.values(QStringLiteral("trust")), logPath, out, err);
}

int RunVerifyCommand(const QStringList &arguments)
{
    QTextStream out(stdout);
    QTextStream err(stderr);
    return RunVerify(arguments, stamp::StampLogPath(host::AppInfo::forRunningProgram()), out, err);
}

} // namespace app
