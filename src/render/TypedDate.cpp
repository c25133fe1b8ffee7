#include "TypedDate.h"

#include "DateStyle.h"

#include <QRegularExpression>

namespace render {

namespace {

struct Era {
    const char16_t *name;
    QChar initial;
    int firstYear;
};
constexpr Era kEras[] = {
    {u"明治", u'M', 1868},
    {u"大正", u'T', 1912},
    {u"昭和", u'S', 1926},
    {u"平成", u'H', 1989},
    {u"令和", u'R', 2019},
};

const Era *eraNamed(const QString &text)
{
    for (const Era &era : kEras)
        if (text == QString::fromUtf16(era.name) || text.compare(era.initial, Qt::CaseInsensitive) == 0)
            return &era;
    return nullptr;
}

} // namespace

QDate TypedDate(const QString &typed)
{
    // A western year has four digits: 26.12.25 is not taken for the year 26.
    static const QRegularExpression form(
        QStringLiteral("^(?:(明治|大正|昭和|平成|令和|[MTSHRmtshr])(元|\\d{1,3})|(\\d{4}))"
                       "(?:([./-])(\\d{1,3})\\4(\\d{1,3})|年(\\d{1,3})月(\\d{1,3})日?)$"));
    // NFKC turns full-width digits and separators into their plain forms.
    const QRegularExpressionMatch match
        = form.match(typed.normalized(QString::NormalizationForm_KC).trimmed());
    if (!match.hasMatch())
        return {};
    const bool inWords = match.capturedLength(7) > 0;
    const int month = match.captured(inWords ? 7 : 5).toInt();
    const int day = match.captured(inWords ? 8 : 6).toInt();
    if (match.capturedLength(3) > 0) {
        const int year = match.captured(3).toInt();
        return year >= 1 && year <= 9999 ? QDate(year, month, day) : QDate();
    }
    const Era *era = eraNamed(match.captured(1));
    const int eraYear = match.captured(2) == QStringLiteral("元") ? 1 : match.captured(2).toInt();
    const QDate date(era->firstYear + eraYear - 1, month, day);
    // 令和1.04.30 was still Heisei: an era date must lie in its era.
    JapaneseEra actual;
    if (eraYear < 1 || !date.isValid() || !japaneseEra(date.year(), date.month(), date.day(), actual)
        || actual.name != QString::fromUtf16(era->name))
        return {};
    return date;
}

bool CouldBecomeDate(const QString &typed)
{
    // Only what the forms above are made of, wherever the caret is: a year
    // typed over digit by digit passes through texts like 2.01.25.
    static const QRegularExpression parts(
        QStringLiteral("^[\\d./\\-年月日元明治大正昭和平成令MTSHRmtshr\\s]*$"));
    return parts.match(typed.normalized(QString::NormalizationForm_KC)).hasMatch();
}

} // namespace render
