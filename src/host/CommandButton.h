#pragma once

#include <QPushButton>

namespace host {

// A command button. Enter and keypad Enter press it while it has the focus,
// as Space does, the way desktop users expect of a focused button.
class CommandButton : public QPushButton {
    Q_OBJECT
public:
    explicit CommandButton(const QString &caption, QWidget *parent = nullptr);

signals:
    // The mouse came over the button: a press may follow soon.
    void Approached();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
};

} // namespace host
