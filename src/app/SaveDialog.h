#pragma once

#include <QStringList>

class QFileDialog;
class QWidget;

namespace app {

// Sets a file dialog up to ask where a file of the user's goes: it asks
// before replacing an existing file, adds the chosen type's suffix to a bare
// name before that question, and shows links as themselves, dangling ones
// included, so that the name picked is the name the writer judges (and
// refuses when it is a link), never the file a link points to.
// `suffixes` are those of `nameFilters`, in their order.
void PrepareSaveDialog(QFileDialog &dialog, const QString &proposed, const QStringList &nameFilters,
    const QStringList &suffixes);

// The folders a save dialog may open in, best first.
struct SaveFolders {
    QString lastUsed; // of the last save of this run; empty before it
    QString documents;
    QString home;
};

// Where a save dialog proposing `proposed` opens: an absolute name as it
// stands, a bare one in the first of `folders` that exists, never in the
// working folder the program was started from.
QString SaveStartName(const QString &proposed, const SaveFolders &folders);

// The start name for this run: the folder of the last file chosen, or the
// user's documents folder, or home.
QString SaveStartName(const QString &proposed);
// Remembers the folder of a file the user chose to save.
void RememberSaveFolder(const QString &chosen);

// Asks with such a dialog; empty when the user cancels. A bare proposed
// name opens in the folder of the last save of this run, or else in the
// user's documents folder.
QString AskSaveFileName(QWidget *parent, const QString &caption, const QString &proposed,
    const QStringList &nameFilters, const QStringList &suffixes);

} // namespace app
