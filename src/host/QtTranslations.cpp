#include "QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace host {

void installQtTranslations(QCoreApplication &application)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto *translator = new QTranslator(&application);
    // "qt" gathers the catalogues of every Qt module; some installations
    // ship only the one of the base module.
    for (const char *catalogue : {"qt", "qtbase"})
        if (translator->load(QLocale(), QString::fromLatin1(catalogue), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            return;
        }
    delete translator;
}

} // namespace host
