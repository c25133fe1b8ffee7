#pragma once

#include <QImage>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <functional>
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

// The face as it goes into a PDF.
struct PrintedFace {
    QByteArray pdf; // one page, the square around the circle, vectors
    double circleFraction = 1; // the share of the page's width the circle's diameter takes
};

// Asked now and then while a page is drawn; true stops the drawing.
using StopDrawing = std::function<bool()>;

// An opened document. It reads the file it came from as needed, through a
// descriptor opened for reading only: the file is never written. One thread
// at a time draws, lists stamps or stamps; the page count and sizes are read
// at opening and may be asked from any thread while it does.
class PdfDocument {
public:
    virtual ~PdfDocument() = default;
    virtual int pageCount() const = 0;
    // The page as a reader sees it, in millimetres.
    virtual QSizeF pageSizeMm(int page) const = 0;
    // The page drawn at `dpi`; a null image when it cannot be drawn or
    // `stop` said so (what is drawn by then is thrown away).
    virtual QImage renderPage(int page, double dpi, const StopDrawing &stop) const = 0;
    QImage renderPage(int page, double dpi) const { return renderPage(page, dpi, {}); }
    // The stamps this program put into the document, in page order.
    virtual std::vector<FoundStamp> stamps() const = 0;
    // Why stamps may not be added to this document (its permissions forbid
    // annotations); empty when they may. Asked before a number is taken.
    virtual QString stampingRefusal() const = 0;
    // The whole file with one more stamp annotation on each placement, the
    // same face and number on each: the original bytes followed by one
    // update, so what was signed before stays as signed. The face stands
    // upright on the page as shown, its circle spanning placement.sizeMm.
    // Empty, with a message in *error, when it cannot be made.
    virtual QByteArray withStamps(const std::vector<StampPlacement> &placements, const PrintedFace &face,
        const QString &number, QString *error)
        = 0;
};

// Opens a document from a descriptor of a regular file opened for reading,
// which it takes over (closed with the document, or at once on a refusal).
// Refuses, with a message for the user in *error: a PDF that cannot be read,
// one that needs a password to open. One protected by an owner password only
// opens; whether it may be stamped is stampingRefusal()'s to say.
using OpenPdfFunction = PdfDocument *(*)(int fileDescriptor, QString *error);

// The module's one exported symbol, looked up by this name (new with each
// change of the function's type, so a stale module is refused, not called).
inline constexpr char kOpenPdfSymbol[] = "qvanto_pdf_open_file_3";

// The largest stamp drawn: its print picture grows with the square of it.
inline constexpr double kMaxStampMm = 100;

// The message for a placement the page cannot take, the whole circle on the
// page as shown; empty when it fits.
QString CheckPlacement(const StampPlacement &placement, int pageCount, const QSizeF &pageSizeMm);

// The message for the first placement the document cannot take; empty when
// all fit.
QString CheckPlacements(const std::vector<StampPlacement> &placements, const PdfDocument &document);

} // namespace pdf
