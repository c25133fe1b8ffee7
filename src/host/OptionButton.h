#pragma once

#include "Colors.h"

#include <QToolButton>

class QButtonGroup;

namespace host {

// One member of a group of mutually exclusive options, drawn as a small
// toggle button showing its caption in its foreground colour. Every option
// of its group is a stop of its own in the tab order; the arrow keys move
// between them too.
class OptionButton : public QToolButton {
    Q_OBJECT
public:
    explicit OptionButton(QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void SetCaption(const QString &caption) { setText(caption); }
    qint32 ForeColor() const { return m_foreColor; }
    void SetForeColor(qint32 color);
    bool Value() const { return isChecked(); }
    // Gives every member of the group its own Tab stop again.
    static void keepTabStops(QButtonGroup &options);

protected:
    void focusInEvent(QFocusEvent *event) override;

private:
    qint32 m_foreColor = kButtonTextColor;
};

} // namespace host
