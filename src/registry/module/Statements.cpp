// The statements the registry module sends, on the worker's connection.
#include "Statements.h"

#include <QSqlError>
#include <QUuid>

namespace registry {

using stamp::RegistryEntry;
using stamp::RegistryRecord;

namespace {

// libpq's own limit for connecting, which it counts in whole seconds of at
// least two: the stamp's own shorter wait lies on top of it. A URI
// (postgresql://…) cannot follow these: the connection string is key=value.
constexpr char kConnectOptions[] = "connect_timeout=2 application_name=qvanto";

// The desk's time as it was, with its offset, so the server reads the same
// instant whatever its own time zone.
QString instant(const QDateTime &at)
{
    return at.toOffsetFromUtc(at.offsetFromUtc()).toString(Qt::ISODate);
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

} // namespace

Connection::Connection(QString conninfo)
    : m_name(QStringLiteral("qvanto-registry-") + QUuid::createUuid().toString(QUuid::WithoutBraces)),
      m_conninfo(std::move(conninfo))
{
}

QSqlDatabase Connection::open()
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

void Connection::close()
{
    QSqlDatabase db = QSqlDatabase::database(m_name, false);
    if (db.isValid())
        db.close();
}

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

void sendQueued(QSqlDatabase &db, const RegistryRecord &r)
{
    if (r.type == RegistryRecord::Type::Stamp && !holdsOurs(db, r))
        run(db, insertInto("stamp_clashes"), valuesOf(r));
    fillHash(db, r);
}

std::vector<RegistryEntry> entriesOf(QSqlDatabase &db, const QString &number)
{
    QSqlQuery q = run(db,
        QStringLiteral("SELECT number, stamped_by, desk, stamped_at, server_time, kind, document, "
                       "document_sha256, false FROM stamps WHERE number = :n UNION ALL "
                       "SELECT number, stamped_by, desk, stamped_at, server_time, kind, document, "
                       "document_sha256, true FROM stamp_clashes WHERE number = :n ORDER BY 5"),
        {{QStringLiteral(":n"), number}});
    std::vector<RegistryEntry> entries;
    while (q.next())
        entries.push_back(entryFrom(q));
    return entries;
}

} // namespace registry
