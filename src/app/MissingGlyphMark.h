#pragma once

#include <QStringList>

namespace host {
class ComboBox;
class Label;
} // namespace host

namespace app {

// Says beside a row's font field which characters of the row that font
// lacks (a fallback face draws them): the mark shows while any are missing,
// and the field's tooltip names them; with none missing the mark hides and
// the field's own tooltip comes back.
void ShowMissingGlyphs(host::ComboBox &field, host::Label &mark, const QStringList &missing);

} // namespace app
