// Stamping a PDF from the window: a page view to place the stamp, and the
// stamp taken when the stamped copy is written.
#include "app/frm_QVanto.h"

#include "app/pdf/OpenInBackground.h"
#include "app/pdf/PdfStampDialog.h"
#include "host/AppInfo.h"
#include "host/MessageBox.h"
#include "stamp/PlaySound.h"

void frm_QVanto::StampPdfInWindow(const QString &path)
{
    QString error;
    const std::shared_ptr<pdf::PdfDocument> document = app::OpenPdfInBackground(path, &error, &m_form);
    if (!document) {
        if (!error.isEmpty())
            m_services.messages.show(error, m_services.app.Title, host::MessageBox::Icon::Critical);
        return;
    }
    const double sizeMm = app::PdfStampSizeMm(m_options);
    double circleFraction = 1;
    const QImage face = PrintFace(sizeMm, &circleFraction);
    app::PdfStampDialog dialog(
        document, path, face, circleFraction, sizeMm,
        [&](const QString &outPath, const std::vector<pdf::StampPlacement> &placements) {
            return SavePdfStamp(*document, path, outPath, placements);
        },
        &m_form);
    dialog.exec();
}

bool frm_QVanto::SavePdfStamp(pdf::PdfDocument &document, const QString &inPath, const QString &outPath,
    const std::vector<pdf::StampPlacement> &placements)
{
    bool cancelled = false;
    const std::unique_ptr<app::PdfSigning> signing = AskSigning(&cancelled);
    if (cancelled)
        return false;
    const app::PdfOutcome outcome
        = app::WriteStampedPdf(*this, document, inPath, outPath, placements, signing.get());
    if (!outcome.message.isEmpty())
        m_services.messages.show(outcome.message, m_services.app.Title, host::MessageBox::Icon::Critical);
    if (!outcome.number.isEmpty())
        bas_Api::PlaySound(m_services.sound, QStringLiteral("petan.wav"), true, true, false);
    return !outcome.number.isEmpty(); // set once the copy is written
}
