#pragma once

#include <QString>

namespace bas_QVanto {

// The settings file is used only when it is a regular file of the user's
// own, reached without a link. A link or another user's file in its place
// may have been put there to have the user's own files read or overwritten,
// and a device or FIFO holds no settings; any of these is left alone, and
// the defaults are used.

// A link the user made in a folder of their own, to a settings file of
// their own in another such folder (a dotfiles repository, say), is
// followed: returns the file it leads to when the link, its folder, that
// file and its folder all belong to the user and no group or other user may
// write them. Anything else gives `path` back, to be refused as above.
// Saving then replaces the file the link leads to, and the link stays.
QString followOwnLink(const QString &path);

// Whether nothing at all is at `path` (an empty path included).
bool nothingAt(const QString &path);

// Opens the settings file with `accessMode` (O_RDONLY or O_WRONLY), never
// through a link and never waiting on a FIFO. Returns the descriptor, or -1
// when the file is missing or is not the user's own regular file.
int openOwnSettingsFile(const QString &path, int accessMode);

// Whether a save may put new settings at `path`: nothing is there yet, or
// the user's own regular file, small enough to have been read whole. A file
// that could not be read whole still holds settings that would be lost.
bool maySaveOver(const QString &path);

// Removes the unfinished copies that a save left beside the file when it was
// killed before putting the new one in place: only names of exactly the
// safe writer's pattern (".qvanto.ini.qvanto-tmp-XXXXXX"), and only the
// user's own regular files. Whatever else lies beside the settings, backups
// such as "qvanto.ini.bak123" included, is the user's and stays.
void removeUnfinishedCopies(const QString &path);

} // namespace bas_QVanto
