#pragma once

#include <QStringView>

namespace host {

// The longest prefix of at most `units` UTF-16 units that ends on a whole
// character: a cut between the halves of a surrogate pair would leave half a
// character, which the text files can only write as U+FFFD.
inline qsizetype wholeCharactersIn(QStringView text, qsizetype units)
{
    if (units <= 0)
        return 0;
    if (units >= text.size())
        return text.size();
    return text[units - 1].isHighSurrogate() && text[units].isLowSurrogate() ? units - 1 : units;
}

} // namespace host
