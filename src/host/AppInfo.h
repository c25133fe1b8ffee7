#pragma once

#include <QString>

namespace host {

// What the program knows of itself: title, version and where it lives.
struct AppInfo {
    QString Title;
    QString Comments;
    qint16 Major = 0;
    qint16 Minor = 0;
    qint16 Revision = 0;
    // The program's folder in native form; ends in a separator only at a root.
    QString Path;
    // The program file's name without its extension.
    QString EXEName;

    // Path, a separator unless Path already ends in one, then name.
    QString fileBesideProgram(const QString &name) const;

    // Title and version of this program, Path and EXEName of the running binary.
    static AppInfo forRunningProgram();
};

} // namespace host
