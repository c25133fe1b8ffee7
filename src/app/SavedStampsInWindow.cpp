// The window's saved stamps: the one in use kept in its file, another loaded
// in its place.
#include "frm_QVanto.h"

#include "host/AppInfo.h"
#include "host/MessageBox.h"
#include "settings/SavedStamps.h"
#include "settings/SettingsFile.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

bool frm_QVanto::LoadStamp(const QString &name)
{
    const host::AppInfo &app = m_services.app;
    if (!name.isEmpty() && !bas_QVanto::SavedStampNames(app).contains(name))
        return false;
    // Options a file leaves out are at their defaults, not the last stamp's.
    m_storedOptions = app::StampOptions().toSettings();
    bas_QVanto::SettingsControls settings = settingsControls();
    if (name.isEmpty())
        bas_QVanto::LoadSettings(app, settings, m_splitter);
    else
        bas_QVanto::LoadSettingsFile(bas_QVanto::SavedStampPath(app, name), settings, m_splitter);
    m_options = app::StampOptions::fromSettings(m_storedOptions);
    m_stampName = name;
    m_menu.reflect(m_options);
    RedrawStamp();
    return true;
}

void frm_QVanto::SaveStamp()
{
    FinishTypedDate();
    m_storedOptions = m_options.toSettings();
    const bas_QVanto::SettingsControls settings = settingsControls();
    if (m_stampName.isEmpty())
        bas_QVanto::SaveSettings(m_services.app, settings);
    else if (bas_QVanto::MakeSavedStampsFolder(m_services.app))
        bas_QVanto::SaveSettingsFile(bas_QVanto::SavedStampPath(m_services.app, m_stampName), settings);
}

void frm_QVanto::SwitchStamp(const QString &name)
{
    if (name == m_stampName)
        return;
    SaveStamp();
    if (!LoadStamp(name))
        m_services.messages.show(QStringLiteral("印「%1」が見つかりません。").arg(name), m_services.app.Title,
            host::MessageBox::Icon::Critical);
}

void frm_QVanto::SaveStampAs(const QString &name)
{
    if (!bas_QVanto::IsStampName(name) || !bas_QVanto::MakeSavedStampsFolder(m_services.app)) {
        m_services.messages.show(bas_QVanto::IsStampName(name)
                ? QStringLiteral("印を保存するフォルダーがありません。")
                : QStringLiteral("「%1」は印の名前に使えません (/ や \\ を含まず、. で始まらない 64 "
                                 "文字までの名前にしてください)。")
                      .arg(name),
            m_services.app.Title, host::MessageBox::Icon::Critical);
        return;
    }
    SaveStamp(); // the one in use keeps its own file too
    m_stampName = name;
    SaveStamp();
}

void frm_QVanto::FillStampsMenu()
{
    QMenu *menu = m_menu.stamps;
    menu->clear();
    auto *group = new QActionGroup(menu);
    QStringList names = bas_QVanto::SavedStampNames(m_services.app);
    names.prepend(QString());
    for (const QString &name : names) {
        QAction *action = menu->addAction(name.isEmpty() ? QStringLiteral("既定の印") : name);
        action->setCheckable(true);
        action->setChecked(name == m_stampName);
        group->addAction(action);
        connect(
            action, &QAction::triggered, this, [this, name] { m_errors.run([&] { mnuStamp_Click(name); }); });
    }
    menu->addSeparator();
    connect(menu->addAction(QStringLiteral("今の印に名前を付けて残す…")), &QAction::triggered, this,
        [this] { m_errors.run([&] { mnuStampSaveAs_Click(); }); });
    menu->setTitle(
        QStringLiteral("印 (%1)").arg(m_stampName.isEmpty() ? QStringLiteral("既定") : m_stampName));
}
