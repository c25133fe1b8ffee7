#include "AppInfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace host {

QString AppInfo::fileBesideProgram(const QString &name) const
{
    const QString sep = QDir::separator();
    if (Path.endsWith(sep) || Path.endsWith(QLatin1Char('/')))
        return Path + name;
    return Path + sep + name;
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
    return info;
}

} // namespace host
