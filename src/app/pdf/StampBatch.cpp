#include "app/pdf/StampBatch.h"

#include <QStringList>

#include "app/StampPdf.h"
#include "app/pdf/InBackground.h"
#include "app/pdf/OpenInBackground.h"
#include "host/HostError.h"
#include "host/SafeWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSet>

namespace app {

std::vector<PdfJob> PdfJobsFor(
    const QStringList &inPaths, std::shared_ptr<pdf::PdfDocument> first, const QString &out)
{
    std::vector<PdfJob> jobs;
    if (inPaths.size() == 1)
        return {{inPaths.front(), out, std::move(first), {}}};
    QSet<QString> names;
    for (const QString &in : inPaths) {
        PdfJob job {in, StampedPdfName(in, out), jobs.empty() ? first : nullptr, {}};
        if (names.contains(job.outPath))
            job.refusal = QStringLiteral("同じ名前の PDF の押印済みの写しを、この保存で既に書いています: %1")
                              .arg(QDir::toNativeSeparators(job.outPath));
        names.insert(job.outPath);
        jobs.push_back(std::move(job));
    }
    return jobs;
}

StampBatch::StampBatch(std::vector<PdfJob> jobs, PlacementsFor placementsFor, Prepare prepare,
    QWidget *parent, std::chrono::milliseconds timeLimit)
    : m_jobs(std::move(jobs)), m_placementsFor(std::move(placementsFor)), m_prepare(std::move(prepare)),
      m_progress(new QProgressDialog(
          QStringLiteral("押印しています…"), QStringLiteral("中止"), 0, int(m_jobs.size()), parent)),
      m_timeLimit(timeLimit)
{
    m_progress->setWindowTitle(QStringLiteral("PDF に押印"));
    m_progress->setWindowModality(Qt::WindowModal);
    m_progress->setAutoClose(false);
    m_progress->setAutoReset(false);
    m_progress->setMinimumDuration(m_jobs.size() > 1 ? 0 : 500);
    connect(m_progress, &QProgressDialog::canceled, this, &StampBatch::cancel);
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, &StampBatch::giveUp);
}

StampBatch::~StampBatch()
{
    delete m_progress.data();
}

void StampBatch::start()
{
    m_progress->setValue(0);
    next();
}

void StampBatch::cancel()
{
    m_cancelled = true;
    if (m_progress && !m_done)
        m_progress->setLabelText(QStringLiteral("中止しています (書いている PDF を書き終えてから)…"));
}

void StampBatch::next()
{
    if (m_cancelled || m_next == m_jobs.size()) {
        m_done = true;
        if (m_progress)
            m_progress->hide();
        emit finished();
        return;
    }
    const PdfJob &job = m_jobs[m_next];
    if (m_progress) {
        m_progress->setValue(int(m_next));
        m_progress->setLabelText(QStringLiteral("押印しています (%1 / %2): %3")
                                     .arg(m_next + 1)
                                     .arg(m_jobs.size())
                                     .arg(QFileInfo(job.inPath).fileName()));
    }
    if (!job.refusal.isEmpty())
        return record({}, job.refusal);
    if (job.document)
        return stamp(job.document);
    RunInBackground<OpenedPdf>(
        this, [path = job.inPath] { return OpenPdfToStamp(path); },
        [this](OpenedPdf opened) {
            if (!opened.document)
                return record({}, opened.error);
            stamp(std::move(opened.document));
        });
}

void StampBatch::stamp(std::shared_ptr<pdf::PdfDocument> document)
{
    const PdfJob &job = m_jobs[m_next];
    const std::vector<pdf::StampPlacement> placements = m_placementsFor(*document);
    // Shared with the thread, which may outlive the batch: an unfinished
    // temporary file is removed when the last owner lets go.
    std::shared_ptr<PreparedPdf> prepared;
    try {
        prepared = std::make_shared<PreparedPdf>(m_prepare(*document, job.inPath, job.outPath, placements));
    } catch (const host::HostError &e) {
        return record({}, e.message());
    }
    if (prepared->refusal.status != kPdfStamped)
        return record({}, prepared->refusal.message);
    m_current = prepared;
    const int generation = ++m_generation;
    m_deadline.start(m_timeLimit);
    RunInBackground<PdfOutcome>(
        this, [prepared, document, placements] { return FinishStampedPdf(*prepared, *document, placements); },
        [this, generation, prepared](PdfOutcome outcome) {
            if (generation != m_generation)
                return; // given up already
            m_deadline.stop();
            m_current.reset();
            outcome = RecordWrittenPdf(*prepared, std::move(outcome));
            record(outcome.number, outcome.message);
        });
}

void StampBatch::giveUp()
{
    // Too late when the copy is being put in place: its result comes soon.
    if (!m_current || !m_current->abandon())
        return;
    const QString number = m_current->number;
    m_current.reset();
    ++m_generation;
    record({},
        QStringLiteral("時間がかかりすぎるため (%1 秒)、押印をあきらめました。\n"
                       "押印番号 %2 は押印ログに記録されましたが、PDF は保存されていません。")
            .arg(m_timeLimit.count() / 1000.0)
            .arg(number));
}

void StampBatch::record(const QString &number, const QString &message)
{
    const PdfJob &job = m_jobs[m_next++];
    m_results.push_back({job.inPath, job.outPath, number, message});
    // Queued, so that a long run of refusals does not nest one call per file.
    QMetaObject::invokeMethod(this, &StampBatch::next, Qt::QueuedConnection);
}

} // namespace app
