// The PDF module: documents read and drawn through Poppler, stamped through
// PoDoFo (StampUpdate). Built as
// a library of its own and loaded on first use.
#include "pdf/PdfModule.h"
#include "pdf/SignatureScan.h"
#include "pdf/StampUpdate.h"

#include <poppler-annotation.h>
#include <poppler-qt6.h>

#include <QBuffer>
#include <QDeadlineTimer>
#include <QFile>
#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <limits>
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

// Our seals: stamp annotations, and the widgets of signatures they are the
// face of.
const Poppler::Annotation::SubType kSeals[] = {Poppler::Annotation::AStamp, Poppler::Annotation::AWidget};

// The file Poppler reads, whose reads fail once the work they serve is to
// stop: the opening past its time, a drawing given up. Without it, one
// drawing step that reads the file (a damaged table rebuilt on the way) could
// not be stopped.
//
// Poppler reads a kilobyte at a time and jumps between objects: through
// QFile each read was a seek and a system call (or a 16 KiB buffer thrown away
// at every seek, which read a 1,000-page file 60 times over to open it). Reads
// are served instead from a few windows of the file kept here: bounded
// memory, and a small file read once.
class GuardedFile final : public QFile {
public:
    void guard(std::function<bool()> stop) { m_stop = std::move(stop); }

    // The position is Qt's alone: reads go through pread, never through the
    // descriptor's own offset.
    bool seek(qint64 pos) override { return QIODevice::seek(pos); }

protected:
    qint64 readData(char *data, qint64 length) override
    {
        if (m_stop && m_stop())
            return -1;
        qint64 done = 0;
        while (done < length) {
            const qint64 at = pos() + done;
            const Window *window = windowAt(at);
            if (!window)
                return done > 0 ? done : -1;
            const qint64 n = qMin(length - done, window->start + window->bytes.size() - at);
            if (n <= 0)
                break; // the end of the file
            std::memcpy(data + done, window->bytes.constData() + (at - window->start), size_t(n));
            done += n;
        }
        return done;
    }

private:
    static constexpr qint64 kWindowBytes = 16 * 1024;
    static constexpr int kWindows = 64;
    struct Window {
        qint64 start = -1;
        QByteArray bytes;
        quint64 used = 0;
    };

    // The window holding `at`, read when none does over the one used
    // longest ago; nothing when the file cannot be read.
    const Window *windowAt(qint64 at)
    {
        const qint64 start = at / kWindowBytes * kWindowBytes;
        Window *oldest = &m_windows[0];
        for (Window &window : m_windows) {
            if (window.start == start) {
                window.used = ++m_uses;
                return &window;
            }
            if (window.used < oldest->used)
                oldest = &window;
        }
        oldest->start = -1;
        oldest->bytes.resize(kWindowBytes);
        qint64 got = 0;
        while (got < kWindowBytes) {
            const ssize_t n = ::pread(
                handle(), oldest->bytes.data() + got, size_t(kWindowBytes - got), off_t(start + got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                return nullptr;
            if (n == 0)
                break;
            got += n;
        }
        oldest->bytes.resize(got);
        oldest->start = start;
        oldest->used = ++m_uses;
        return oldest;
    }

    std::function<bool()> m_stop;
    std::array<Window, kWindows> m_windows;
    quint64 m_uses = 0;
};

// Asked by Poppler while it draws, with the stop function as its payload.
bool shouldStop(const QVariant &payload)
{
    const auto *stop = static_cast<const StopDrawing *>(payload.value<void *>());
    return (*stop)();
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
            for (const auto &annotation : p->annotations({std::begin(kSeals), std::end(kSeals)}))
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
        // The writer cannot append an update that would have to be
        // encrypted with the document's key: refused before a number is
        // taken rather than failing after it.
        if (m_document->isEncrypted())
            return QStringLiteral(
                "この PDF は暗号化されているため、押印できません (作成者のパスワードで保護された "
                "PDF への押印はまだできません)。");
        return {};
    }

    QByteArray withStamps(const std::vector<StampPlacement> &placements, const PrintedFace &face,
        const QString &number, QString *error) override
    {
        return appended(placements, number, error, [&](const QByteArray &original) {
            return AppendStamps(original, placements, face, number, error);
        });
    }

    QByteArray withSignatureField(const std::vector<StampPlacement> &placements, const PrintedFace &face,
        const QString &number, const SignatureRequest &request, SignatureHole *hole, QString *error) override
    {
        return appended(placements, number, error, [&](const QByteArray &original) {
            return AppendSignatureField(original, placements, face, number, request, hole, error);
        });
    }

    std::vector<FoundSignature> signatures(QString *error) const override
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        const QByteArray file = wholeFile();
        if (file.isEmpty()) {
            *error = QStringLiteral("PDF を読めません。");
            return {};
        }
        return FindSignatures(file, error);
    }

private:
    // The whole file with what `write` appends to it, read back before
    // anyone relies on it.
    template<typename Write>
    QByteArray appended(
        const std::vector<StampPlacement> &placements, const QString &number, QString *error, Write write)
    {
        if (const QString refusal = stampingRefusal(); !refusal.isEmpty()) {
            *error = refusal;
            return {};
        }
        const std::lock_guard<std::mutex> lock(m_mutex);
        for (const StampPlacement &placement : placements)
            if (placement.page < 1 || placement.page > pageCount()) {
                *error = QStringLiteral("%1 ページを読めません。").arg(placement.page);
                return {};
            }
        const QByteArray original = wholeFile();
        if (original.isEmpty()) {
            *error = QStringLiteral("PDF を読めません。");
            return {};
        }
        QByteArray out = write(original);
        if (out.isEmpty())
            return {};
        // A copy that does not open with its pages and every new stamp is a
        // failure, not a success.
        if (!out.startsWith(original) || !holdsStamps(out, placements, number)) {
            *error = QStringLiteral("押印した PDF を作れませんでした。");
            return {};
        }
        return out;
    }

    // The file as it is, read through the descriptor held since opening,
    // without moving the position Poppler reads from.
    QByteArray wholeFile() const
    {
        const qint64 size = m_file->size();
        if (size <= 0 || size > std::numeric_limits<qsizetype>::max() / 2)
            return {};
        QByteArray bytes(qsizetype(size), Qt::Uninitialized);
        qint64 done = 0;
        while (done < size) {
            const ssize_t got
                = ::pread(m_file->handle(), bytes.data() + done, size_t(size - done), off_t(done));
            if (got < 0 && errno == EINTR)
                continue;
            if (got <= 0)
                return {};
            done += got;
        }
        return bytes;
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
            for (const auto &annotation : copy->page(i)->annotations({std::begin(kSeals), std::end(kSeals)}))
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
    if (!file->open(fd, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle)) {
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

extern "C" Q_DECL_EXPORT pdf::PdfDocument *qvanto_pdf_open_file_4(int fileDescriptor, QString *error)
{
    return pdf::open(fileDescriptor, error);
}
