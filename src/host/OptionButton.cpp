#include "OptionButton.h"

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

} // namespace host
