#pragma once

#include <QDateTime>
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

// What a signature field says of its signer, written before the signature
// itself exists.
struct SignatureRequest {
    QString signerName; // /Name
    QString reason; // /Reason
    QDateTime time; // /M, the time claimed by the signer
    int contentsBytes = 0; // room kept for the signature's DER
};

// The signature's hex string in a prepared copy, '<' to '>' inclusive: the
// one part of the file its byte range leaves out, to be filled in place.
struct SignatureHole {
    qint64 begin = 0;
    qint64 end = 0;
};

// One signature found in a document, as the file holds it; what it is
// worth is for the signing module to say.
struct FoundSignature {
    int page = 0; // of its widget; 0 when it has none shown
    QString number; // the stamp it is the face of, when it is ours
    QString reason;
    QString name;
    QString subFilter;
    QByteArray contents; // the CMS, as stored (zeros after its end)
    QByteArray signedBytes; // the bytes its range covers, joined
    bool rangeSound = false; // two ranges around its own hex string only
    qint64 signedEnd = 0; // where the revision it signs ends
    // What later revisions changed beyond added annotations, signature
    // fields and the document information; empty when nothing.
    QString changedAfter;
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
    // The same copy with the first placement made a signature field whose
    // widget shows the face, its byte range written and its contents left
    // as zeros at *hole for the signature. The other placements get plain
    // stamps. Empty, with a message in *error, when it cannot be made.
    virtual QByteArray withSignatureField(const std::vector<StampPlacement> &placements,
        const PrintedFace &face, const QString &number, const SignatureRequest &request, SignatureHole *hole,
        QString *error)
        = 0;
    // Every signature of the document, in the order of the file. Reads the
    // whole file: asked only of files of bounded size.
    virtual std::vector<FoundSignature> signatures(QString *error) const = 0;
};

// Opens a document from a descriptor of a regular file opened for reading,
// which it takes over (closed with the document, or at once on a refusal).
// Refuses, with a message for the user in *error: a PDF that cannot be read,
// one that needs a password to open. One protected by an owner password only
// opens; whether it may be stamped is stampingRefusal()'s to say.
using OpenPdfFunction = PdfDocument *(*)(int fileDescriptor, QString *error);

// The module's one exported symbol, looked up by this name (new with each
// change of the function's type, so a stale module is refused, not called).
inline constexpr char kOpenPdfSymbol[] = "qvanto_pdf_open_file_4";

// The largest stamp drawn: its print picture grows with the square of it.
inline constexpr double kMaxStampMm = 100;

// The message for a placement the page cannot take, the whole circle on the
// page as shown; empty when it fits.
QString CheckPlacement(const StampPlacement &placement, int pageCount, const QSizeF &pageSizeMm);

// The message for the first placement the document cannot take; empty when
// all fit.
QString CheckPlacements(const std::vector<StampPlacement> &placements, const PdfDocument &document);

} // namespace pdf
