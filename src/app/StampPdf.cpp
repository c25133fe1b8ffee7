#include "StampPdf.h"

#include "frm_QVanto.h"
#include "host/HostError.h"
#include "host/SafeWriter.h"
#include "pdf/LoadPdfModule.h"

#include <QCoreApplication>
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
    return options.stampMm > 0 ? options.stampMm : kDefaultStampMm;
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

PdfOutcome WriteStampedPdf(frm_QVanto &window, pdf::PdfDocument &document, const QString &inPath,
    const QString &outPath, const std::vector<pdf::StampPlacement> &placements, PdfSigning *signing)
{
    if (placements.empty())
        return refused(QStringLiteral("押印するページがありません。"));
    if (const QString misplaced = pdf::CheckPlacements(placements, document); !misplaced.isEmpty())
        return refused(misplaced);
    if (const QString refusal = document.stampingRefusal(); !refusal.isEmpty())
        return refused(refusal);
    if (const QString problem = outputProblem(inPath, outPath); !problem.isEmpty())
        return refused(problem);
    std::optional<host::SafeWriter> out;
    try {
        out.emplace(outPath);
    } catch (const host::HostError &e) {
        return refused(e.message());
    }
    QString number;
    try {
        number = window.IssueStampNumber();
    } catch (const host::HostError &e) {
        return refused(QStringLiteral("押印番号を取れませんでした。押印していません。\n%1").arg(e.message()));
    }

    // From here the number is spent: it is in the log whatever follows.
    const auto failed = [&](const QString &why) {
        return refused(
            QStringLiteral("%1\n押印番号 %2 は押印ログに記録されましたが、PDF は保存されていません。")
                .arg(why, number));
    };
    const pdf::PrintedFace face = window.PrintFaceAsPdf();
    QString error = QStringLiteral("押印の図を描けませんでした。");
    const QByteArray bytes = face.pdf.isEmpty() ? QByteArray()
        : signing ? SignedCopy(document, placements, face, number, *signing, &error)
                  : document.withStamps(placements, face, number, &error);
    if (bytes.isEmpty())
        return failed(QStringLiteral("書き込めません: %1\n%2").arg(QDir::toNativeSeparators(outPath), error));
    try {
        out->write(bytes);
        out->commit();
    } catch (const host::HostError &e) {
        return failed(e.message());
    }
    return {kPdfStamped, number, {}};
}

} // namespace app
