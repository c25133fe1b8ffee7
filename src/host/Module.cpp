#include "Module.h"

#include "HostError.h"
#include "PrivateFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace host {

Module::Module(const QString &target)
    : m_fileName(QStringLiteral(QVANTO_MODULE_PREFIX) + target + QStringLiteral(QVANTO_MODULE_SUFFIX))
{
}

namespace {

QStringList &foldersForTests()
{
    static QStringList folders;
    return folders;
}

} // namespace

void Module::searchAlsoIn(const QString &folder)
{
    foldersForTests() << folder;
}

QStringList Module::searchFolders(const QString &programFolder)
{
    const QString installed = QStringLiteral(QVANTO_MODULE_INSTALL_DIR);
    const QString program = QDir(programFolder).canonicalPath();
    // Only the package's own folder for an installed program: nothing a user
    // could write is loaded into it.
    if (!program.isEmpty() && program == QDir(QStringLiteral(QVANTO_INSTALL_BINDIR)).canonicalPath())
        return {installed};
    return QStringList {programFolder} + foldersForTests() + QStringList {installed};
}

void Module::load()
{
    const QString installed = QStringLiteral(QVANTO_MODULE_INSTALL_DIR);
    const QStringList folders = searchFolders(QCoreApplication::applicationDirPath());
    QStringList passedOver;
    for (const QString &folder : folders) {
        const QFileInfo file(QDir(folder), m_fileName);
        if (!file.isFile())
            continue;
        // A module in a folder others can write may be theirs.
        if (folder != installed && !onlyUserCanWrite(folder)) {
            passedOver << file.absoluteFilePath();
            continue;
        }
        m_library.setFileName(file.absoluteFilePath());
        if (!m_library.load())
            throw HostError(HostError::FileNotFound, m_library.errorString());
        return;
    }
    QString message
        = QStringLiteral("%1 was not found in %2").arg(m_fileName, folders.join(QStringLiteral(", ")));
    if (!passedOver.isEmpty())
        message += QStringLiteral("; not loaded, as others can write its folder: %1")
                       .arg(passedOver.join(QStringLiteral(", ")));
    throw HostError(HostError::FileNotFound, message);
}

QFunctionPointer Module::resolve(const char *symbol)
{
    if (!m_library.isLoaded())
        load();
    const QFunctionPointer function = m_library.resolve(symbol);
    if (!function)
        throw HostError(HostError::FileNotFound, m_library.errorString());
    return function;
}

} // namespace host
