#include "FontResolver.h"
#include "FontList.h"

#include "Units.h"

#include <QFontDatabase>

namespace host {

namespace {

const char *aliasFor(const QString &name)
{
    struct Alias {
        const char16_t *name;
        const char *family;
    };
    static const Alias aliases[] = {
        {u"ＭＳ Ｐゴシック", "IPAPGothic"},
        {u"MS PGothic", "IPAPGothic"},
        {u"ＭＳ ゴシック", "IPAGothic"},
        {u"MS Gothic", "IPAGothic"},
        {u"ＭＳ Ｐ明朝", "IPAPMincho"},
        {u"MS PMincho", "IPAPMincho"},
        {u"ＭＳ 明朝", "IPAMincho"},
        {u"MS Mincho", "IPAMincho"},
        {u"HG正楷書体-PRO", "IPAPMincho"},
        {u"メイリオ", "IPAPGothic"},
        {u"Meiryo", "IPAPGothic"},
    };
    for (const Alias &alias : aliases)
        if (name.compare(QString::fromUtf16(alias.name), Qt::CaseInsensitive) == 0)
            return alias.family;
    return nullptr;
}

} // namespace

bool FontResolver::installed(const QString &family)
{
    // Fontconfig lists each family under the name in the session's language
    // ("IPA明朝" in a Japanese session, "IPAMincho" elsewhere) and keeps the
    // others as aliases, which this lookup also accepts. Asking by any name
    // makes the same settings draw the same face whatever the language.
    auto known = m_installed.constFind(family);
    if (known == m_installed.constEnd())
        known = m_installed.insert(family, QFontDatabase::hasFamily(family));
    return *known;
}

const QString &FontResolver::japaneseFallback()
{
    if (m_fallback.isEmpty()) {
        for (const char *candidate : {"IPAPGothic", "IPAGothic", "Noto Sans CJK JP"})
            if (installed(QString::fromLatin1(candidate))) {
                m_fallback = QString::fromLatin1(candidate);
                return m_fallback;
            }
        m_fallback = QFontDatabase::systemFont(QFontDatabase::GeneralFont).family();
    }
    return m_fallback;
}

QString FontResolver::family(const QString &faceName)
{
    auto cached = m_cache.constFind(faceName);
    if (cached != m_cache.constEnd())
        return *cached;
    QString resolved;
    // A name saved while the font list showed foundries ("IPAMincho
    // [unknown]") is looked up by its family: the database knows it with the
    // foundry, but a face asked for so is not matched in every language.
    const QString bare = withoutFoundry(faceName);
    if (!bare.trimmed().isEmpty() && installed(bare))
        resolved = bare;
    else if (!faceName.trimmed().isEmpty() && installed(faceName))
        resolved = faceName;
    else if (const char *alias = aliasFor(faceName.trimmed()); alias && installed(QString::fromLatin1(alias)))
        resolved = QString::fromLatin1(alias);
    else
        resolved = japaneseFallback();
    m_cache.insert(faceName, resolved);
    return resolved;
}

QFont FontResolver::font(const QString &faceName, double pointSize, Style style)
{
    QFont font;
    font.setFamilies({family(faceName), japaneseFallback()});
    // Unhinted outlines grow smoothly with the size, which the size search relies on.
    font.setHintingPreference(QFont::PreferNoHinting);
    font.setPointSizeF(pointSize);
    font.setBold(style.bold);
    font.setItalic(style.italic);
    font.setUnderline(style.underline);
    font.setStrikeOut(style.strikeOut);
    return font;
}

QFont FontResolver::widgetFont(const QString &faceName, double pointSize, bool bold)
{
    QFont font;
    font.setFamilies({family(faceName), japaneseFallback()});
    font.setPixelSize(pointsToPx(pointSize));
    font.setBold(bold);
    return font;
}

FontResolver &FontResolver::shared()
{
    static FontResolver resolver;
    return resolver;
}

} // namespace host
