// The registry module: the office's stamp registry on PostgreSQL, through
// Qt SQL and its PostgreSQL driver. Loaded only when a registry is
// configured, so a desk without one maps neither.
#include "Worker.h"

#include "stamp/Registry.h"

#include <QFile>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>

#include <optional>

namespace {

using stamp::Registry;
using stamp::RegistryEntry;
using stamp::RegistryRecord;

// libpq's own limit for connecting, which it counts in whole seconds of at
// least two: the stamp's own shorter wait lies on top of it. A URI
// (postgresql://…) cannot follow these: the connection string is key=value.
constexpr char kConnectOptions[] = "connect_timeout=2 application_name=qvanto";
constexpr int kInitialiseWaitMs = 60 * 1000;

// The desk's time as it was, with its offset, so the server reads the same
// instant whatever its own time zone.
QString instant(const QDateTime &at)
{
    return at.toOffsetFromUtc(at.offsetFromUtc()).toString(Qt::ISODate);
}

// A statement failed: the connection may have gone with the server, so the
// next job connects afresh.
struct Failed {
    QString reason;
};

class Connection {
public:
    explicit Connection(QString conninfo)
        : m_name(QStringLiteral("qvanto-registry-") + QUuid::createUuid().toString(QUuid::WithoutBraces)),
          m_conninfo(std::move(conninfo))
    {
    }

    QString name() const { return m_name; }

    QSqlDatabase open()
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (!db.isValid()) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), m_name);
            // The driver hands its options to libpq as they stand, after
            // ours, so the user's settings win; it reads ';' as a space.
            db.setConnectOptions(QString::fromLatin1(kConnectOptions) + u' ' + m_conninfo);
        }
        if (!db.isOpen() && !db.open())
            throw Failed {db.lastError().text()};
        return db;
    }

    void close()
    {
        QSqlDatabase db = QSqlDatabase::database(m_name, false);
        if (db.isValid())
            db.close();
    }

private:
    QString m_name;
    QString m_conninfo;
};

QSqlQuery run(QSqlDatabase &db, const QString &sql, const QVariantMap &values)
{
    QSqlQuery query(db);
    if (!query.prepare(sql))
        throw Failed {query.lastError().text()};
    for (auto it = values.begin(); it != values.end(); ++it)
        query.bindValue(it.key(), it.value());
    if (!query.exec())
        throw Failed {query.lastError().text()};
    return query;
}

QVariant text(const QString &value)
{
    return value.isEmpty() ? QVariant(QMetaType::fromType<QString>()) : QVariant(value);
}

QVariantMap valuesOf(const RegistryRecord &r)
{
    return {{QStringLiteral(":number"), r.number}, {QStringLiteral(":at"), instant(r.stampedAt)},
        {QStringLiteral(":desk"), r.desk}, {QStringLiteral(":row0"), r.rows[0]},
        {QStringLiteral(":row1"), r.rows[1]}, {QStringLiteral(":row2"), r.rows[2]},
        {QStringLiteral(":row3"), r.rows[3]}, {QStringLiteral(":kind"), r.kind},
        {QStringLiteral(":document"), text(r.document)}, {QStringLiteral(":sha"), text(r.documentSha256)}};
}

QString insertInto(const char *table)
{
    return QStringLiteral("INSERT INTO %1 (number, stamped_at, desk, row0, row1, row2, row3, kind, document, "
                          "document_sha256) VALUES (:number, CAST(:at AS timestamptz), :desk, :row0, :row1, "
                          ":row2, :row3, :kind, :document, :sha) ON CONFLICT DO NOTHING")
        .arg(QLatin1String(table));
}

// Inserted now, or there already as this desk's from an earlier send whose
// answer was lost: either way the registry holds it for us.
bool holdsOurs(QSqlDatabase &db, const RegistryRecord &r)
{
    if (run(db, insertInto("stamps"), valuesOf(r)).numRowsAffected() == 1)
        return true;
    QSqlQuery same = run(db,
        QStringLiteral("SELECT stamped_by = current_user AND desk IS NOT DISTINCT FROM :desk "
                       "AND stamped_at = CAST(:at AS timestamptz) FROM stamps WHERE number = :number"),
        {{QStringLiteral(":desk"), r.desk}, {QStringLiteral(":at"), instant(r.stampedAt)},
            {QStringLiteral(":number"), r.number}});
    return same.next() && same.value(0).toBool();
}

// The hash of a document written after its stamp was recorded; only a row of
// this desk's still without one takes it.
void fillHash(QSqlDatabase &db, const RegistryRecord &r)
{
    if (r.documentSha256.isEmpty())
        return;
    for (const char *table : {"stamps", "stamp_clashes"})
        run(db,
            QStringLiteral("UPDATE %1 SET document_sha256 = :sha WHERE number = :number AND stamped_by = "
                           "current_user AND desk IS NOT DISTINCT FROM :desk AND document_sha256 IS NULL")
                .arg(QLatin1String(table)),
            {{QStringLiteral(":sha"), r.documentSha256}, {QStringLiteral(":number"), r.number},
                {QStringLiteral(":desk"), r.desk}});
}

// A queued stamp whose number another desk took meanwhile was given out all
// the same: it is kept beside the other, never dropped.
void sendQueued(QSqlDatabase &db, const RegistryRecord &r)
{
    if (r.type == RegistryRecord::Type::Stamp && !holdsOurs(db, r))
        run(db, insertInto("stamp_clashes"), valuesOf(r));
    fillHash(db, r);
}

RegistryEntry entryFrom(const QSqlQuery &q)
{
    RegistryEntry e;
    e.number = q.value(0).toString();
    e.stampedBy = q.value(1).toString();
    e.desk = q.value(2).toString();
    e.stampedAt = q.value(3).toDateTime();
    e.serverTime = q.value(4).toDateTime();
    e.kind = q.value(5).toString();
    e.document = q.value(6).toString();
    e.documentSha256 = q.value(7).toString();
    e.clash = q.value(8).toBool();
    return e;
}

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
                    for (const QString &number : work->numbers) {
                        QSqlQuery q = run(db,
                            QStringLiteral(
                                "SELECT number, stamped_by, desk, stamped_at, server_time, kind, document, "
                                "document_sha256, false FROM stamps WHERE number = :n UNION ALL "
                                "SELECT number, stamped_by, desk, stamped_at, server_time, kind, document, "
                                "document_sha256, true FROM stamp_clashes WHERE number = :n "
                                "ORDER BY 5"),
                            {{QStringLiteral(":n"), number}});
                        while (q.next())
                            work->entries.push_back(entryFrom(q));
                    }
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
