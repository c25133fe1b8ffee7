#pragma once

#include "SignedStamp.h"
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
// Refused, or failed on the way; the message says which and why.
inline constexpr int kPdfRefused = 2;

struct PdfOutcome {
    int status = kPdfStamped;
    QString number; // the stamp, once its copy is written
    QString message; // for the user, when something went wrong
};

// The stamp's diameter on paper: the stamp size option when set, else 18 mm.
double PdfStampSizeMm(const StampOptions &options);

// The largest PDF stamped: its stamped copy is made in memory.
inline constexpr qint64 kLargestStampedPdfBytes = 1024LL * 1024 * 1024;

// Opens the PDF to be stamped. The file is only read, never written. One
// whose permissions forbid annotations is refused here, with that reason.
std::unique_ptr<pdf::PdfDocument> OpenPdfFile(const QString &path, QString *error);

// "<name>_押印.pdf" in `folder` for the input at inPath: where a stamped
// copy goes.
QString StampedPdfName(const QString &inPath, const QString &folder);

// In this order: checks every placement, the document's permissions and the
// output's name and creates the
// output's temporary file (host::SafeWriter), so a refusal takes no number;
// issues one number, which logs it once (stamp::IssueStamp); draws the
// stamp at each placement, writes the temporary file and renames it over the output. A failure after
// the number was issued leaves that number in the log, never to be given
// again, and no output file; its message names the file and the reason.
// With `signing`, the first placement's seal is the face of a signature
// (SignedCopy).
PdfOutcome WriteStampedPdf(frm_QVanto &window, pdf::PdfDocument &document, const QString &inPath,
    const QString &outPath, const std::vector<pdf::StampPlacement> &placements,
    PdfSigning *signing = nullptr);

} // namespace app
