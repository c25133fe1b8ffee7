#pragma once

#include <QString>

namespace bas_QVanto {

// An administrator may place a settings file beside a copy of the program
// that everyone uses, with the company's rows in it. It is read as the
// starting settings of a user who has none of their own yet, and never
// written: the user's changes go to the user's own file, which wins from
// then on.
//
// Opens the preset at `path` for reading. It is trusted only when no one
// but its folder's owner and root could have put it there: a regular file
// (not a link) owned by root or by that owner, writable by no group and no
// other user, in a folder that passes the same rule all the way up. Returns
// the descriptor, or -1 when there is no such file.
int openAdminPreset(const QString &path);

} // namespace bas_QVanto
