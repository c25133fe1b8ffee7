// Stamping PDFs from the window: a page view to place the stamps, and the
// stamps taken when the stamped copies are written.
#include "app/frm_QVanto.h"

#include "app/pdf/OpenInBackground.h"
#include "app/pdf/PdfStampDialog.h"
#include "app/pdf/SavedNotice.h"
#include "app/pdf/StampBatch.h"
#include "host/AppInfo.h"
#include "host/MessageBox.h"
#include "stamp/PlaySound.h"

#include <QFileInfo>

namespace {

QString namedProblem(const QString &path, const QString &message)
{
    // Most messages name the file already; the list names it first anyway.
    return QStringLiteral("・%1\n    %2")
        .arg(QFileInfo(path).fileName(),
            QString(message).replace(QLatin1Char('\n'), QStringLiteral("\n    ")));
}

} // namespace

void frm_QVanto::StampPdfsInWindow(const QStringList &paths)
{
    QStringList rest = paths;
    QStringList refused;
    std::shared_ptr<pdf::PdfDocument> document;
    while (!rest.isEmpty() && !document) {
        QString error;
        document = app::OpenPdfInBackground(rest.front(), &error, &m_form);
        if (!document && error.isEmpty())
            return; // the user stopped waiting
        if (!document) {
            refused << namedProblem(rest.front(), error);
            rest.removeFirst();
        }
    }
    if (!refused.isEmpty())
        m_services.messages.show(
            QStringLiteral("次の PDF には押印できません:\n%1").arg(refused.join(QLatin1Char('\n'))),
            m_services.app.Title, host::MessageBox::Icon::Critical);
    if (!document)
        return;
    const double sizeMm = app::PdfStampSizeMm(m_options);
    double circleFraction = 1;
    const QImage face = PrintFace(sizeMm, &circleFraction);
    app::PdfStampDialog dialog(
        document, rest, face, circleFraction, sizeMm,
        [&, document, rest](
            const QString &out, const app::PlacementRule &rule, std::function<void(bool)> done) {
            StampPdfs(app::PdfJobsFor(rest, document, out), rule, &dialog, std::move(done));
        },
        &m_form);
    dialog.exec();
}

app::StampBatch *frm_QVanto::StampPdfs(std::vector<app::PdfJob> jobs, const app::PlacementRule &rule,
    QWidget *parent, std::function<void(bool)> done)
{
    // One password for the whole save, asked before anything is taken.
    bool cancelled = false;
    const std::shared_ptr<app::PdfSigning> signing = AskSigning(&cancelled);
    if (cancelled) {
        if (done)
            done(false);
        return nullptr;
    }
    const size_t count = jobs.size();
    auto *batch = new app::StampBatch(
        std::move(jobs),
        [rule](const pdf::PdfDocument &document) { return app::PlacementsOn(rule, document.pageCount()); },
        [this, signing](pdf::PdfDocument &document, const QString &in, const QString &out,
            const std::vector<pdf::StampPlacement> &placements) {
            return app::PrepareStampedPdf(*this, document, in, out, placements, signing);
        },
        parent);
    connect(batch, &app::StampBatch::finished, this, [this, batch, count, done] {
        QStringList written;
        QStringList refused;
        for (const app::PdfJobResult &result : batch->results())
            if (result.number.isEmpty())
                refused << namedProblem(result.inPath, result.message);
            else
                written << result.outPath;
        if (!written.isEmpty())
            bas_Api::PlaySound(m_services.sound, QStringLiteral("petan.wav"), true, true, false);
        QString message;
        if (!refused.isEmpty())
            message = QStringLiteral("次の PDF には押印できませんでした:\n%1")
                          .arg(refused.join(QLatin1Char('\n')));
        if (batch->wasCancelled() && batch->results().size() < count)
            message += QStringLiteral("%1中止しました。残りの %2 個の PDF には押印していません。")
                           .arg(message.isEmpty() ? QString() : QStringLiteral("\n\n"))
                           .arg(count - batch->results().size());
        if (!message.isEmpty())
            m_services.messages.show(message, m_services.app.Title, host::MessageBox::Icon::Critical);
        if (!written.isEmpty()) {
            if (m_savedNotice)
                m_savedNotice->close();
            m_savedNotice = new app::SavedNotice(written, m_services.opener, &m_form);
            m_savedNotice->show();
        }
        batch->deleteLater();
        if (done)
            done(!written.isEmpty());
    });
    batch->start();
    return batch;
}

app::SavedNotice *frm_QVanto::savedNotice() const
{
    return m_savedNotice;
}
