// The look-up of the numbers stamped into a PDF.
#include "frm_QVanto.h"

#include "StampPdf.h"
#include "host/AppInfo.h"
#include "host/MessageBox.h"
#include "stamp/PdfStampsReport.h"

#include <QDir>
#include <QFileInfo>

void frm_QVanto::LookUpPdf(const QString &path, const QString &logPath)
{
    QString error;
    const std::unique_ptr<pdf::PdfDocument> document = app::OpenPdfFile(path, &error);
    if (!document) {
        m_services.messages.show(error, m_services.app.Title, host::MessageBox::Icon::Critical);
        return;
    }
    std::vector<stamp::NumberOnPage> found;
    for (const pdf::FoundStamp &stamp : document->stamps())
        found.push_back({stamp.page, stamp.number});
    m_services.messages.show(stamp::PdfStampsReport(QFileInfo(path).fileName(), found, logPath),
        m_services.app.Title, host::MessageBox::Icon::None);
}
