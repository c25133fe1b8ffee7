#include "app/pdf/OpenInBackground.h"

#include "app/StampPdf.h"
#include "app/pdf/InBackground.h"

#include <QEventLoop>
#include <QProgressDialog>

namespace app {

OpenedPdf OpenPdfToStamp(const QString &path)
{
    OpenedPdf opened;
    opened.document = OpenPdfFile(path, &opened.error);
    return opened;
}

std::shared_ptr<pdf::PdfDocument> OpenPdfInBackground(const QString &path, QString *error, QWidget *parent)
{
    QProgressDialog busy(QStringLiteral("PDF を開いています…"), QStringLiteral("キャンセル"), 0, 0, parent);
    busy.setWindowModality(Qt::WindowModal);
    busy.setMinimumDuration(300);
    QEventLoop loop;
    OpenedPdf opened;
    bool done = false;
    RunInBackground<OpenedPdf>(
        &busy, [path] { return OpenPdfToStamp(path); },
        [&](OpenedPdf result) {
            opened = std::move(result);
            done = true;
            loop.quit();
        });
    QObject::connect(&busy, &QProgressDialog::canceled, &loop, &QEventLoop::quit);
    if (!done)
        loop.exec();
    // Given up: the thread ends by itself and drops what it opened.
    *error = opened.error;
    return opened.document;
}

} // namespace app
