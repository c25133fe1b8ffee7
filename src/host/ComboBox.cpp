#include "ComboBox.h"

#include "TextBox.h"

#include <QLineEdit>
#include <QWheelEvent>
#include <limits>

namespace host {

ComboBox::ComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    // Typed names stay in the edit text; the list holds only the installed faces.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    setValidator(new SingleLineValidator(this, kMaxFieldUnits));
    // The combo box would otherwise pick the entry that matches the typed
    // text, ignoring case, when the field loses the focus or on Return: it
    // rewrites the text to the entry's and reports a pick from the list.
    disconnect(lineEdit(), &QLineEdit::editingFinished, this, nullptr);
    disconnect(lineEdit(), &QLineEdit::returnPressed, this, nullptr);
    connect(this, &QComboBox::activated, this, [this](int) { emit Click(); });
}

void ComboBox::wheelEvent(QWheelEvent *event)
{
    if (hasFocus())
        QComboBox::wheelEvent(event);
    else
        event->ignore();
}

} // namespace host
