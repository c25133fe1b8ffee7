#include "CommandButton.h"

#include <QKeyEvent>

namespace host {

CommandButton::CommandButton(const QString &caption, QWidget *parent) : QPushButton(caption, parent) { }

void CommandButton::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Return && event->key() != Qt::Key_Enter) {
        QPushButton::keyPressEvent(event);
        return;
    }
    // A held key presses once: a second stamp must never come from a key
    // that was not released.
    if (!event->isAutoRepeat())
        click();
    event->accept();
}

void CommandButton::enterEvent(QEnterEvent *event)
{
    emit Approached();
    QPushButton::enterEvent(event);
}

} // namespace host
