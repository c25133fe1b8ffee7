#pragma once

#include <QString>

namespace host {

// Text-to-number conversions with the host's rules: surrounding blanks are
// ignored, the system locale's form is tried before the C form, anything else
// raises HostError(TypeMismatch); integers round half to even and raise
// HostError(Overflow) outside their range.
double toDouble(const QString &text);
qint32 toLong(const QString &text);
qint16 toInteger(const QString &text);

// The shortest decimal form of a number: 2, 2.5, -1.
QString shortestText(double value);

// Pads a number held in text with zeros to at least `digits` digits, without
// a fraction (rounded half away from zero); a longer number is written whole.
// Text that is not a number comes back unchanged, so formatting never fails.
QString zeroPadded(const QString &text, int digits);

// The host's print format for a number in a text file: a blank (or minus)
// before the digits and one blank after them, " 255 ".
QString printNumber(qint64 value);

} // namespace host
