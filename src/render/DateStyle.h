#pragma once

#include <QString>

namespace render {

// How the date row is written. The date fields always hold the western
// year; only the row's text follows the style.
enum class DateStyle : qint32 {
    Western = 0, // 2026.12.07
    EraInitial = 1, // R8.12.07
    EraName = 2, // 令和8.12.07
};

// The date row in a style. A date whose fields are not whole numbers, or
// that has no era, is written the western way.
QString DateRowText(const QString &year, const QString &month, const QString &day, DateStyle style);

struct JapaneseEra {
    QString initial; // "R"
    QString name; // "令和"
    int year = 0; // 8
};

// The era of a western date in the Japanese calendar, as ICU knows it;
// false when ICU cannot place the date.
bool japaneseEra(int year, int month, int day, JapaneseEra &era);

} // namespace render
