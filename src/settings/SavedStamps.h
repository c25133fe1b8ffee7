#pragma once

#include <QString>
#include <QStringList>

namespace host {
struct AppInfo;
}

namespace bas_QVanto {

// Stamps kept besides the default one (the settings file itself): each a
// settings file of its own, stamps/<name>.ini beside the settings file, in
// the same format.

// Whether `name` may name a saved stamp: a file name of its own, so no path
// separator, no leading dot (no hidden file, no "." or ".."), no control
// character, and at most 64 characters.
bool IsStampName(const QString &name);

// The file of the stamp `name`; empty when the name is not one or no files
// are kept.
QString SavedStampPath(const host::AppInfo &app, const QString &name);

// The names of the saved stamps there are, sorted: the user's own regular
// files only.
QStringList SavedStampNames(const host::AppInfo &app);

// Makes the stamps' folder (0700) when it is missing; whether it is there
// and no one else can write it.
bool MakeSavedStampsFolder(const host::AppInfo &app);

} // namespace bas_QVanto
