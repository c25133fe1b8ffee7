#include "FontList.h"

#include <QRegularExpression>
#include <QSet>

namespace host {

QString withoutFoundry(const QString &family)
{
    static const QRegularExpression foundry(QStringLiteral("\\s*\\[[^\\[\\]]*\\]$"));
    QString name = family;
    name.remove(foundry);
    // A name that is nothing but brackets is kept as it is.
    return name.isEmpty() ? family : name;
}

QStringList familiesToList(const QStringList &families)
{
    QStringList listed;
    QSet<QString> seen;
    for (const QString &family : families) {
        if (family.startsWith(QLatin1Char('@')))
            continue;
        const QString name = withoutFoundry(family);
        if (!seen.contains(name)) {
            seen.insert(name);
            listed.append(name);
        }
    }
    return listed;
}

} // namespace host
