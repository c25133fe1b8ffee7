#include "MissingGlyphMark.h"

#include "host/ComboBox.h"
#include "host/Label.h"

namespace app {

namespace {
// The field's tooltip before any warning replaced it.
constexpr char kOwnToolTip[] = "qvantoOwnToolTip";
} // namespace

void ShowMissingGlyphs(host::ComboBox &field, host::Label &mark, const QStringList &missing)
{
    if (!field.property(kOwnToolTip).isValid())
        field.setProperty(kOwnToolTip, field.toolTip());
    const QString own = field.property(kOwnToolTip).toString();
    if (missing.isEmpty()) {
        field.setToolTip(own);
        mark.hide();
        return;
    }
    const QString warning = QStringLiteral("このフォントにない文字: %1 (代わりのフォントで描きます)")
                                .arg(missing.join(QLatin1Char(' ')));
    field.setToolTip(own.isEmpty() ? warning : own + QLatin1Char('\n') + warning);
    mark.setToolTip(warning);
    mark.show();
}

} // namespace app
