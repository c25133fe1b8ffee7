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
    // False when no folder could be found or made where they can be written,
    // or the one found is not the user's alone (FolderShared).
    bool FilesKept = true;
    // True when the data folder was passed over because others can write it
    // (or a folder above it), or it is a link or another user's.
    bool FolderShared = false;

    // Path, a separator unless Path already ends in one, then name.
    QString fileBesideProgram(const QString &name) const;
    // The same in DataPath; empty when no files are kept, so nothing is read
    // from or written to a folder that was not taken.
    QString dataFile(const QString &name) const;

    // Title and version of this program, Path and EXEName of the running
    // binary. A portable copy keeps its files beside itself when no one but
    // the user and root can write to its folder and the user can keep files
    // there (the folder is writable, or holds the user's own writable
    // settings file); otherwise, and always for an installed copy (unless
    // it already keeps the user's settings beside itself), they live in the
    // user's application data folder, made on demand, and kept there only
    // when no one but the user and root can write it (makeOwnDataFolder).
    static AppInfo forRunningProgram();
    // Sets DataPath and FilesKept as above for a copy at Path named EXEName.
    void placeDataFiles(const QString &installedFolder);
    static QString chooseDataPath(const QString &programFolder, const QString &exeName,
        const QString &installedFolder, const QString &userFolder);
    // Whether the settings file or the stamp log can be written in `folder`.
    static bool canKeepFilesIn(const QString &folder, const QString &exeName);
    // $XDG_DATA_HOME/QVanto, or ~/.local/share/QVanto when that is unset or
    // not an absolute path (a relative one would move with the working folder).
    static QString userDataFolder();
};

} // namespace host
