#include "app/pdf/OpenInBackground.h"

#include "app/StampPdf.h"
#include "app/pdf/InBackground.h"

#include <QEventLoop>
#include <QProgressDialog>

namespace app {

namespace {

struct Opened {
    std::shared_ptr<pdf::PdfDocument> document;
    QString error;
};

} // namespace

std::shared_ptr<pdf::PdfDocument> OpenPdfInBackground(const QString &path, QString *error, QWidget *parent)
{
    QProgressDialog busy(QStringLiteral("PDF を開いています…"), QStringLiteral("キャンセル"), 0, 0, parent);
    busy.setWindowModality(Qt::WindowModal);
    busy.setMinimumDuration(300);
    QEventLoop loop;
    Opened opened;
    bool done = false;
    RunInBackground<Opened>(
        &busy,
        [path] {
            Opened result;
            result.document = OpenPdfFile(path, &result.error);
            return result;
        },
        [&](Opened result) {
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
