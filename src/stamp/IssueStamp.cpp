#include "stamp/IssueStamp.h"

#include "host/RegularFile.h"
#include "stamp/RegistryQueue.h"
#include "stamp/RegistryStamp.h"
#include "stamp/StampLog.h"

namespace stamp {

QString IssueStamp(const QString &logPath, const std::array<QString, 4> &rows,
    bas_QVanto::StampIdState &state, host::Clock &clock, const RegistryUse *registry)
{
    // The lock is on the log itself, which every stamping process opens
    // anyway, and ends when the file is closed, also when this throws.
    host::RegularFile log(logPath, host::RegularFile::Mode::ReadAppend);
    log.lockExclusive(clock, kStampLogLockWaitMs);
    // A number whose record could not be written was given to no one: the
    // state goes back, so the stamp made without the log takes that number.
    const bas_QVanto::StampIdState before = state;
    try {
        bas_QVanto::ContinueAfter(state, LastLoggedStampId(log));
        QString number = bas_QVanto::NewStampId(state, clock);
        if (registry && registry->registry)
            number = ReserveOnRegistry(RegistryQueuePath(logPath), *registry, number, rows, state, clock);
        log.appendWhole(StampLogRecord(number, rows, clock));
        return number;
    } catch (...) {
        state = before;
        throw;
    }
}

QString UnloggedStampNumber(const QString &logPath, bas_QVanto::StampIdState &state, host::Clock &clock)
{
    bas_QVanto::ContinueAfter(state, LastLoggedStampId(logPath));
    return bas_QVanto::NewStampId(state, clock);
}

} // namespace stamp
