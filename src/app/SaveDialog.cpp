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

QString startingName(const QString &proposed)
{
    if (QFileInfo(proposed).isAbsolute())
        return proposed;
    QString folder = lastSaveFolder();
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(proposed);
}

} // namespace

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
    PrepareSaveDialog(dialog, startingName(proposed), nameFilters, suffixes);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().constFirst();
    lastSaveFolder() = QFileInfo(chosen).absolutePath();
    return chosen;
}

} // namespace app
