#pragma once

#include <QFont>
#include <QHash>
#include <QString>

namespace host {

// Turns a face name as the user knows it into an installed family. Windows
// Japanese faces map to their metric-compatible IPA equivalents; a name that
// is empty or not installed falls back to a Japanese-capable face, so kanji
// never come out as boxes.
class FontResolver {
public:
    QString family(const QString &faceName);
    struct Style {
        bool bold = false;
        bool italic = false;
        bool underline = false;
        bool strikeOut = false;
        bool operator==(const Style &) const = default;
    };
    // A font of that face at a point size (kept exactly, fractions included),
    // with Japanese fallbacks behind it; resolve it against a 96-dpi device.
    QFont font(const QString &faceName, double pointSize, Style style);
    // A widget font sized in whole pixels, independent of the screen's DPI.
    QFont widgetFont(const QString &faceName, double pointSize, bool bold);

    static FontResolver &shared();

private:
    // Whether a family is installed under this name in any language.
    bool installed(const QString &family);
    const QString &japaneseFallback();

    QHash<QString, QString> m_cache;
    QHash<QString, bool> m_installed;
    QString m_fallback;
};

} // namespace host
