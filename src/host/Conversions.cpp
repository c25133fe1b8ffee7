#include "Conversions.h"

#include "HostError.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace host {

namespace {

bool parseNumber(const QString &text, double &value)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    value = QLocale::system().toDouble(t, &ok);
    if (!ok)
        value = QLocale::c().toDouble(t, &ok);
    return ok && std::isfinite(value);
}

double roundHalfEven(double value)
{
    // nearbyint uses the current rounding mode, which is round-to-nearest-even.
    return std::nearbyint(value);
}

template<typename Int>
Int toInt(const QString &text)
{
    const double rounded = roundHalfEven(toDouble(text));
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min())
        || rounded > static_cast<double>(std::numeric_limits<Int>::max()))
        throw HostError(HostError::Overflow, QStringLiteral("Overflow"));
    return static_cast<Int>(rounded);
}

} // namespace

double toDouble(const QString &text)
{
    double value = 0;
    if (!parseNumber(text, value))
        throw HostError(HostError::TypeMismatch, QStringLiteral("Type mismatch"));
    return value;
}

qint32 toLong(const QString &text)
{
    return toInt<qint32>(text);
}

qint16 toInteger(const QString &text)
{
    return toInt<qint16>(text);
}

QString shortestText(double value)
{
    if (value == 0)
        return QStringLiteral("0"); // no "-0"
    return QString::number(value, 'g', 15);
}

QString zeroPadded(const QString &text, int digits)
{
    double value = 0;
    if (!parseNumber(text, value))
        return text;
    const double whole = std::round(std::fabs(value));
    QString body
        = whole < 1e15 ? QString::number(static_cast<qint64>(whole)) : QString::number(whole, 'f', 0);
    if (body.size() < digits)
        body = QString(digits - body.size(), QLatin1Char('0')) + body;
    return (value < 0 && whole != 0) ? QLatin1Char('-') + body : body;
}

QString printNumber(qint64 value)
{
    const QString number = QString::number(value) + QLatin1Char(' ');
    return value < 0 ? number : QLatin1Char(' ') + number;
}

} // namespace host
