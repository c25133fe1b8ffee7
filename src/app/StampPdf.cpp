#include "StampPdf.h"

#include "frm_QVanto.h"
#include "pdf/LoadPdfModule.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

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
    // Canonical paths see through links and ".." to the same file.
    if (out.exists() && out.canonicalFilePath() == in.canonicalFilePath())
        return QStringLiteral("出力先が入力と同じファイルです: %1").arg(QDir::toNativeSeparators(outPath));
    if (out.exists() && !out.isFile())
        return QStringLiteral("出力先はファイルではありません: %1").arg(QDir::toNativeSeparators(outPath));
    return {};
}

} // namespace

double PdfStampSizeMm(const StampOptions &options)
{
    return options.stampMm > 0 ? options.stampMm : kDefaultStampMm;
}

std::unique_ptr<pdf::PdfDocument> OpenPdfFile(const QString &path, QString *error)
{
    return pdf::OpenPdf(path, error, kLargestStampedPdfBytes);
}

PdfOutcome WriteStampedPdf(frm_QVanto &window, pdf::PdfDocument &document, const QString &inPath,
    const QString &outPath, const pdf::StampPlacement &placement)
{
    const int pages = document.pageCount();
    const bool pageExists = placement.page >= 1 && placement.page <= pages;
    const QString misplaced
        = pdf::CheckPlacement(placement, pages, pageExists ? document.pageSizeMm(placement.page) : QSizeF());
    if (!misplaced.isEmpty())
        return refused(misplaced);
    if (const QString problem = outputProblem(inPath, outPath); !problem.isEmpty())
        return refused(problem);
    // Opened before the number is taken: an output that cannot be written
    // is refused with nothing spent. Until commit() the file is a hidden
    // copy, so a failure leaves no output file behind.
    QSaveFile out(outPath);
    if (!out.open(QIODevice::WriteOnly))
        return refused(QStringLiteral("書き込めません: %1\n%2")
                           .arg(QDir::toNativeSeparators(outPath), out.errorString()));

    const QString number = window.TakeStampNumber();
    double circleFraction = 1;
    const QImage face = window.PrintFace(placement.sizeMm, &circleFraction);
    QString error;
    const QByteArray bytes = document.withStamp(placement, face, circleFraction, number, &error);
    if (bytes.isEmpty())
        return {kPdfFailed, {}, error};
    if (out.write(bytes) != bytes.size() || !out.commit())
        return {kPdfFailed, {},
            QStringLiteral("書き込めませんでした: %1\n%2")
                .arg(QDir::toNativeSeparators(outPath), out.errorString())};
    try {
        window.LogStamp();
    } catch (const std::exception &e) {
        return {kPdfFailed, number,
            QStringLiteral("押印ログに書けませんでした。PDF は保存されています。\n%1")
                .arg(QString::fromUtf8(e.what()))};
    }
    return {kPdfStamped, number, {}};
}

} // namespace app
