#include "OptionsMenu.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QWidget>

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
    const QString styleNames[] = {QStringLiteral("西暦 (2026.12.07)"), QStringLiteral("和暦 (R8.12.07)"),
        QStringLiteral("和暦 (令和8.12.07)")};
    const char *styleKeys[] = {"Ctrl+Shift+1", "Ctrl+Shift+2", "Ctrl+Shift+3"};
    for (size_t i = 0; i < 3; ++i)
        m.dateStyle[i] = addAction(
            window, m.menu, styleNames[i], QKeySequence(QString::fromLatin1(styleKeys[i])), true, styles);
    m.menu->addSeparator();
    m.saveAs = addAction(window, m.menu, QStringLiteral("名前を付けて保存…"), QKeySequence::Save, false);
    m.lookUp = addAction(window, m.menu, QStringLiteral("押印番号の照会…"), QKeySequence::Find, false);
    m.stampPdf = addAction(
        window, m.menu, QStringLiteral("PDF に押印…"), QKeySequence(QStringLiteral("Ctrl+P")), false);
    return m;
}

void OptionsMenu::reflect(const StampOptions &options) const
{
    pixelScale[size_t(qBound(1, options.pixelScale, 4) - 1)]->setChecked(true);
    transparent->setChecked(options.transparent);
    dateStyle[size_t(options.dateStyle)]->setChecked(true);
}

} // namespace app
