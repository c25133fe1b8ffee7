#pragma once

#include "stamp/NewStampId.h"
#include "stamp/Registry.h"

namespace host {
class Clock;
}

namespace stamp {

// How long a stamp waits on the registry in all, queue and clashes
// included: a server that answers slowly or not at all costs a stamp
// at most this, after which the stamp goes on from the local log.
inline constexpr int kRegistryWaitMs = 1000;

// The registry a stamp is recorded in, and what the stamp is.
struct RegistryUse {
    Registry *registry = nullptr;
    QString kind = QStringLiteral("押印");
    QString document;
};

// Called by the issuing routine under the log's lock, with the number it
// made: sends what waits in the queue, then reserves the number on the
// registry. When another desk holds it, the next number is made by the same
// rule and tried instead. When the registry does not answer in time, the
// record joins the queue and the number stands. Returns the number to issue.
QString ReserveOnRegistry(const QString &queuePath, const RegistryUse &use, QString number,
    const std::array<QString, 4> &rows, bas_QVanto::StampIdState &state, host::Clock &clock);

// The hash of the document stamp `number` went into, once it is written:
// folded into the stamp's record when that still waits in the queue, else
// sent, else queued. Takes the log's lock as issuing does.
void RecordDocumentHash(const QString &logPath, Registry &registry, const QString &number,
    const QString &sha256, host::Clock &clock);

// Sends the queue; returns how many records are still waiting, and why in
// *problem.
int SendRegistryQueue(
    const QString &logPath, Registry &registry, host::Clock &clock, int waitMs, QString *problem = nullptr);

} // namespace stamp
