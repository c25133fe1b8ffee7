#pragma once

#include <QDate>
#include <QString>

namespace render {

// The date in a text typed into the date row: western (2026.12.25,
// 2026/12/25, 2026-12-25, 2026年12月25日) or era (令和8.12.25, R8.12.25,
// 令和元.5.1, 令和8年12月25日), with full-width digits and separators as an
// input method types them; a western year has four digits. An
// invalid QDate for anything else, for a day the month does not have, and
// for an era year outside its era.
QDate TypedDate(const QString &text);

// Whether a text being typed may still become such a date: it holds only
// what dates are written with.
bool CouldBecomeDate(const QString &text);

} // namespace render
