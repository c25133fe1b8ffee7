#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

// What the program asks of a PDF, behind a narrow interface: the library that
// reads and writes PDFs lives in a module loaded on first use, so the window
// starts without it.
namespace pdf {

// Where a stamp goes: page (1-based) and the centre in millimetres from the
// page's top-left corner as a reader sees it (rotation and crop box applied).
struct StampPlacement {
    int page = 1;
    double xMm = 0;
    double yMm = 0;
    double sizeMm = 18; // the circle's diameter
};

// One stamp annotation found in a document.
struct FoundStamp {
    int page = 0;
    QString number;
};

// An opened document. Its bytes were read into memory, so the file it came
// from is never written or held open.
class PdfDocument {
public:
    virtual ~PdfDocument() = default;
    virtual int pageCount() const = 0;
    // The page as a reader sees it, in millimetres.
    virtual QSizeF pageSizeMm(int page) const = 0;
    virtual QImage renderPage(int page, double dpi) const = 0;
    // The stamps this program put into the document, in page order.
    virtual std::vector<FoundStamp> stamps() const = 0;
    // The whole document with one more stamp annotation: the face image,
    // upright on the page as shown, whose circle spans placement.sizeMm;
    // circleFraction is the share of the image's width the circle takes.
    // Empty, with a message in *error, when it cannot be made.
    virtual QByteArray withStamp(const StampPlacement &placement, const QImage &face, double circleFraction,
        const QString &number, QString *error)
        = 0;
};

// Opens a document from its bytes. Refuses, with a message for the user in
// *error: bytes that are no PDF, a PDF that cannot be read, an encrypted one.
using OpenPdfFunction = PdfDocument *(*)(const QByteArray &bytes, QString *error);

// The module's one exported symbol, looked up by this name.
inline constexpr char kOpenPdfSymbol[] = "qvanto_pdf_open";

// The largest stamp drawn: its print picture grows with the square of it.
inline constexpr double kMaxStampMm = 100;

// The message for a placement the page cannot take; empty when it fits.
QString CheckPlacement(const StampPlacement &placement, int pageCount, const QSizeF &pageSizeMm);

} // namespace pdf
