#include "DateText.h"

#include "host/Conversions.h"

namespace render {

QString DateRowText(const QString &year, const QString &month, const QString &day)
{
    return host::zeroPadded(year, 4) + QLatin1Char('.') + host::zeroPadded(month, 2) + QLatin1Char('.')
        + host::zeroPadded(day, 2);
}

} // namespace render
