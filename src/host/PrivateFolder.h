#pragma once

#include <QString>

#include <sys/types.h>

namespace host {

// Whether no one but this user and root can change what lies in `folder`:
// the folder and every folder above it (up to this user's home) belong to
// the user or to root and are writable by no group and no other user. A
// folder above may be open to all when its sticky bit keeps others from
// moving what they do not own, as /tmp does. Links are followed first.
bool onlyUserCanWrite(const QString &folder);

// The same rule for a folder `owner` keeps for everyone (an administrator's
// copy of the program), checked up to the root.
bool onlyOwnerCanWrite(const QString &folder, uid_t owner);

// Whether `path` itself (not a link) is a regular file of this user's that
// they may write.
bool isOwnWritableFile(const QString &path);

// Whether this user may create and remove files in `folder`.
bool isWritableFolder(const QString &folder);

// Whether `folder` itself (not a link) is a folder of this user's that no
// one else may enter: mode 0700, as the user's runtime folder is.
bool isPrivateFolder(const QString &folder);

// A folder of this user's that no one else may enter, for sockets:
// $XDG_RUNTIME_DIR when it is such a folder, else qvanto-<uid> in the
// temporary folder, made on demand. Empty when neither can be had (another
// user took the name first): the caller goes on without one.
QString privateRuntimeFolder();

// The user's data folder `folder`, made on demand (each missing folder 0700)
// but only below a folder that passes onlyUserCanWrite (or a sticky one, as
// /tmp, below such a one), so nothing is made where others can write.
enum class DataFolder {
    Own, // there, no link, and passes onlyUserCanWrite
    CannotMake, // a file in the way, no permission, …
    NotPrivate, // others can write it or a folder above, or it is a link or another user's
};
DataFolder makeOwnDataFolder(const QString &folder);

// This user's home: HOME when it is an absolute path, else the one the
// password database gives.
QString userHome();

} // namespace host
