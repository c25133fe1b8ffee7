#include "TextBox.h"

#include "WholeCharacters.h"

#include <algorithm>

namespace host {

namespace {

// Every character that some reader of a text file takes for a line end:
// CR, LF, VT, FF, the file, group and record separators, NEL and the
// Unicode line and paragraph separators.
bool isLineSeparator(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x0A && u <= 0x0D) || (u >= 0x1C && u <= 0x1E) || u == 0x85 || u == 0x2028 || u == 0x2029;
}

// Drops what does not fit from just before the cursor, where the new text
// came in, as a field with a length limit cuts a paste; a program write
// leaves the cursor at the end, so its tail is what goes.
void capAtCursor(QString &input, int &pos, int maxUnits)
{
    const qsizetype excess = input.size() - maxUnits;
    if (excess <= 0)
        return;
    if (pos < excess) {
        input.truncate(wholeCharactersIn(input, maxUnits));
        pos = std::min(pos, int(input.size()));
        return;
    }
    qsizetype from = pos - excess;
    qsizetype to = pos;
    if (from > 0 && input[from - 1].isHighSurrogate() && input[from].isLowSurrogate())
        --from;
    if (to < input.size() && input[to - 1].isHighSurrogate() && input[to].isLowSurrogate())
        ++to;
    input.remove(from, to - from);
    pos = int(from);
}

} // namespace

QValidator::State SingleLineValidator::validate(QString &input, int &pos) const
{
    pos = qBound(0, pos, int(input.size()));
    pos -= int(std::count_if(input.cbegin(), input.cbegin() + pos, isLineSeparator));
    input.removeIf(isLineSeparator);
    capAtCursor(input, pos, m_maxUnits);
    return Acceptable;
}

TextBox::TextBox(QWidget *parent, int maxUnits) : QLineEdit(parent)
{
    // The validator caps the length, on a whole character; QLineEdit's own
    // limit counts units and could split one.
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new SingleLineValidator(this, maxUnits));
    connect(this, &QLineEdit::textChanged, this, &TextBox::onTextChanged);
}

void TextBox::SetText(const QString &text)
{
    if (text == m_text)
        return;
    setText(text);
}

void TextBox::onTextChanged(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    emit Change();
}

} // namespace host
