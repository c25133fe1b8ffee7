// The look-up of a typed number, or of the numbers stamped into a PDF, in a
// dialog that reads the stamp log in the background.
#include "app/frm_QVanto.h"

#include "app/StampNumbers.h"
#include "app/pdf/LookUpDialog.h"
#include "host/AppInfo.h"
#include "host/Clock.h"
#include "host/MessageBox.h"
#include "pdf/LoadPdfModule.h"
#include "stamp/StampLookup.h"
#include "stamp/StampNow.h"

#include <QFileInfo>

void frm_QVanto::LookUpStamp(const QString &id)
{
    const QString logPath = stamp::StampLogPath(m_services.app);
    const QString typed = id.trimmed();
    if (typed.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        LookUpPdf(typed, logPath);
        return;
    }
    bool isNumber = false;
    const QString description = stamp::DescribeStampId(typed, m_services.clock.now(), &isNumber);
    if (!isNumber) {
        m_services.messages.show(description, m_services.app.Title, host::MessageBox::Icon::None);
        return;
    }
    ShowLookUp(new app::LookUpDialog(
        description,
        [typed](QString *) {
            return std::vector<stamp::NumberOnPage> {{0, typed}};
        },
        logPath, &m_form, RegistryShared()));
}

void frm_QVanto::ShowLookUp(app::LookUpDialog *dialog)
{
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    m_lookUp = dialog;
    dialog->show();
}

void frm_QVanto::LookUpPdf(const QString &path, const QString &logPath)
{
    ShowLookUp(new app::LookUpDialog(
        QStringLiteral("%1 の押印番号").arg(QFileInfo(path).fileName()),
        [path](QString *error) {
            const std::unique_ptr<pdf::PdfDocument> document = pdf::OpenPdf(path, error);
            if (!document)
                return std::vector<stamp::NumberOnPage>();
            std::vector<stamp::NumberOnPage> numbers = app::NumbersWithSignatures(*document);
            if (numbers.empty())
                *error = app::NoStampNumbersMessage(path);
            return numbers;
        },
        logPath, &m_form, RegistryShared()));
}

app::LookUpDialog *frm_QVanto::lookUpDialog() const
{
    return m_lookUp;
}
