#include "stamp/StampNow.h"

#include "host/AppInfo.h"
#include "host/Clipboard.h"
#include "host/MessageBox.h"
#include "host/TextBox.h"
#include "stamp/PlaySound.h"
#include "stamp/StampLog.h"

#include <exception>

namespace stamp {

QString StampLogPath(const host::AppInfo &app)
{
    return app.dataFile(app.EXEName.toLower() + QStringLiteral(".log"));
}

void StampNow(StampContext &context)
{
    const auto &QVLabel = context.QVLabel;

    // Made on every press, whether or not the face shows it: the log always
    // records it. It follows the log's last number too, so a restart in the
    // same second or a clock set back never gives a number the log holds.
    // The change this raises redraws the face once already.
    const QString logPath = StampLogPath(context.app);
    bas_QVanto::ContinueAfter(context.idState, LastLoggedStampId(logPath));
    QVLabel[4]->SetText(bas_QVanto::NewStampId(context.idState, context.clock));
    context.RedrawStamp();
    context.clipboard.Clear();
    context.clipboard.SetData(
        context.PictureImage(), context.PicturePng ? context.PicturePng() : QByteArray());

    // By now the stamp is on the clipboard, which is what the user came for,
    // so a log that cannot be written is reported and the action goes on.
    try {
        appendStampLogRecord(logPath, QVLabel[4]->Text(),
            {QVLabel[0]->Text(), QVLabel[1]->Text(), QVLabel[2]->Text(), QVLabel[3]->Text()}, context.clock);
    } catch (const std::exception &) {
        context.messages.show(QStringLiteral("error"), context.app.Title, host::MessageBox::Icon::None);
    }

    bas_Api::PlaySound(context.sound, QStringLiteral("petan.wav"), true, true, false);
    context.Minimize();
}

} // namespace stamp
