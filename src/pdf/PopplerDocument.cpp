// The PDF module: documents read, drawn and stamped through Poppler. Built as
// a library of its own and loaded on first use.
#include "pdf/PdfModule.h"

#include <poppler-annotation.h>
#include <poppler-qt6.h>

#include <QBuffer>
#include <QDeadlineTimer>
#include <QFile>
#include <QTransform>
#include <algorithm>
#include <chrono>
#include <functional>
#include <mutex>
#include <unistd.h>

namespace pdf {

namespace {

constexpr double kPointsPerMm = 72.0 / 25.4;

// Opening reads the cross-reference table and the page tree; a damaged or
// made-up file makes Poppler read the whole file in search of its objects,
// which for gigabytes takes minutes. Past this time its reads fail, and the
// file is refused as damaged.
constexpr std::chrono::seconds kOpeningTime {10};

// The file Poppler reads, whose reads fail once the work they serve is to
// stop: the opening past its time, a drawing given up. Without it, one
// drawing step that reads the file (a damaged table rebuilt on the way) could
// not be stopped.
class GuardedFile final : public QFile {
public:
    void guard(std::function<bool()> stop) { m_stop = std::move(stop); }

protected:
    qint64 readData(char *data, qint64 length) override
    {
        if (m_stop && m_stop())
            return -1;
        return QFile::readData(data, length);
    }

private:
    std::function<bool()> m_stop;
};

// Asked by Poppler while it draws, with the stop function as its payload.
bool shouldStop(const QVariant &payload)
{
    const auto *stop = static_cast<const StopDrawing *>(payload.value<void *>());
    return (*stop)();
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

std::unique_ptr<Poppler::Document> checked(std::unique_ptr<Poppler::Document> document, QString *error);

class PopplerDocument final : public PdfDocument {
public:
    PopplerDocument(std::unique_ptr<GuardedFile> file, std::unique_ptr<Poppler::Document> document)
        : m_file(std::move(file)), m_document(std::move(document))
    {
        m_document->setRenderHint(Poppler::Document::Antialiasing);
        m_document->setRenderHint(Poppler::Document::TextAntialiasing);
        // Poppler gives the crop box in points, already turned as shown.
        for (int i = 0; i < m_document->numPages(); ++i)
            m_pageSizes.push_back(m_document->page(i)->pageSizeF() / kPointsPerMm);
    }

    int pageCount() const override { return int(m_pageSizes.size()); }

    QSizeF pageSizeMm(int page) const override
    {
        return page >= 1 && page <= pageCount() ? m_pageSizes[size_t(page - 1)] : QSizeF();
    }

    QImage renderPage(int page, double dpi, const StopDrawing &stop) const override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        const std::unique_ptr<Poppler::Page> p = m_document->page(page - 1);
        if (!p)
            return {};
        if (!stop)
            return p->renderToImage(dpi, dpi);
        m_file->guard(stop);
        QImage image = p->renderToImage(dpi, dpi, -1, -1, -1, -1, Poppler::Page::Rotate0, nullptr, nullptr,
            shouldStop, QVariant::fromValue(static_cast<void *>(const_cast<StopDrawing *>(&stop))));
        m_file->guard({});
        // Stopped drawing leaves part of the page: not a picture of it.
        return stop() ? QImage() : image;
    }

    std::vector<FoundStamp> stamps() const override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
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

    QString stampingRefusal() const override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        // Opened without the owner's password, the document's permissions
        // hold: an owner may forbid annotations.
        if (m_document->isEncrypted() && !m_document->okToAddNotes())
            return QStringLiteral(
                "この PDF は作成者の設定で注釈の追加が禁止されているため、押印できません。");
        return {};
    }

