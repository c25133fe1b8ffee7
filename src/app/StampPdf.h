#pragma once

#include "StampOptions.h"
#include "pdf/PdfModule.h"

#include <QStringList>

class frm_QVanto;

namespace host {
struct AppInfo;
}

namespace app {

// Exit statuses of the stamp-pdf command.
inline constexpr int kPdfStamped = 0;
inline constexpr int kPdfFailed = 1; // something broke after the checks
inline constexpr int kPdfRefused = 2; // the input was refused; nothing changed

struct PdfOutcome {
    int status = kPdfStamped;
    QString number; // the stamp taken, when one was
    QString message; // for the user, when something went wrong
};

// The stamp's diameter on paper: the stamp size option when set, else 18 mm.
double PdfStampSizeMm(const StampOptions &options);

// The largest PDF stamped: its stamped copy is made in memory.
inline constexpr qint64 kLargestStampedPdfBytes = 1024LL * 1024 * 1024;

// Opens the PDF to be stamped. The file is only read, never written.
std::unique_ptr<pdf::PdfDocument> OpenPdfFile(const QString &path, QString *error);

// Checks the placement and the output, then takes a number, writes the
// stamped copy and logs the stamp, in that order: a refusal takes no number
// and leaves no file, and a number is logged only once its file exists.
PdfOutcome WriteStampedPdf(frm_QVanto &window, pdf::PdfDocument &document, const QString &inPath,
    const QString &outPath, const pdf::StampPlacement &placement);

} // namespace app
