#pragma once

#include "pdf/PdfModule.h"

#include <memory>

class QWidget;

namespace app {

// Opens the PDF to be stamped on a thread of its own, with a busy dialog over
// `parent` whose button lets the user stop waiting; the window stays
// responsive meanwhile. Nothing when refused (the message in *error) or
// when the user stopped waiting (*error empty).
std::shared_ptr<pdf::PdfDocument> OpenPdfInBackground(const QString &path, QString *error, QWidget *parent);

} // namespace app
