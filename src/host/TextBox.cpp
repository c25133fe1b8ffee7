#include "TextBox.h"

#include <limits>

namespace host {

TextBox::TextBox(QWidget *parent) : QLineEdit(parent)
{
    setMaxLength(std::numeric_limits<int>::max());
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
