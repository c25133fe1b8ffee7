#pragma once

#include <QString>

namespace host {

// A modal box with a single OK button.
class MessageBox {
public:
    enum class Icon { None, Critical };
    virtual ~MessageBox() = default;
    virtual void show(const QString &text, const QString &caption, Icon icon) = 0;
};

class QtMessageBox final : public MessageBox {
public:
    void show(const QString &text, const QString &caption, Icon icon) override;
};

} // namespace host
