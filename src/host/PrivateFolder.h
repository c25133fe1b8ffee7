#pragma once

#include <QString>

namespace host {

// Whether no one but this user and root can change what lies in `folder`:
// the folder and every folder above it (up to this user's home) belong to
// the user or to root and are writable by no group and no other user. A
// folder above may be open to all when its sticky bit keeps others from
// moving what they do not own, as /tmp does. Links are followed first.
bool onlyUserCanWrite(const QString &folder);

// Whether `path` itself (not a link) is a regular file of this user's that
// they may write.
bool isOwnWritableFile(const QString &path);

// Whether this user may create and remove files in `folder`.
bool isWritableFolder(const QString &folder);

// This user's home: HOME when it is an absolute path, else the one the
// password database gives.
QString userHome();

} // namespace host
