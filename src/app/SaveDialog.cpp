#include "SaveDialog.h"

#include <QFileDialog>

namespace app {

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
    PrepareSaveDialog(dialog, proposed, nameFilters, suffixes);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return dialog.selectedFiles().constFirst();
}

} // namespace app
