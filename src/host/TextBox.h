#pragma once

#include <QLineEdit>

namespace host {

// A text box. Change is raised synchronously, for typing and for program
// writes alike, and only when the text really changes: writing the text it
// already holds raises nothing, which ends a nested redraw after one level.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr);

    QString Text() const { return m_text; }
    void SetText(const QString &text);

    bool FontBold() const { return font().bold(); }
    bool FontItalic() const { return font().italic(); }
    bool FontUnderline() const { return font().underline(); }
    bool FontStrikethru() const { return font().strikeOut(); }

signals:
    void Change();

private:
    void onTextChanged(const QString &text);
    QString m_text;
};

} // namespace host
