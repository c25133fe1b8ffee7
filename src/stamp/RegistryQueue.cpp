#include "stamp/RegistryQueue.h"

#include "host/HostError.h"
#include "host/RegularFile.h"
#include "host/SafeWriter.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace stamp {

namespace {

// A queue grows by a line a stamp made offline; one far larger than a year
// of stamps is not ours to read whole.
constexpr qint64 kLargestQueueBytes = 64LL * 1024 * 1024;

} // namespace

QString RegistryQueuePath(const QString &logPath)
{
    const QFileInfo log(logPath);
    return log.dir().filePath(log.completeBaseName() + QStringLiteral(".queue"));
}

QByteArray EncodeQueued(const RegistryRecord &record)
{
    QJsonObject o;
    o[QStringLiteral("type")] = record.type == RegistryRecord::Type::Document ? QStringLiteral("document")
                                                                              : QStringLiteral("stamp");
    o[QStringLiteral("number")] = record.number;
    o[QStringLiteral("stamped_at")] = record.stampedAt.toString(Qt::ISODate);
    o[QStringLiteral("desk")] = record.desk;
    o[QStringLiteral("rows")] = QJsonArray {record.rows[0], record.rows[1], record.rows[2], record.rows[3]};
    o[QStringLiteral("kind")] = record.kind;
    o[QStringLiteral("document")] = record.document;
    o[QStringLiteral("document_sha256")] = record.documentSha256;
    return QJsonDocument(o).toJson(QJsonDocument::Compact) + '\n';
}

std::vector<RegistryRecord> DecodeQueue(const QByteArray &bytes)
{
    std::vector<RegistryRecord> records;
    // A last line without its end was never written whole.
    const qsizetype end = bytes.lastIndexOf('\n');
    for (const QByteArray &line : bytes.left(end + 1).split('\n')) {
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        RegistryRecord r;
        r.number = o.value(QStringLiteral("number")).toString();
        if (r.number.isEmpty())
            continue;
        if (o.value(QStringLiteral("type")).toString() == QStringLiteral("document"))
            r.type = RegistryRecord::Type::Document;
        r.stampedAt = QDateTime::fromString(o.value(QStringLiteral("stamped_at")).toString(), Qt::ISODate);
        r.desk = o.value(QStringLiteral("desk")).toString();
        const QJsonArray rows = o.value(QStringLiteral("rows")).toArray();
        for (int i = 0; i < 4 && i < rows.size(); ++i)
            r.rows[i] = rows[i].toString();
        r.kind = o.value(QStringLiteral("kind")).toString();
        r.document = o.value(QStringLiteral("document")).toString();
        r.documentSha256 = o.value(QStringLiteral("document_sha256")).toString();
        records.push_back(std::move(r));
    }
    return records;
}

std::vector<RegistryRecord> ReadQueue(const QString &path)
{
    if (!QFileInfo::exists(path) && !QFileInfo(path).isSymLink())
        return {};
    const host::RegularFile queue(path, host::RegularFile::Mode::Read);
    if (queue.size() > kLargestQueueBytes)
        throw host::HostError(host::HostError::FileIo,
            QStringLiteral("登録簿へ送る記録の待ち行列が大きすぎます: %1").arg(path));
    return DecodeQueue(queue.readAt(0, queue.size()));
}

void AppendToQueue(const QString &path, const RegistryRecord &record)
{
    host::RegularFile(path, host::RegularFile::Mode::Append).appendWhole(EncodeQueued(record));
}

void KeepQueue(const QString &path, const std::vector<RegistryRecord> &left)
{
    QByteArray bytes;
    for (const RegistryRecord &record : left)
        bytes += EncodeQueued(record);
    host::writeFileSafely(path, bytes);
}

} // namespace stamp
