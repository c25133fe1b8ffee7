#include "stamp/RegistryStamp.h"

#include "host/Clock.h"
#include "host/RegularFile.h"
#include "stamp/IssueStamp.h"
#include "stamp/RegistryQueue.h"

#include <QElapsedTimer>
#include <QSysInfo>

namespace stamp {

namespace {

// Clashes in a row before the stamp is left to the queue: only a desk whose
// clock runs far behind the others' meets so many.
constexpr int kMostClashes = 20;

// The records the registry took are gone from the queue; the file is
// rewritten only when something changed.
void dropSent(const QString &queuePath, std::vector<RegistryRecord> &queued, int done)
{
    if (done <= 0)
        return;
    queued.erase(queued.begin(), queued.begin() + qMin<qsizetype>(done, qsizetype(queued.size())));
    KeepQueue(queuePath, queued);
}

} // namespace

QString ReserveOnRegistry(const QString &queuePath, const RegistryUse &use, QString number,
    const std::array<QString, 4> &rows, bas_QVanto::StampIdState &state, host::Clock &clock)
{
    QElapsedTimer waited;
    waited.start();
    std::vector<RegistryRecord> queued = ReadQueue(queuePath);
    RegistryRecord record;
    record.number = number;
    // The log's records keep whole seconds; so does the registry.
    const QDateTime now = clock.now();
    record.stampedAt = now.addMSecs(-now.time().msec());
    record.desk = QSysInfo::machineHostName();
    record.rows = rows;
    record.kind = use.kind;
    record.document = use.document;
    for (int clashes = 0;; ++clashes) {
        const int left = kRegistryWaitMs - int(waited.elapsed());
        const Registry::Answer answer
            = left > 0 ? use.registry->exchange(queued, &record, left) : Registry::Answer {};
        dropSent(queuePath, queued, answer.queuedDone);
        if (answer.outcome == Registry::Outcome::Recorded)
            return record.number;
        if (answer.outcome == Registry::Outcome::Taken && clashes < kMostClashes) {
            record.number = bas_QVanto::NewStampId(state, clock);
            continue;
        }
        // The stamp goes on at once; the registry hears of it later, and
        // keeps it as a clash should its number be taken by then.
        AppendToQueue(queuePath, record);
        return record.number;
    }
}

void RecordDocumentHash(const QString &logPath, Registry &registry, const QString &number,
    const QString &sha256, host::Clock &clock)
{
    host::RegularFile log(logPath, host::RegularFile::Mode::ReadAppend);
    log.lockExclusive(clock, kStampLogLockWaitMs);
    const QString queuePath = RegistryQueuePath(logPath);
    std::vector<RegistryRecord> queued = ReadQueue(queuePath);
    for (RegistryRecord &record : queued)
        if (record.type == RegistryRecord::Type::Stamp && record.number == number) {
            record.documentSha256 = sha256;
            KeepQueue(queuePath, queued);
            return;
        }
    RegistryRecord hash;
    hash.type = RegistryRecord::Type::Document;
    hash.number = number;
    hash.desk = QSysInfo::machineHostName();
    hash.documentSha256 = sha256;
    queued.push_back(hash);
    const Registry::Answer answer = registry.exchange(queued, nullptr, kRegistryWaitMs);
    if (answer.queuedDone >= int(queued.size()))
        queued.clear();
    else
        queued.erase(queued.begin(), queued.begin() + answer.queuedDone);
    KeepQueue(queuePath, queued);
}

int SendRegistryQueue(
    const QString &logPath, Registry &registry, host::Clock &clock, int waitMs, QString *problem)
{
    host::RegularFile log(logPath, host::RegularFile::Mode::ReadAppend);
    log.lockExclusive(clock, kStampLogLockWaitMs);
    const QString queuePath = RegistryQueuePath(logPath);
    std::vector<RegistryRecord> queued = ReadQueue(queuePath);
    if (queued.empty())
        return 0;
    const Registry::Answer answer = registry.exchange(queued, nullptr, waitMs);
    dropSent(queuePath, queued, answer.queuedDone);
    if (problem)
        *problem = answer.problem;
    return int(queued.size());
}

} // namespace stamp
