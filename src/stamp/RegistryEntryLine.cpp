#include "stamp/Registry.h"

namespace stamp {

QString RegistryEntryLine(const RegistryEntry &e)
{
    const QString time = QStringLiteral("yyyy/MM/dd HH:mm:ss");
    QString line = QStringLiteral("登録簿: %1 押印者 %2 端末 %3 押印 %4 (受付 %5) %6")
                       .arg(e.number, e.stampedBy, e.desk, e.stampedAt.toLocalTime().toString(time),
                           e.serverTime.toLocalTime().toString(time), e.kind);
    if (!e.document.isEmpty())
        line += QStringLiteral(" 文書 %1").arg(e.document);
    if (!e.documentSha256.isEmpty())
        line += QStringLiteral(" SHA-256 %1").arg(e.documentSha256);
    if (e.clash)
        line += QStringLiteral(" (登録簿に届く前に他の端末が同じ番号を取っていました)");
    return line;
}

} // namespace stamp
