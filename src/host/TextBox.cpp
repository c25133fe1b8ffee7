#include "TextBox.h"

#include <algorithm>
#include <limits>

namespace host {

QValidator::State SingleLineValidator::validate(QString &input, int &pos) const
{
    const auto isBreak = [](QChar c) { return c == QLatin1Char('\r') || c == QLatin1Char('\n'); };
    pos -= int(std::count_if(input.cbegin(), input.cbegin() + qBound(0, pos, int(input.size())), isBreak));
    input.removeIf(isBreak);
    return Acceptable;
}

TextBox::TextBox(QWidget *parent) : QLineEdit(parent)
{
    setMaxLength(std::numeric_limits<int>::max());
    setValidator(new SingleLineValidator(this));
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
