#pragma once

#include "stamp/NewStampId.h"

#include <QString>
#include <array>

namespace host {
class Clock;
}

namespace stamp {

struct RegistryUse;

// How long a stamp waits for another process to finish its own issue
// before giving up, so a log held locked never freezes the program.
inline constexpr int kStampLogLockWaitMs = 2000;

// The one way a stamp gets its number, whatever stamps it (the stamp button,
// a PDF from the window or the command line): under an exclusive lock on the
// stamp log, shared by every process that stamps into it, reads the log's
// last number, makes the next one (after that number and after the clock)
// and appends the whole record carrying `rows`, then lets the lock go. So no
// two processes can give the same number, and every number given is logged.
// Throws host::HostError when the log cannot be opened, locked within
// kStampLogLockWaitMs, read or written, or the clock gives no new number:
// then no number is given and the log is as it was.
// With an office registry (`registry`), the number is reserved there before
// it is logged, or queued for it when it does not answer (ReserveOnRegistry).
QString IssueStamp(const QString &logPath, const std::array<QString, 4> &rows,
    bas_QVanto::StampIdState &state, host::Clock &clock, const RegistryUse *registry = nullptr);

// The number a stamp gets when its log cannot take the record (no folder to
// write, locked elsewhere): after the log's last number as far as it can be
// read and after every number this run gave. It is not logged, so only the
// stamp button, which must not lose the user's stamp, takes one.
QString UnloggedStampNumber(const QString &logPath, bas_QVanto::StampIdState &state, host::Clock &clock);

} // namespace stamp
