#include "AppInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

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
    return joined(DataPath.isEmpty() ? Path : DataPath, name);
}

QString AppInfo::chooseDataPath(const QString &programFolder, const QString &exeName,
    const QString &installedFolder, const QString &userFolder)
{
    if (QFileInfo::exists(joined(programFolder, exeName + QStringLiteral(".ini"))))
        return programFolder;
    // The installed folder counts as not writable even for an administrator,
    // so every user of an installed copy keeps settings of their own.
    const bool installed = !installedFolder.isEmpty()
        && QDir(programFolder).canonicalPath() == QDir(installedFolder).canonicalPath();
    if (!installed && QFileInfo(programFolder).isWritable())
        return programFolder;
    QDir().mkpath(userFolder);
    return QDir::toNativeSeparators(userFolder);
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
    info.DataPath = chooseDataPath(info.Path, info.EXEName, installedFolder,
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation));
    return info;
}

} // namespace host
