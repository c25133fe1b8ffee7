#include "MissingGlyphs.h"

#include <QFontDatabase>
#include <QFontMetrics>

namespace host {

const std::optional<QFontMetrics> &MissingGlyphs::face(const QString &family)
{
    auto found = m_faces.constFind(family);
    if (found != m_faces.constEnd())
        return *found;
    // Without the family Qt would only substitute another: it has nothing.
    std::optional<QFontMetrics> metrics;
    // The first question to a fresh font database can answer "no" for an
    // installed family; listing the families settles it.
    QFontDatabase::families();
    if (QFontDatabase::hasFamily(family)) {
        QFont font(family);
        // The family's own face only, not the fallbacks behind it.
        font.setStyleStrategy(QFont::NoFontMerging);
        metrics.emplace(font);
    }
    return *m_faces.insert(family, metrics);
}

QStringList MissingGlyphs::in(const QString &family, const QString &text)
{
    QStringList missing;
    if (text.isEmpty())
        return missing;
    const std::optional<QFontMetrics> &metrics = face(family);
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t code = text[i].unicode();
        if (text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            code = QChar::surrogateToUcs4(text[i], text[i + 1]);
            ++i;
        }
        if (QChar::isSpace(code) || QChar::category(code) == QChar::Other_Control)
            continue;
        if (metrics && metrics->inFontUcs4(code))
            continue;
        const QString character = QString::fromUcs4(&code, 1);
        if (!missing.contains(character))
            missing.append(character);
    }
    return missing;
}

} // namespace host
