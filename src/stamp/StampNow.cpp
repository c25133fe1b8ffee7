#include "stamp/StampNow.h"

#include "host/AppInfo.h"
#include "host/Clipboard.h"
#include "host/HostError.h"
#include "host/MessageBox.h"
#include "host/TextBox.h"
#include "stamp/IssueStamp.h"
#include "stamp/PlaySound.h"
#include "stamp/RegistryStamp.h"

namespace stamp {

QString StampLogPath(const host::AppInfo &app)
{
    return app.dataFile(app.EXEName.toLower() + QStringLiteral(".log"));
}

std::array<QString, 4> RecordRows(const std::array<host::TextBox *, 5> &QVLabel)
{
    return {QVLabel[0]->Text(), QVLabel[1]->Text(), QVLabel[2]->Text(), QVLabel[3]->Text()};
}

void StampNow(StampContext &context)
{
    const auto &QVLabel = context.QVLabel;

    // Made and logged on every press, whether or not the face shows it.
    // When the log cannot take the record the stamp still gets a number,
    // after the log's last one as far as it can be read, goes to the
    // clipboard, which is what the user came for, and the failure is
    // reported once it is there.
    const QString logPath = StampLogPath(context.app);
    bool logged = true;
    QString number;
    try {
        RegistryUse registry;
        registry.registry = context.registry ? context.registry() : nullptr;
        number = IssueStamp(logPath, RecordRows(QVLabel), context.idState, context.clock, &registry);
    } catch (const host::HostError &e) {
        if (e.code() != host::HostError::FileIo)
            throw;
        logged = false;
        number = UnloggedStampNumber(logPath, context.idState, context.clock);
    }
    // The change this raises redraws the face once already.
    QVLabel[4]->SetText(number);
    context.RedrawStamp();
    context.clipboard.Clear();
    context.clipboard.SetData(
        context.PictureImage(), context.PicturePng ? context.PicturePng() : QByteArray());
    if (!logged)
        context.messages.show(QStringLiteral("error"), context.app.Title, host::MessageBox::Icon::None);

    bas_Api::PlaySound(context.sound, QStringLiteral("petan.wav"), true, true, false);
    context.Minimize();
}

} // namespace stamp