    QByteArray withStamps(const std::vector<StampPlacement> &placements, const QImage &face,
        double circleFraction, const QString &number, QString *error) override
    {
        if (const QString refusal = stampingRefusal(); !refusal.isEmpty()) {
            *error = refusal;
            return {};
        }
        const std::lock_guard<std::mutex> lock(m_mutex);
        // A drawing given up fails the file's reads, and Poppler may then
        // have rebuilt its table of objects from a file that read as empty;
        // a copy written from that table loses the pages. The copy is made
        // from the file opened afresh, which no drawing has touched.
        QString openError;
        const std::unique_ptr<Poppler::Document> document
            = checked(Poppler::Document::load(m_file.get()), &openError);
        if (!document || document->numPages() != pageCount()) {
            *error = QStringLiteral("PDF を読み直せません。%1").arg(openError);
            return {};
        }
        for (const StampPlacement &placement : placements)
            if (!addStamp(*document, placement, face, circleFraction, number)) {
                *error = QStringLiteral("%1 ページを読めません。").arg(placement.page);
                return {};
            }

        QByteArray out;
        QBuffer buffer(&out);
        buffer.open(QIODevice::WriteOnly);
        const std::unique_ptr<Poppler::PDFConverter> converter = document->pdfConverter();
        converter->setOutputDevice(&buffer);
        converter->setPDFOptions(Poppler::PDFConverter::WithChanges);
        // Read back before anyone relies on it: a copy that does not open
        // with its pages and every new stamp is a failure, not a success.
        if (!converter->convert() || !holdsStamps(out, placements, number)) {
            *error = QStringLiteral("押印した PDF を作れませんでした。");
            return {};
        }
        return out;
    }

private:
    static bool addStamp(Poppler::Document &document, const StampPlacement &placement, const QImage &face,
        double circleFraction, const QString &number)
    {
        const std::unique_ptr<Poppler::Page> page = document.page(placement.page - 1);
        if (!page)
            return false;
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
        return true;
    }

    // Whether the copy opens with all its pages and the number on each page
    // it was put on, as many times as it was.
    bool holdsStamps(
        const QByteArray &bytes, const std::vector<StampPlacement> &placements, const QString &number) const
    {
        QString error;
        const std::unique_ptr<Poppler::Document> copy
            = checked(Poppler::Document::loadFromData(bytes), &error);
        if (!copy || copy->numPages() != pageCount())
            return false;
        std::vector<int> missing(size_t(pageCount()), 0);
        for (const StampPlacement &placement : placements)
            ++missing[size_t(placement.page - 1)];
        for (int i = 0; i < copy->numPages(); ++i)
            for (const auto &annotation : copy->page(i)->annotations({Poppler::Annotation::AStamp}))
                if (annotation->contents() == number && annotation->uniqueName() == number)
                    --missing[size_t(i)];
        return std::all_of(missing.begin(), missing.end(), [](int n) { return n == 0; });
    }

    std::unique_ptr<GuardedFile> m_file; // Poppler reads from it as long as it lives
    std::unique_ptr<Poppler::Document> m_document;
    std::vector<QSizeF> m_pageSizes;
    mutable std::mutex m_mutex; // Poppler draws and writes one thing at a time
};

// The document when it can be read page by page; nothing, with a message,
// when it is locked or damaged.
std::unique_ptr<Poppler::Document> checked(std::unique_ptr<Poppler::Document> document, QString *error)
{
    // A user password is needed to open it; one with an owner password only
    // opens, and its permissions are kept (stampingRefusal).
    if (document && document->isLocked()) {
        *error = QStringLiteral("パスワードで保護された PDF は開けません (暗号化されています)。");
        return nullptr;
    }
    bool readable = document && document->numPages() > 0;
    for (int i = 0; readable && i < document->numPages(); ++i)
        readable = document->page(i) != nullptr;
    if (!readable) {
        *error = QStringLiteral("PDF が壊れていて読めません。");
        return nullptr;
    }
    return document;
}

PdfDocument *open(int fd, QString *error)
{
    // Poppler's notes on files it repaired as it read them are not for the
    // user: what cannot be read is refused with a message of our own. Set
    // once: documents are opened on several threads.
    static std::once_flag quiet;
    std::call_once(
        quiet, [] { Poppler::setDebugErrorFunction([](const QString &, const QVariant &) {}, QVariant()); });
    auto file = std::make_unique<GuardedFile>();
    if (!file->open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        *error = QStringLiteral("PDF を読めません。");
        return nullptr;
    }
    const QDeadlineTimer deadline(kOpeningTime);
    file->guard([deadline] { return deadline.hasExpired(); });
    // Read from the file as needed, never whole: the file may be far larger
    // than memory.
    std::unique_ptr<Poppler::Document> document = checked(Poppler::Document::load(file.get()), error);
    const bool tooSlow = deadline.hasExpired();
    file->guard({});
    if (document && tooSlow)
        document.reset();
    if (!document) {
        if (tooSlow)
            *error = QStringLiteral("PDF が壊れていて読めません (読み始めるのに時間がかかりすぎます)。");
        return nullptr;
    }
    return new PopplerDocument(std::move(file), std::move(document));
}

} // namespace

} // namespace pdf

extern "C" Q_DECL_EXPORT pdf::PdfDocument *qvanto_pdf_open_file_stamps(int fileDescriptor, QString *error)
{
    return pdf::open(fileDescriptor, error);
}
