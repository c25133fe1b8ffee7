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

// A family's name without the foundry Qt adds in brackets when two foundries
// share it ("IPAGothic [unknown]" gives "IPAGothic").
QString withoutFoundry(const QString &family);

// The families as the font lists offer them: each once, by its own name, in
// the system's order; faces named "@…" (the vertical-writing twins of
// others) are left out.
QStringList familiesToList(const QStringList &families);

} // namespace host
