#include "settings/SavedStamps.h"

#include "host/AppInfo.h"
#include "host/PrivateFolder.h"
#include "settings/OwnSettingsFile.h"

#include <QDir>
#include <algorithm>
#include <fcntl.h>
#include <unistd.h>

namespace bas_QVanto {

namespace {

constexpr qsizetype kMaxNameLength = 64;
const QString kSuffix = QStringLiteral(".ini");

QString stampsFolder(const host::AppInfo &app)
{
    return app.dataFile(QStringLiteral("stamps"));
}

} // namespace

bool IsStampName(const QString &name)
{
    if (name.isEmpty() || name.size() > kMaxNameLength || name.startsWith(QLatin1Char('.')))
        return false;
    return std::none_of(name.begin(), name.end(), [](QChar c) {
        return c == QLatin1Char('/') || c == QLatin1Char('\\') || c.category() == QChar::Other_Control
            || c.category() == QChar::Other_Format || (c.isSpace() && c != QLatin1Char(' '));
    });
}

QString SavedStampPath(const host::AppInfo &app, const QString &name)
{
    const QString folder = stampsFolder(app);
    if (folder.isEmpty() || !IsStampName(name))
        return {};
    return folder + QLatin1Char('/') + name + kSuffix;
}

QStringList SavedStampNames(const host::AppInfo &app)
{
    const QString folder = stampsFolder(app);
    // A folder others can change could slip in stamps the user never made.
    if (folder.isEmpty() || QFileInfo(folder).isSymLink() || !host::onlyUserCanWrite(folder))
        return {};
    QStringList names;
    for (const QString &file :
        QDir(folder).entryList({QLatin1Char('*') + kSuffix}, QDir::Files, QDir::Name)) {
        const QString name = file.chopped(kSuffix.size());
        if (!IsStampName(name))
            continue;
        const int fd = openOwnSettingsFile(SavedStampPath(app, name), O_RDONLY);
        if (fd < 0)
            continue;
        ::close(fd);
        names.push_back(name);
    }
    return names;
}

bool MakeSavedStampsFolder(const host::AppInfo &app)
{
    const QString folder = stampsFolder(app);
    return !folder.isEmpty() && host::makeOwnDataFolder(folder) == host::DataFolder::Own;
}

} // namespace bas_QVanto
