// Signing from the window: the key file chosen once, the password asked at
// each signing and never kept, the key and the timestamp server checked on
// a thread of their own.
#include "app/frm_QVanto.h"

#include "app/SignedStamp.h"
#include "app/pdf/InBackground.h"
#include "host/AppInfo.h"
#include "host/Clock.h"
#include "host/MessageBox.h"

#include <QAction>
#include <QEventLoop>
#include <QFileInfo>
#include <QInputDialog>
#include <QProgressDialog>

void frm_QVanto::SetSigningKey(const QString &path)
{
    for (bas_QVanto::SettingsText &text : m_settingTexts)
        if (text.key == u"signcert")
            text.value = path;
    m_menu.signKey->setChecked(!path.isEmpty());
    m_menu.signKey->setText(path.isEmpty()
            ? QStringLiteral("PDF の押印に署名する (鍵を選ぶ)…")
            : QStringLiteral("PDF の押印に署名する (%1)").arg(QFileInfo(path).fileName()));
}

std::unique_ptr<app::PdfSigning> frm_QVanto::AskSigning(bool *cancelled)
{
    *cancelled = false;
    const QString keyPath = settingText(QStringLiteral("signcert"));
    if (keyPath.isEmpty())
        return nullptr;
    bool ok = false;
    const QString password = QInputDialog::getText(&m_form, QStringLiteral("署名"),
        QStringLiteral("署名の鍵 %1 のパスワード:").arg(QFileInfo(keyPath).fileName()), QLineEdit::Password,
        QString(), &ok);
    if (!ok) {
        *cancelled = true;
        return nullptr;
    }
    // The check may wait 10 s on the timestamp server: the window is not
    // held up meanwhile.
    struct Checked {
        std::shared_ptr<app::PdfSigning> signing;
        QString error;
    };
    QProgressDialog busy(QStringLiteral("署名の鍵と時刻認証局を確かめています…"), QString(), 0, 0, &m_form);
    busy.setWindowModality(Qt::WindowModal);
    busy.setMinimumDuration(500);
    QEventLoop wait;
    Checked result;
    app::RunInBackground<Checked>(
        &busy,
        [keyPath, secret = password.toUtf8(), tsa = settingText(QStringLiteral("tsa")),
            now = m_services.clock.now()] {
            Checked checked;
            checked.signing = app::OpenSigning(keyPath, secret, tsa, now, &checked.error);
            return checked;
        },
        [&](Checked checked) {
            result = std::move(checked);
            wait.quit();
        });
    wait.exec();
    if (!result.signing) {
        m_services.messages.show(result.error, m_services.app.Title, host::MessageBox::Icon::Critical);
        *cancelled = true;
        return nullptr;
    }
    auto signing = std::make_unique<app::PdfSigning>();
    signing->signer = std::move(result.signing->signer);
    signing->tsaUrl = result.signing->tsaUrl;
    signing->time = result.signing->time;
    return signing;
}
