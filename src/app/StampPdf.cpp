#include "StampPdf.h"

#include "frm_QVanto.h"
#include "host/HostError.h"
#include "host/SafeWriter.h"
#include "pdf/LoadPdfModule.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

#include <optional>

namespace app {

namespace {

constexpr double kDefaultStampMm = 18;

PdfOutcome refused(const QString &message)
{
    return {kPdfRefused, {}, message};
}

QString outputProblem(const QString &inPath, const QString &outPath)
{
    const QFileInfo in(inPath);
    const QFileInfo out(outPath);
    // Canonical paths see through links and ".." to the same file. What
    // else lies at the name is for the writer to judge.
    if (out.exists() && out.canonicalFilePath() == in.canonicalFilePath())
        return QStringLiteral("出力先が入力と同じファイルです: %1").arg(QDir::toNativeSeparators(outPath));
    return {};
}

} // namespace

double PdfStampSizeMm(const StampOptions &options)
{
    return options.sizeMm() > 0 ? options.sizeMm() : kDefaultStampMm;
}

std::unique_ptr<pdf::PdfDocument> OpenPdfFile(const QString &path, QString *error)
{
    std::unique_ptr<pdf::PdfDocument> document = pdf::OpenPdf(path, error, kLargestStampedPdfBytes);
    if (document)
        if (const QString refusal = document->stampingRefusal(); !refusal.isEmpty()) {
            *error = QDir::toNativeSeparators(path) + QStringLiteral(": ") + refusal;
            return nullptr;
        }
    return document;
}

QString StampedPdfName(const QString &inPath, const QString &folder)
{
    return QDir(folder).filePath(QFileInfo(inPath).completeBaseName() + QStringLiteral("_押印.pdf"));
}

PreparedPdf::PreparedPdf() = default;
PreparedPdf::~PreparedPdf() = default;
PreparedPdf::PreparedPdf(PreparedPdf &&other) noexcept
    : refusal(std::move(other.refusal)), outPath(std::move(other.outPath)), out(std::move(other.out)),
      number(std::move(other.number)), face(std::move(other.face)), signing(std::move(other.signing)),
      state(other.state.load()), recordHash(std::move(other.recordHash)), sha256(std::move(other.sha256))
{
}

bool PreparedPdf::abandon()
{
    int working = kWorking;
    return state.compare_exchange_strong(working, kAbandoned) || working == kAbandoned;
}

PreparedPdf PrepareStampedPdf(frm_QVanto &window, pdf::PdfDocument &document, const QString &inPath,
    const QString &outPath, const std::vector<pdf::StampPlacement> &placements,
    std::shared_ptr<PdfSigning> signing)
{
    PreparedPdf prepared;
    prepared.outPath = outPath;
    const auto refuse = [&](const QString &message) {
        prepared.refusal = refused(message);
        return std::move(prepared);
    };
    if (placements.empty())
        return refuse(QStringLiteral("押印するページがありません。"));
    if (const QString misplaced = pdf::CheckPlacements(placements, document); !misplaced.isEmpty())
        return refuse(misplaced);
    if (const QString refusal = document.stampingRefusal(); !refusal.isEmpty())
        return refuse(refusal);
    if (const QString problem = outputProblem(inPath, outPath); !problem.isEmpty())
        return refuse(problem);
    try {
        prepared.out = std::make_unique<host::SafeWriter>(outPath);
    } catch (const host::HostError &e) {
        return refuse(e.message());
    }
    try {
        prepared.number = window.IssueStampNumber(QFileInfo(outPath).fileName());
    } catch (const host::HostError &e) {
        prepared.out.reset(); // no temporary file left
        return refuse(QStringLiteral("押印番号を取れませんでした。押印していません。\n%1").arg(e.message()));
    }
    // From here the number is spent: it is in the log whatever follows.
    prepared.face = window.PrintFaceAsPdf();
    prepared.signing = std::move(signing);
    prepared.recordHash = [&window, number = prepared.number](
                              const QString &sha256) { return window.RecordDocumentHash(number, sha256); };
    return prepared;
}

PdfOutcome FinishStampedPdf(
    PreparedPdf &prepared, pdf::PdfDocument &document, const std::vector<pdf::StampPlacement> &placements)
{
    if (prepared.refusal.status != kPdfStamped)
        return prepared.refusal;
    const QString &number = prepared.number;
    const auto failed = [&](const QString &why) {
        prepared.out.reset();
        return refused(
            QStringLiteral("%1\n押印番号 %2 は押印ログに記録されましたが、PDF は保存されていません。")
                .arg(why, number));
    };
    QString error = QStringLiteral("押印の図を描けませんでした。");
    const QByteArray bytes = prepared.face.pdf.isEmpty() ? QByteArray()
        : prepared.signing
        ? SignedCopy(document, placements, prepared.face, number, *prepared.signing, &error)
        : document.withStamps(placements, prepared.face, number, &error);
    if (bytes.isEmpty())
        return failed(
            QStringLiteral("書き込めません: %1\n%2").arg(QDir::toNativeSeparators(prepared.outPath), error));
    int working = PreparedPdf::kWorking;
    if (!prepared.state.compare_exchange_strong(working, PreparedPdf::kCommitting))
        return failed(QStringLiteral("時間がかかりすぎるため、押印をあきらめました: %1")
                          .arg(QDir::toNativeSeparators(prepared.outPath)));
    try {
        prepared.out->write(bytes);
        prepared.out->commit();
    } catch (const host::HostError &e) {
        return failed(e.message());
    }
    prepared.sha256
        = QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex());
    return {kPdfStamped, number, {}};
}

PdfOutcome RecordWrittenPdf(const PreparedPdf &prepared, PdfOutcome outcome)
{
    if (outcome.status == kPdfStamped && prepared.recordHash)
        outcome.message = prepared.recordHash(prepared.sha256);
    return outcome;
}

PdfOutcome WriteStampedPdf(frm_QVanto &window, pdf::PdfDocument &document, const QString &inPath,
    const QString &outPath, const std::vector<pdf::StampPlacement> &placements, PdfSigning *signing)
{
    // Not owned: the copy is made before this returns.
    PreparedPdf prepared = PrepareStampedPdf(window, document, inPath, outPath, placements,
        std::shared_ptr<PdfSigning>(std::shared_ptr<PdfSigning>(), signing));
    return RecordWrittenPdf(prepared, FinishStampedPdf(prepared, document, placements));
}

} // namespace app
