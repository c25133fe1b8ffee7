#pragma once

#include <QLabel>

namespace host {

// A label. Its caption may separate lines with a lone carriage return, which
// is kept as given and shown as a line break.
class Label : public QLabel {
    Q_OBJECT
public:
    explicit Label(QWidget *parent = nullptr) : QLabel(parent) { setWordWrap(true); }

    QString Caption() const { return m_caption; }
    void SetCaption(const QString &caption)
    {
        m_caption = caption;
        QString shown = caption;
        shown.replace(QLatin1String("\r\n"), QLatin1String("\n"))
            .replace(QLatin1Char('\r'), QLatin1Char('\n'));
        setText(shown);
    }

private:
    QString m_caption;
};

} // namespace host
