#include "AppInfo.h"

#include "PrivateFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace host {

namespace {

QString joined(const QString &folder, const QString &name)
{
    const QString sep = QDir::separator();
    if (folder.endsWith(sep) || folder.endsWith(QLatin1Char('/')))
        return folder + name;
    return folder + sep + name;
}

} // namespace

QString AppInfo::fileBesideProgram(const QString &name) const
{
    return joined(Path, name);
}

QString AppInfo::dataFile(const QString &name) const
{
    if (!FilesKept)
        return {};
    return joined(DataPath.isEmpty() ? Path : DataPath, name);
}

QString AppInfo::chooseDataPath(const QString &programFolder, const QString &exeName,
    const QString &installedFolder, const QString &userFolder)
{
    // A folder others can write is theirs as much as the user's: a settings
    // file or log they plant there (or link elsewhere) would be read and
    // written as the user.
    if (onlyUserCanWrite(programFolder)) {
        if (isOwnWritableFile(joined(programFolder, exeName + QStringLiteral(".ini"))))
            return programFolder;
        // The installed folder counts as not writable even for an
        // administrator, so every user of an installed copy keeps settings
        // of their own.
        const bool installed = !installedFolder.isEmpty()
            && QDir(programFolder).canonicalPath() == QDir(installedFolder).canonicalPath();
        if (!installed && isWritableFolder(programFolder))
            return programFolder;
    }
    makeOwnDataFolder(userFolder);
    return QDir::toNativeSeparators(userFolder);
}

bool AppInfo::canKeepFilesIn(const QString &folder, const QString &exeName)
{
    return isWritableFolder(folder) || isOwnWritableFile(joined(folder, exeName + QStringLiteral(".ini")));
}

QString AppInfo::userDataFolder()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (!QDir::isAbsolutePath(dataHome)) {
        // With no home at all, the root's: writable by root only, so anyone
        // else is told that nothing can be kept.
        const QString home = userHome();
        dataHome = (home.isEmpty() ? QStringLiteral("/") : home) + QStringLiteral("/.local/share");
    }
    return QDir::cleanPath(dataHome + QStringLiteral("/QVanto"));
}

void AppInfo::placeDataFiles(const QString &installedFolder)
{
    const QString userFolder = userDataFolder();
    DataPath = chooseDataPath(Path, EXEName, installedFolder, userFolder);
    // A lock, settings or log planted in a folder others can write would be
    // taken as the user's, and records written there read by others.
    FolderShared = DataPath == QDir::toNativeSeparators(userFolder)
        && makeOwnDataFolder(userFolder) == DataFolder::NotPrivate;
    FilesKept = !FolderShared && canKeepFilesIn(DataPath, EXEName);
}

AppInfo AppInfo::forRunningProgram()
{
    AppInfo info;
    info.Title = QStringLiteral("QVanto");
    info.Comments = QStringLiteral("日付印のビットマップ画像を生成し、クリップボードに転送するツールです。");
    info.Major = 1;
    info.Minor = 1;
    info.Revision = 9;
    info.Path = QDir::toNativeSeparators(QCoreApplication::applicationDirPath());
    info.EXEName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
#ifdef QVANTO_INSTALL_BINDIR
    const QString installedFolder = QStringLiteral(QVANTO_INSTALL_BINDIR);
#else
    const QString installedFolder;
#endif
    info.placeDataFiles(installedFolder);
    return info;
}

} // namespace host
