#pragma once

#include <QByteArray>
#include <QString>

namespace bas_QVanto {

// Writes `bytes` over the user's own settings file where its folder allows
// no new file beside it (a folder an administrator set up with a settings
// file the user may write). The old contents stay until the new ones are
// complete, as far as the file system allows: room is reserved first, the
// whole new text is written, and only then is the old tail cut off. Returns
// false, with the file unchanged where possible, on any failure.
bool rewriteInPlace(const QString &path, const QByteArray &bytes);

} // namespace bas_QVanto
