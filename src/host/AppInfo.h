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
    // Where the settings file and the stamp log live; empty means Path.
    QString DataPath;

    // Path, a separator unless Path already ends in one, then name.
    QString fileBesideProgram(const QString &name) const;
    // The same in DataPath.
    QString dataFile(const QString &name) const;

    // Title and version of this program, Path and EXEName of the running
    // binary. A copy whose folder the user can write, or that already keeps
    // its settings there (a portable copy), keeps its files beside itself;
    // an installed copy keeps them in the user's application data folder.
    static AppInfo forRunningProgram();
    static QString chooseDataPath(const QString &programFolder, const QString &exeName,
        const QString &installedFolder, const QString &userFolder);
};

} // namespace host
