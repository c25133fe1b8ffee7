#pragma once

#include "stamp/Registry.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariantMap>

namespace registry {

// A statement failed: the connection may have gone with the server, so the
// next job connects afresh.
struct Failed {
    QString reason;
};

// The module's one connection, opened on demand on the worker's thread.
class Connection {
public:
    explicit Connection(QString conninfo);
    QString name() const { return m_name; }
    // Throws Failed when the server cannot be reached.
    QSqlDatabase open();
    void close();

private:
    QString m_name;
    QString m_conninfo;
};

// Runs one statement with its values; throws Failed.
QSqlQuery run(QSqlDatabase &db, const QString &sql, const QVariantMap &values);

// A stamp inserted now, or there already as this desk's from an earlier send
// whose answer was lost: either way the registry holds it for us. False when
// another desk holds its number.
bool holdsOurs(QSqlDatabase &db, const stamp::RegistryRecord &record);

// A queued record sent: a stamp whose number another desk took meanwhile is
// kept as a clash, never dropped; a document's hash fills in its stamp's.
void sendQueued(QSqlDatabase &db, const stamp::RegistryRecord &record);

// Every entry, first and clashing, for one number.
std::vector<stamp::RegistryEntry> entriesOf(QSqlDatabase &db, const QString &number);

} // namespace registry
