// The registry module: the office's stamp registry on PostgreSQL, through
// Qt SQL and its PostgreSQL driver. Loaded only when a registry is
// configured, so a desk without one maps neither.
#include "Statements.h"
#include "Worker.h"

#include <QFile>
#include <QSqlError>

#include <optional>

namespace {

using namespace registry;
using stamp::Registry;
using stamp::RegistryEntry;
using stamp::RegistryRecord;

constexpr int kInitialiseWaitMs = 60 * 1000;

class PostgresRegistry final : public Registry {
public:
    explicit PostgresRegistry(const QString &conninfo)
        : m_connection(std::make_shared<Connection>(conninfo)), m_worker([connection = m_connection] {
              connection->close();
              QSqlDatabase::removeDatabase(connection->name());
          })
    {
    }

    Answer exchange(
        const std::vector<RegistryRecord> &queued, const RegistryRecord *candidate, int waitMs) override
    {
        // Shared with the job, which may finish after this call gave up.
        struct Work {
            std::vector<RegistryRecord> queued;
            std::optional<RegistryRecord> candidate;
            Answer answer;
        };
        auto work = std::make_shared<Work>();
        work->queued = queued;
        if (candidate)
            work->candidate = *candidate;
        const bool done = m_worker.run(
            [work, connection = m_connection] {
                work->answer.problem = attempt(*connection, [&](QSqlDatabase &db) {
                    for (; work->answer.queuedDone < int(work->queued.size()); ++work->answer.queuedDone)
                        sendQueued(db, work->queued[work->answer.queuedDone]);
                    if (work->candidate)
                        work->answer.outcome
                            = holdsOurs(db, *work->candidate) ? Outcome::Recorded : Outcome::Taken;
                });
            },
            waitMs);
        if (done)
            return work->answer;
        Answer late;
        late.problem = QStringLiteral("登録簿のサーバーが時間内に応答しません。");
        return late;
    }

    std::vector<RegistryEntry> lookUp(const QStringList &numbers, int waitMs, QString *error) override
    {
        struct Work {
            QStringList numbers;
            std::vector<RegistryEntry> entries;
            QString error;
        };
        auto work = std::make_shared<Work>();
        work->numbers = numbers;
        const bool done = m_worker.run(
            [work, connection = m_connection] {
                work->error = attempt(*connection, [&](QSqlDatabase &db) {
                    work->entries.clear();
                    for (const QString &number : work->numbers)
                        for (RegistryEntry &entry : entriesOf(db, number))
                            work->entries.push_back(std::move(entry));
                });
            },
            waitMs);
        *error = done ? work->error : QStringLiteral("登録簿のサーバーが応答しません。");
        return done ? work->entries : std::vector<RegistryEntry> {};
    }

    QString initialise() override
    {
        auto error = std::make_shared<QString>(QStringLiteral("登録簿のサーバーが応答しません。"));
        m_worker.run(
            [error, connection = m_connection] {
                QFile file(QStringLiteral(":/qvanto/registry.sql"));
                file.open(QIODevice::ReadOnly);
                const QString sql = QString::fromUtf8(file.readAll());
                *error = attempt(*connection, [&](QSqlDatabase &db) {
                    QSqlQuery query(db);
                    if (!query.exec(sql))
                        throw Failed {query.lastError().text()};
                });
            },
            kInitialiseWaitMs);
        return *error;
    }

private:
    // Runs the work on an open connection; one that failed is closed, and
    // the work tried once more on a new one when the old had been open (the
    // server may have restarted since). The reason when it still fails.
    template<typename Work>
    static QString attempt(Connection &connection, Work &&work)
    {
        for (int round = 0; round < 2; ++round) {
            const bool wasOpen = QSqlDatabase::database(connection.name(), false).isOpen();
            try {
                QSqlDatabase db = connection.open();
                work(db);
                return {};
            } catch (const Failed &failed) {
                connection.close();
                if (!wasOpen || round == 1)
                    return failed.reason.isEmpty() ? QStringLiteral("登録簿に記録できません。")
                                                   : failed.reason;
            }
        }
        return {};
    }

    std::shared_ptr<Connection> m_connection;
    registry::Worker m_worker;
};

} // namespace

extern "C" Q_DECL_EXPORT stamp::Registry *qvanto_make_registry(const QString &connection)
{
    return new PostgresRegistry(connection);
}
