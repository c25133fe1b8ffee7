#pragma once

#include "pdf/PdfModule.h"

#include <QObject>
#include <QPointer>
#include <QProgressDialog>
#include <QString>
#include <QTimer>

#include <chrono>

#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace app {

struct PreparedPdf;

// One PDF of a save: where it comes from and goes to, its document when
// already open (else it is opened when its turn comes), or why it is
// refused before any work.
struct PdfJob {
    QString inPath;
    QString outPath;
    std::shared_ptr<pdf::PdfDocument> document;
    QString refusal;
};

// The files of one save, the first already open: for one PDF, `out` is its
// copy; for several, `out` is a folder that gets each "<name>_押印.pdf",
// and an input whose copy would take the name of an earlier one's is
// refused rather than written over it.
std::vector<PdfJob> PdfJobsFor(
    const QStringList &inPaths, std::shared_ptr<pdf::PdfDocument> first, const QString &out);

// What became of one PDF: its number once written, else why not.
struct PdfJobResult {
    QString inPath;
    QString outPath;
    QString number;
    QString message;
};

// Stamps PDFs one after another, each with a number of its own: a file is
// opened and its copy made and written on a thread of its own, while the
// steps that need the window (the checks, the temporary file, the number)
// run on the GUI thread between them. A progress dialog over `parent` can
// stop the batch between files: the file being written is finished whole,
// the ones after it are not touched. A refused file is named in its result
// and the others are still stamped. A copy not made within the time limit
// (a hostile PDF can keep the parser busy) is given up: its number stays
// spent, it is never put in place, and the next file is begun while the
// thread that made it ends by itself.
class StampBatch : public QObject {
    Q_OBJECT
public:
    static constexpr std::chrono::milliseconds kDefaultTimeLimit {120000};

    using PlacementsFor = std::function<std::vector<pdf::StampPlacement>(const pdf::PdfDocument &)>;
    using Prepare = std::function<PreparedPdf(pdf::PdfDocument &, const QString &inPath,
        const QString &outPath, const std::vector<pdf::StampPlacement> &)>;

    StampBatch(std::vector<PdfJob> jobs, PlacementsFor placementsFor, Prepare prepare, QWidget *parent,
        std::chrono::milliseconds timeLimit = kDefaultTimeLimit);
    ~StampBatch() override;

    void start();
    // Stops before the next file.
    void cancel();
    bool isDone() const { return m_done; }
    bool wasCancelled() const { return m_cancelled; }
    // One per file, in order; files not reached after a cancel have none.
    const std::vector<PdfJobResult> &results() const { return m_results; }
    QProgressDialog *progress() const { return m_progress; }

signals:
    // Every file stamped, refused, or left after a cancel.
    void finished();

private:
    void next();
    void stamp(std::shared_ptr<pdf::PdfDocument> document);
    void record(const QString &number, const QString &message);
    void giveUp();

    std::vector<PdfJob> m_jobs;
    PlacementsFor m_placementsFor;
    Prepare m_prepare;
    QPointer<QProgressDialog> m_progress;
    std::vector<PdfJobResult> m_results;
    std::chrono::milliseconds m_timeLimit;
    QTimer m_deadline;
    // The copy being made, and which one: a result that comes after it was
    // given up is dropped.
    std::shared_ptr<PreparedPdf> m_current;
    int m_generation = 0;
    size_t m_next = 0;
    bool m_cancelled = false;
    bool m_done = false;
};

} // namespace app
