#include "DateStyle.h"

#include "DateText.h"

#include "host/Conversions.h"

#include <QDate>
#include <QHash>
#include <cmath>
#include <memory>
#include <unicode/calendar.h>
#include <unicode/gregocal.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

namespace render {

namespace {

QString fromIcu(const icu::UnicodeString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

// ICU's calendars and formatters are costly to make, and the face is drawn
// on every keystroke: make them once, and remember each date's answer.
class EraLookup {
public:
    EraLookup()
    {
        UErrorCode status = U_ZERO_ERROR;
        const icu::Locale japanese("ja_JP@calendar=japanese");
        m_gregorian = std::make_unique<icu::GregorianCalendar>(*icu::TimeZone::getGMT(), status);
        m_initial = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(u"GGGGG"), japanese, status);
        m_name = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(u"GGGG"), japanese, status);
        m_year = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(u"y"), japanese, status);
        m_ok = U_SUCCESS(status);
        if (m_ok) {
            for (icu::SimpleDateFormat *format : {m_initial.get(), m_name.get(), m_year.get()})
                format->setTimeZone(*icu::TimeZone::getGMT());
        }
    }

    bool lookUp(int year, int month, int day, JapaneseEra &era)
    {
        if (!m_ok)
            return false;
        const qint64 key = (qint64(year) * 100 + month) * 100 + day;
        if (auto known = m_known.constFind(key); known != m_known.constEnd()) {
            era = *known;
            return true;
        }
        UErrorCode status = U_ZERO_ERROR;
        m_gregorian->clear();
        m_gregorian->set(year, month - 1, day, 12, 0, 0);
        const UDate when = m_gregorian->getTime(status);
        if (U_FAILURE(status))
            return false;
        icu::UnicodeString initial, name, eraYear;
        m_initial->format(when, initial);
        m_name->format(when, name);
        m_year->format(when, eraYear);
        era = JapaneseEra {fromIcu(initial), fromIcu(name), fromIcu(eraYear).toInt()};
        if (era.name.isEmpty() || era.year <= 0)
            return false;
        if (m_known.size() > 1024)
            m_known.clear();
        m_known.insert(key, era);
        return true;
    }

private:
    bool m_ok = false;
    std::unique_ptr<icu::GregorianCalendar> m_gregorian;
    std::unique_ptr<icu::SimpleDateFormat> m_initial, m_name, m_year;
    QHash<qint64, JapaneseEra> m_known;
};

bool wholeNumber(const QString &text, int low, int high, int &value)
{
    try {
        const double number = host::toDouble(text);
        if (number != std::floor(number) || number < low || number > high)
            return false;
        value = int(number);
        return true;
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace

bool japaneseEra(int year, int month, int day, JapaneseEra &era)
{
    static EraLookup lookup;
    return lookup.lookUp(year, month, day, era);
}

QString DateRowText(const QString &year, const QString &month, const QString &day, DateStyle style)
{
    int y = 0, m = 0, d = 0;
    JapaneseEra era;
    // A day the month does not have (04.31, reached by clicking the day)
    // keeps the era of the month as written, not of the day it would roll
    // over to.
    if (style == DateStyle::Western || !wholeNumber(year, 1, 9999, y) || !wholeNumber(month, 1, 12, m)
        || !wholeNumber(day, 1, 31, d) || !japaneseEra(y, m, qMin(d, QDate(y, m, 1).daysInMonth()), era))
        return DateRowText(year, month, day);
    // Offices write the first year of an era as 元 in words, as a number in initials.
    const bool inWords = style == DateStyle::EraName;
    const QString eraYear = inWords && era.year == 1 ? QStringLiteral("元") : QString::number(era.year);
    return (inWords ? era.name : era.initial) + eraYear + QLatin1Char('.') + host::zeroPadded(month, 2)
        + QLatin1Char('.') + host::zeroPadded(day, 2);
}

} // namespace render
