#pragma once

#include "pdf/PdfModule.h"

#include <memory>

class QWidget;

namespace app {

// A PDF opened to be stamped, or why not.
struct OpenedPdf {
    std::shared_ptr<pdf::PdfDocument> document;
    QString error;
};
// Opens it on the calling thread, which is never the GUI thread.
OpenedPdf OpenPdfToStamp(const QString &path);

// Opens the PDF to be stamped on a thread of its own, with a busy dialog over
// `parent` whose button lets the user stop waiting; the window stays
// responsive meanwhile. Nothing when refused (the message in *error) or
// when the user stopped waiting (*error empty).
std::shared_ptr<pdf::PdfDocument> OpenPdfInBackground(const QString &path, QString *error, QWidget *parent);

} // namespace app
