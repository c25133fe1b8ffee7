#include "OptionsMenu.h"

#include "render/DateStyle.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>
#include <algorithm>

namespace app {

namespace {

QAction *addAction(QWidget &window, QMenu *menu, const QString &text, const QKeySequence &shortcut,
    bool checkable, QActionGroup *group = nullptr)
{
    auto *action = new QAction(text, &window);
    action->setShortcut(shortcut);
    action->setShortcutContext(Qt::WindowShortcut);
    action->setCheckable(checkable);
    if (group)
        group->addAction(action);
    window.addAction(action);
    menu->addAction(action);
    return action;
}

} // namespace

OptionsMenu BuildOptionsMenu(QWidget &window)
{
    OptionsMenu m;
    m.menu = new QMenu(&window);
    auto *scales = new QActionGroup(&window);
    for (int n = 1; n <= 4; ++n)
        m.pixelScale[size_t(n - 1)] = addAction(window, m.menu, QStringLiteral("解像度 %1×").arg(n),
            QKeySequence(QStringLiteral("Ctrl+%1").arg(n)), true, scales);
    m.menu->addSeparator();
    m.transparent = addAction(
        window, m.menu, QStringLiteral("透明な背景"), QKeySequence(QStringLiteral("Ctrl+T")), true);
    m.menu->addSeparator();
    auto *styles = new QActionGroup(&window);
    const char *styleKeys[] = {"Ctrl+Shift+1", "Ctrl+Shift+2", "Ctrl+Shift+3"};
    for (size_t i = 0; i < 3; ++i)
        m.dateStyle[i]
            = addAction(window, m.menu, {}, QKeySequence(QString::fromLatin1(styleKeys[i])), true, styles);
    m.menu->addSeparator();
    m.stamps = m.menu->addMenu(QStringLiteral("印"));
    m.sealKind = m.menu->addMenu(QStringLiteral("印の種類"));
    auto *kinds = new QActionGroup(&window);
    const char16_t *kindNames[] = {u"日付印", u"角印", u"認印", u"役職印"};
    for (size_t i = 0; i < m.kind.size(); ++i)
        m.kind[i] = addAction(window, m.sealKind, QString::fromUtf16(kindNames[i]), {}, true, kinds);
    m.stampSize = m.menu->addMenu(QStringLiteral("印影の大きさ"));
    auto *sizes = new QActionGroup(&window);
    for (size_t i = 0; i < OptionsMenu::kStampSizesMm.size(); ++i)
        m.stampMm[i] = addAction(window, m.stampSize,
            OptionsMenu::kStampSizesMm[i] ? QStringLiteral("%1 mm").arg(OptionsMenu::kStampSizesMm[i])
                                          : QStringLiteral("実寸なし"),
            {}, true, sizes);
    m.stampMmTyped = addAction(window, m.stampSize, {}, QKeySequence(QStringLiteral("Ctrl+M")), true, sizes);
    m.menu->addSeparator();
    m.saveAs = addAction(window, m.menu, QStringLiteral("名前を付けて保存…"), QKeySequence::Save, false);
    m.lookUp = addAction(window, m.menu, QStringLiteral("押印番号の照会…"), QKeySequence::Find, false);
    m.stampPdf = addAction(
        window, m.menu, QStringLiteral("PDF に押印…"), QKeySequence(QStringLiteral("Ctrl+P")), false);
    m.signKey = addAction(window, m.menu, QStringLiteral("PDF の押印に署名する (鍵を選ぶ)…"), {}, true);
    return m;
}

void OptionsMenu::reflect(const StampOptions &options) const
{
    pixelScale[size_t(qBound(1, options.pixelScale, 4) - 1)]->setChecked(true);
    transparent->setChecked(options.transparent);
    dateStyle[size_t(options.dateStyle)]->setChecked(true);
    kind[size_t(options.kind)]->setChecked(true);
    sealKind->setTitle(QStringLiteral("印の種類 (%1)").arg(kind[size_t(options.kind)]->text()));
    const auto preset = std::find(kStampSizesMm.begin(), kStampSizesMm.end(), options.stampMm);
    if (preset != kStampSizesMm.end())
        stampMm[size_t(preset - kStampSizesMm.begin())]->setChecked(true);
    else
        stampMmTyped->setChecked(true);
    stampMmTyped->setText(preset != kStampSizesMm.end()
            ? QStringLiteral("大きさを指定…")
            : QStringLiteral("大きさを指定 (%1 mm)…").arg(options.stampMm));
    // The chosen size shows without opening the submenu.
    const int ownMm = render::DefaultSealMm(options.kind);
    stampSize->setTitle(QStringLiteral("印影の大きさ (%1)")
                            .arg(options.stampMm ? QStringLiteral("%1 mm").arg(options.stampMm)
                                    : ownMm      ? QStringLiteral("%1 mm").arg(ownMm)
                                                 : QStringLiteral("実寸なし")));
    // A kind with a size of its own is made in it when none is set.
    stampMm[0]->setText(ownMm ? QStringLiteral("印の標準 (%1 mm)").arg(ownMm) : QStringLiteral("実寸なし"));
}

void OptionsMenu::showDate(const QDate &date) const
{
    const QString y = QString::number(date.year());
    const QString m = QString::number(date.month());
    const QString d = QString::number(date.day());
    const QString names[] = {QStringLiteral("西暦"), QStringLiteral("和暦"), QStringLiteral("和暦")};
    for (size_t i = 0; i < dateStyle.size(); ++i)
        dateStyle[i]->setText(
            QStringLiteral("%1 (%2)").arg(names[i], render::DateRowText(y, m, d, render::DateStyle(i))));
}

} // namespace app
