#pragma once

#include "Colors.h"

#include <QToolButton>

namespace host {

// One member of a group of mutually exclusive options, drawn as a small
// toggle button showing its caption in its foreground colour.
class OptionButton : public QToolButton {
    Q_OBJECT
public:
    explicit OptionButton(QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void SetCaption(const QString &caption) { setText(caption); }
    qint32 ForeColor() const { return m_foreColor; }
    void SetForeColor(qint32 color);
    bool Value() const { return isChecked(); }

private:
    qint32 m_foreColor = kButtonTextColor;
};

} // namespace host
