#pragma once

#include <QFontMetrics>
#include <QHash>
#include <QStringList>

#include <optional>

namespace host {

// Which characters of a text a font family cannot draw itself. Qt draws them
// from a fallback face, which mixes two designs in one seal; the window names
// them instead of letting that pass unseen. One face is loaded per family
// and kept, so the check is cheap enough for every keystroke.
class MissingGlyphs {
public:
    // Each lacking character once, in the order of the text; a surrogate pair
    // counts as the one character it encodes. Spaces and control characters
    // draw nothing and are never reported. A family that is not installed
    // lacks every character.
    QStringList in(const QString &family, const QString &text);

private:
    const std::optional<QFontMetrics> &face(const QString &family);

    QHash<QString, std::optional<QFontMetrics>> m_faces;
};

} // namespace host
