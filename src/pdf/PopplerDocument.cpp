// The PDF module: documents read, drawn and stamped through Poppler. Built as
// a library of its own and loaded on first use.
#include "pdf/PdfModule.h"

#include <poppler-annotation.h>
#include <poppler-qt6.h>

#include <QBuffer>
#include <QTransform>
#include <algorithm>

namespace pdf {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

bool looksLikePdf(const QByteArray &bytes)
{
    // Readers accept the header anywhere in the first kilobyte.
    return bytes.left(1024).contains("%PDF-");
}

// Turns the face so that it stands upright on a page that readers show
// turned: an annotation's picture turns with its page.
QImage uprightOn(const Poppler::Page &page, const QImage &face)
{
    switch (page.orientation()) {
    case Poppler::Page::Landscape: return face.transformed(QTransform().rotate(-90));
    case Poppler::Page::UpsideDown: return face.transformed(QTransform().rotate(180));
    case Poppler::Page::Seascape: return face.transformed(QTransform().rotate(90));
    case Poppler::Page::Portrait: break;
    }
    return face;
}

PdfDocument *open(const QByteArray &bytes, QString *error);

class PopplerDocument final : public PdfDocument {
public:
    PopplerDocument(QByteArray bytes, std::unique_ptr<Poppler::Document> document)
        : m_bytes(std::move(bytes)), m_document(std::move(document))
    {
        m_document->setRenderHint(Poppler::Document::Antialiasing);
        m_document->setRenderHint(Poppler::Document::TextAntialiasing);
    }

    int pageCount() const override { return m_document->numPages(); }

    QSizeF pageSizeMm(int page) const override
    {
        const std::unique_ptr<Poppler::Page> p = m_document->page(page - 1);
        // Poppler gives the crop box in points, already turned as shown.
        return p ? p->pageSizeF() / kPointsPerMm : QSizeF();
    }

    QImage renderPage(int page, double dpi) const override
    {
        const std::unique_ptr<Poppler::Page> p = m_document->page(page - 1);
        return p ? p->renderToImage(dpi, dpi) : QImage();
    }

    std::vector<FoundStamp> stamps() const override
    {
        std::vector<FoundStamp> found;
        for (int i = 0; i < m_document->numPages(); ++i) {
            const std::unique_ptr<Poppler::Page> p = m_document->page(i);
            if (!p)
                continue;
            for (const auto &annotation : p->annotations({Poppler::Annotation::AStamp}))
                // Ours carry the number both as their text and as their name.
                if (!annotation->contents().isEmpty() && annotation->contents() == annotation->uniqueName())
                    found.push_back({i + 1, annotation->contents()});
        }
        return found;
    }

    QByteArray withStamp(const StampPlacement &placement, const QImage &face, double circleFraction,
        const QString &number, QString *error) override
    {
        const std::unique_ptr<Poppler::Page> page = m_document->page(placement.page - 1);
        if (!page) {
            *error = QStringLiteral("%1 ページを読めません。").arg(placement.page);
            return {};
        }
        const QSizeF pageMm = page->pageSizeF() / kPointsPerMm;
        const double sideMm = placement.sizeMm / circleFraction;
        // Annotation boundaries are fractions of the page as shown.
        const QRectF boundary((placement.xMm - sideMm / 2) / pageMm.width(),
            (placement.yMm - sideMm / 2) / pageMm.height(), sideMm / pageMm.width(),
            sideMm / pageMm.height());

        Poppler::StampAnnotation stamp;
        stamp.setBoundary(boundary);
        stamp.setContents(number);
        stamp.setUniqueName(number);
        stamp.setAuthor(QStringLiteral("QVanto"));
        stamp.setStampIconName(QStringLiteral("QVanto"));
        page->addAnnotation(&stamp);
        // After adding: the picture is built for the annotation on its page.
        stamp.setStampCustomImage(uprightOn(*page, face));

        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        const std::unique_ptr<Poppler::PDFConverter> converter = m_document->pdfConverter();
        converter->setOutputDevice(&buffer);
        converter->setPDFOptions(Poppler::PDFConverter::WithChanges);
        // Read back before anyone relies on it: a copy that does not open
        // with its pages and the new stamp is a failure, not a success.
        if (!converter->convert() || !holdsStamp(out, number)) {
            *error = QStringLiteral("押印した PDF を作れませんでした。");
            return {};
        }
        return out;
    }

private:
    bool holdsStamp(const QByteArray &bytes, const QString &number) const
    {
        QString error;
        const std::unique_ptr<PdfDocument> copy(open(bytes, &error));
        if (!copy || copy->pageCount() != pageCount())
            return false;
        const std::vector<FoundStamp> found = copy->stamps();
        return std::any_of(
            found.begin(), found.end(), [&](const FoundStamp &stamp) { return stamp.number == number; });
    }

    QByteArray m_bytes; // Poppler reads from these as long as it lives
    std::unique_ptr<Poppler::Document> m_document;
};

PdfDocument *open(const QByteArray &bytes, QString *error)
{
    // Poppler's notes on files it repaired as it read them are not for the
    // user: what cannot be read is refused with a message of our own.
    Poppler::setDebugErrorFunction([](const QString &, const QVariant &) {}, QVariant());
    if (!looksLikePdf(bytes)) {
        *error = QStringLiteral("PDF ファイルではありません。");
        return nullptr;
    }
    std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(bytes);
    if (document && (document->isLocked() || document->isEncrypted())) {
        *error = QStringLiteral("暗号化された PDF には押印できません。");
        return nullptr;
    }
    bool readable = document && document->numPages() > 0;
    for (int i = 0; readable && i < document->numPages(); ++i)
        readable = document->page(i) != nullptr;
    if (!readable) {
        *error = QStringLiteral("PDF が壊れていて読めません。");
        return nullptr;
    }
    return new PopplerDocument(bytes, std::move(document));
}

} // namespace

} // namespace pdf

extern "C" Q_DECL_EXPORT pdf::PdfDocument *qvanto_pdf_open(const QByteArray &bytes, QString *error)
{
    return pdf::open(bytes, error);
}
