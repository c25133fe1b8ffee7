#include "SaveDialog.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace app {

namespace {

// The folder the last save went to, for this run; a bare proposed name
// opens there, or in the user's documents folder, never in whatever folder
// the program happened to be started from.
QString &lastSaveFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString SaveStartName(const QString &proposed, const SaveFolders &folders)
{
    if (QFileInfo(proposed).isAbsolute())
        return proposed;
    for (const QString &folder : {folders.lastUsed, folders.documents, folders.home}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir())
            return QDir(folder).filePath(proposed);
    }
    return QDir(QDir::homePath()).filePath(proposed);
}

QString SaveStartName(const QString &proposed)
{
    return SaveStartName(proposed,
        {lastSaveFolder(), QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
            QDir::homePath()});
}

void RememberSaveFolder(const QString &chosen)
{
    lastSaveFolder() = QFileInfo(chosen).absolutePath();
}

void PrepareSaveDialog(
    QFileDialog &dialog, const QString &proposed, const QStringList &nameFilters, const QStringList &suffixes)
{
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontResolveSymlinks);
    // Without System a dangling link would not be listed at all.
    dialog.setFilter(dialog.filter() | QDir::System);
    dialog.setNameFilters(nameFilters);
    dialog.setDefaultSuffix(suffixes.value(0));
    QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog,
        [&dialog, nameFilters, suffixes](const QString &filter) {
            dialog.setDefaultSuffix(suffixes.value(int(nameFilters.indexOf(filter))));
        });
    dialog.selectFile(proposed);
}

QString AskSaveFileName(QWidget *parent, const QString &caption, const QString &proposed,
    const QStringList &nameFilters, const QStringList &suffixes)
{
    QFileDialog dialog(parent, caption);
    PrepareSaveDialog(dialog, SaveStartName(proposed), nameFilters, suffixes);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    RememberSaveFolder(chosen);
    return chosen;
}

} // namespace app
