#pragma once

#include <QLineEdit>
#include <QValidator>

namespace host {

// Keeps line breaks out of a one-line field, however they come: typed,
// pasted, dropped or written by the program. A field's text is one line of
// the settings file and of the stamp log, where a break would end the line
// early and make the next start read the rest as a line of its own.
class SingleLineValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &pos) const override;
};

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
