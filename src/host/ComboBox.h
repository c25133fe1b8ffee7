#pragma once

#include <QComboBox>

namespace host {

// An editable combo box: a text field with a drop-down list. Click is raised
// only when an entry is picked from the list, never while the user types.
// What the user types stays exactly as typed: no completion, no case
// rewriting on leaving the field or on Return.
class ComboBox : public QComboBox {
    Q_OBJECT
public:
    explicit ComboBox(QWidget *parent = nullptr);

    void AddItem(const QString &item) { addItem(item); }
    QString Text() const { return currentText(); }
    void SetText(const QString &text) { setEditText(text); }

signals:
    void Click();

protected:
    // A wheel turned over a field the user is not working in scrolls past
    // it instead of changing a stored face.
    void wheelEvent(QWheelEvent *event) override;
};

} // namespace host
