#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace stamp {

// One stamp as the office's registry keeps it, or (Type::Document) the hash
// of the document a stamp went into, known only once the file is written.
struct RegistryRecord {
    enum class Type { Stamp, Document };
    Type type = Type::Stamp;
    QString number;
    QDateTime stampedAt; // the desk's clock, to the second
    QString desk; // the desk's host name
    std::array<QString, 4> rows;
    QString kind; // 押印, or PDF
    QString document;
    QString documentSha256;
};

// What the registry answers about one number.
struct RegistryEntry {
    QString number;
    QString stampedBy;
    QString desk;
    QDateTime stampedAt;
    QDateTime serverTime;
    QString kind;
    QString document;
    QString documentSha256;
    // Issued by this desk while the registry was out of reach, after
    // another desk had taken the number: kept beside the first.
    bool clash = false;
};

// The office-wide stamp registry, reached through a module of its own so the
// stamp layer links no database client. Every call waits at most `waitMs`;
// work left unfinished then goes on in the background and is ignored.
class Registry {
public:
    enum class Outcome {
        Recorded, // the candidate is the registry's under this desk's name
        Taken, // another desk holds its number
        Unreachable, // no answer in time; nothing is known
    };
    struct Answer {
        // How many of the queued records, from the first, are now on the
        // registry (recorded, or kept as clashes).
        int queuedDone = 0;
        Outcome outcome = Outcome::Unreachable;
        // Why not everything was sent, for the user.
        QString problem;
    };

    virtual ~Registry() = default;
    // Sends `queued` in order, each once (a record already there as this
    // desk's counts as sent; one whose number another desk took is kept as a
    // clash), then reserves `candidate` when given.
    virtual Answer exchange(
        const std::vector<RegistryRecord> &queued, const RegistryRecord *candidate, int waitMs)
        = 0;
    // The registry's entries for these numbers; *error says why when it
    // could not be asked.
    virtual std::vector<RegistryEntry> lookUp(const QStringList &numbers, int waitMs, QString *error) = 0;
    // Creates or upgrades the schema; the reason on failure, else empty.
    virtual QString initialise() = 0;
};

// One entry as a line for the user: "登録簿: <number> 押印者 <role> 端末
// <desk> 押印 <time> (受付 <server time>) <kind> 文書 <file> SHA-256 <hash>".
QString RegistryEntryLine(const RegistryEntry &entry);

// What the module exports.
using MakeRegistry = Registry *(const QString &connection);
inline constexpr char kMakeRegistry[] = "qvanto_make_registry";

} // namespace stamp
