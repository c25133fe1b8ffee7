#pragma once

#include "SignedStamp.h"
#include "StampOptions.h"
#include "pdf/PdfModule.h"

#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>

class frm_QVanto;

namespace host {
struct AppInfo;
class SafeWriter;
} // namespace host

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

// WriteStampedPdf in its two halves: what needs the window (the checks, the
// temporary file, the number, the face), on the GUI thread; then the copy
// made and written, on any thread, since a hostile PDF may keep the parser
// busy.
struct PreparedPdf {
    // Whether the copy may still be put in place: the writing thread takes
    // it (kCommitting) just before the rename; whoever waits may abandon it
    // first (kAbandoned), and then the copy is never put in place.
    enum State { kWorking, kCommitting, kAbandoned };
    PreparedPdf();
    ~PreparedPdf();
    PreparedPdf(PreparedPdf &&) noexcept; // only before a thread shares it
    PdfOutcome refusal; // a refusal: nothing taken, nothing left
    QString outPath;
    std::unique_ptr<host::SafeWriter> out;
    QString number;
    pdf::PrintedFace face;
    std::shared_ptr<PdfSigning> signing; // none: a plain stamp
    std::atomic<int> state {kWorking};
    // Tells the office's registry the written copy's hash; on the GUI thread,
    // once the copy is in place. A message when it could not.
    std::function<QString(const QString &sha256)> recordHash;
    QString sha256; // of the copy as written, in hex
    // Gives the copy up unless it is being put in place; whether it was.
    bool abandon();
};
// With `signing`, the first placement becomes the face of a signature, made
// where the copy is made (so a timestamp server's wait holds no window).
PreparedPdf PrepareStampedPdf(frm_QVanto &window, pdf::PdfDocument &document, const QString &inPath,
    const QString &outPath, const std::vector<pdf::StampPlacement> &placements,
    std::shared_ptr<PdfSigning> signing = {});
PdfOutcome FinishStampedPdf(
    PreparedPdf &prepared, pdf::PdfDocument &document, const std::vector<pdf::StampPlacement> &placements);
// The outcome, once the written copy's hash has gone to the registry.
PdfOutcome RecordWrittenPdf(const PreparedPdf &prepared, PdfOutcome outcome);

} // namespace app
