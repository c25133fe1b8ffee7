#pragma once

#include <QLineEdit>
#include <QValidator>

#include <limits>

namespace host {

// The most UTF-16 units a one-line field holds. The settings file is read in
// 16-bit positions: a row of this length leaves its line's delimiters inside
// 32,767, and a row with its face name stays far inside the settings read
// limit, so no field can make the next start lose its settings.
inline constexpr int kMaxFieldUnits = 32000;

// Keeps line breaks out of a one-line field, however they come: typed,
// pasted, dropped or written by the program, and caps its length on a whole
// character. A field's text is one line of the settings file and of the
// stamp log, where a break would end the line early (for readers that honour
// it) and make the next start read the rest as a line of its own.
class SingleLineValidator final : public QValidator {
public:
    explicit SingleLineValidator(QObject *parent, int maxUnits = std::numeric_limits<int>::max())
        : QValidator(parent), m_maxUnits(maxUnits)
    {
    }
    State validate(QString &input, int &pos) const override;

private:
    int m_maxUnits;
};

// A text box. Change is raised synchronously, for typing and for program
// writes alike, and only when the text really changes: writing the text it
// already holds raises nothing, which ends a nested redraw after one level.
class TextBox : public QLineEdit {
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent = nullptr, int maxUnits = std::numeric_limits<int>::max());

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
