#pragma once

#include "stamp/Registry.h"

namespace host {
class RegularFile;
}

namespace stamp {

// The records the registry has not taken yet, in the order they were made,
// kept beside the stamp log (qvanto.log gives qvanto.queue): one JSON object
// a line, each appended whole, so a record is either there or not.
QString RegistryQueuePath(const QString &logPath);

QByteArray EncodeQueued(const RegistryRecord &record);
// Every whole, readable record; a damaged line is passed over.
std::vector<RegistryRecord> DecodeQueue(const QByteArray &bytes);

// The queue as it stands; none when there is no file. Throws host::HostError
// when it is there but cannot be read as a regular file.
std::vector<RegistryRecord> ReadQueue(const QString &path);
// Adds one record at the end, whole or not at all.
void AppendToQueue(const QString &path, const RegistryRecord &record);
// Replaces the queue by what is left of it (host::SafeWriter).
void KeepQueue(const QString &path, const std::vector<RegistryRecord> &left);

} // namespace stamp
