#pragma once

#include <QCheckBox>

namespace host {

// A check box holding 0 (clear), 1 (ticked) or 2 (grey). Click is raised on
// every change of the value, by the user or by the program.
class CheckBox : public QCheckBox {
    Q_OBJECT
public:
    explicit CheckBox(QWidget *parent = nullptr);

    int Value() const;
    // Any value other than 0, 1 or 2 is refused with HostError(InvalidProperty).
    void SetValue(int value);

signals:
    void Click();

protected:
    // The user toggles between clear and ticked; grey is set by program only.
    void nextCheckState() override;
};

} // namespace host
