#pragma once

#include <QStringList>

namespace host {

// The system's installed font faces, in the system's enumeration order.
class FontList {
public:
    virtual ~FontList() = default;
    virtual QStringList families() const = 0;
};

class QtFontList final : public FontList {
public:
    QStringList families() const override;
};

} // namespace host
