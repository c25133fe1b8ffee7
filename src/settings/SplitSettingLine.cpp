#include "settings/SplitSettingLine.h"

#include "host/HostError.h"
#include "host/WholeCharacters.h"

#include <limits>

namespace bas_QVanto {

namespace {

constexpr qsizetype kLastFieldChars = 64;
constexpr qsizetype kMaxPosition = std::numeric_limits<qint16>::max();

// Only ordinary blanks: the ideographic space is part of a Japanese row text.
QString trimBlanks(QStringView field)
{
    qsizetype begin = 0;
    qsizetype end = field.size();
    while (begin < end && field[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && field[end - 1] == QLatin1Char(' '))
        --end;
    // An empty field is kept as " " so that "" can mean "no field left".
    return begin == end ? QStringLiteral(" ") : field.mid(begin, end - begin).toString();
}

[[noreturn]] void overflow()
{
    throw host::HostError(host::HostError::Overflow, QStringLiteral("Overflow"));
}

void split(SplitState &state, const QString &text, const QString &delimiter)
{
    for (int slot = 1; slot <= SplitState::kSlots; ++slot)
        state.SplitFields[slot].clear();
    state.SplitCount = 0;

    // 1-based positions, as the 16-bit position arithmetic is defined on them.
    qsizetype start = 1;
    for (;;) {
        const qsizetype p = text.indexOf(delimiter, start - 1, Qt::CaseSensitive) + 1;
        if (p > kMaxPosition)
            overflow();
        if (p == 0) {
            // The cut comes before trimming, so leading blanks count toward the
            // 64, and never splits a character.
            const QStringView rest = QStringView(text).mid(start - 1);
            state.SplitFields[++state.SplitCount]
                = trimBlanks(rest.first(host::wholeCharactersIn(rest, kLastFieldChars)));
            return;
        }
        state.SplitFields[++state.SplitCount] = trimBlanks(QStringView(text).mid(start - 1, p - start));
        if (p + delimiter.size() > kMaxPosition)
            overflow();
        start = p + delimiter.size();
        if (state.SplitCount == SplitState::kSlots)
            return;
    }
}

} // namespace

QString SplitSettingLine(SplitState &state, const QString &text, QString &delimiter)
{
    if (!text.isEmpty()) {
        if (delimiter.isEmpty())
            delimiter = QStringLiteral(",");
        split(state, text, delimiter);
        state.SplitCursor = 0;
    }
    if (state.SplitCursor >= SplitState::kSlots)
        return {};
    return state.SplitFields[++state.SplitCursor];
}

} // namespace bas_QVanto
