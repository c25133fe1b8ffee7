#include "OptionButton.h"

#include <QButtonGroup>

namespace host {

OptionButton::OptionButton(QWidget *parent) : QToolButton(parent)
{
    setCheckable(true);
    setToolButtonStyle(Qt::ToolButtonTextOnly);
}

void OptionButton::SetForeColor(qint32 color)
{
    m_foreColor = color;
    QPalette pal = palette();
    pal.setColor(QPalette::ButtonText, resolveColor(color));
    setPalette(pal);
}

void OptionButton::focusInEvent(QFocusEvent *event)
{
    QToolButton::focusInEvent(event);
    // Qt leaves the Tab focus to the focused member of an exclusive group
    // alone, which would make Tab skip every other option.
    if (QButtonGroup *options = group())
        keepTabStops(*options);
}

void OptionButton::keepTabStops(QButtonGroup &options)
{
    for (QAbstractButton *option : options.buttons())
        option->setFocusPolicy(Qt::FocusPolicy(option->focusPolicy() | Qt::TabFocus));
}

} // namespace host
