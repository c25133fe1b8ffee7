#include "OneCopyPerFolder.h"

#include "host/AppInfo.h"
#include "host/Form.h"
#include "host/MessageBox.h"
#include "host/SingleInstance.h"

#include <QDir>

namespace app {

namespace {
// Long enough for a copy that is still starting to begin listening.
constexpr int kAnswerTimeoutMs = 3000;
} // namespace

std::optional<int> ClaimDataFolder(host::SingleInstance &instance, host::SingleInstance::Claim locked,
    const host::AppInfo &app, host::MessageBox &messages)
{
    if (locked == host::SingleInstance::Claim::Owner)
        instance.listen();
    if (locked != host::SingleInstance::Claim::Taken)
        return std::nullopt;
    if (instance.wakeOwner(kAnswerTimeoutMs))
        return 0;
    const host::SingleInstance::Owner owner = instance.owner();
    messages.show(
        QStringLiteral("別の %1 がこのフォルダーの設定と押印ログを使っています。\n%2\n"
                       "同じフォルダーでは一つしか起動できません。\n(使用中のプロセス: %3、ホスト %4)")
            .arg(app.Title, QDir::toNativeSeparators(QDir::cleanPath(app.dataFile({}))),
                QString::number(owner.pid), owner.hostName),
        app.Title, host::MessageBox::Icon::Critical);
    return 1;
}

void ShowWindowOnRequest(host::SingleInstance &instance, host::Form &form)
{
    QObject::connect(&instance, &host::SingleInstance::wakeRequested, &form, [&form] {
        form.SetWindowState(0);
        form.raise();
        form.activateWindow();
    });
}

} // namespace app
