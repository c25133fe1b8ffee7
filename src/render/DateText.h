#pragma once

#include <QString>

namespace render {

// The date row: year to at least four digits, month and day to at least two,
// joined by dots. A field that is not a number is kept as it stands.
QString DateRowText(const QString &year, const QString &month, const QString &day);

} // namespace render
