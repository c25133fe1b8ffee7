#include "ComboBox.h"

#include "TextBox.h"

#include <QLineEdit>
#include <limits>

namespace host {

ComboBox::ComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    // Typed names stay in the edit text; the list holds only the installed faces.
    setInsertPolicy(QComboBox::NoInsert);
    lineEdit()->setMaxLength(std::numeric_limits<int>::max());
    setValidator(new SingleLineValidator(this, kMaxFieldUnits));
    connect(this, &QComboBox::activated, this, [this](int) { emit Click(); });
}

} // namespace host
