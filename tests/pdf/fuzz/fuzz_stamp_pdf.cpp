// libFuzzer target: arbitrary bytes as a PDF file, opened, its stamps listed
// and a stamp written on its first page, as the PDF module does each.
#include "pdf/PdfModule.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <QPdfWriter>

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sys/mman.h>
#include <unistd.h>

extern "C" pdf::PdfDocument *qvanto_pdf_open_file_4(int fileDescriptor, QString *error);

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

// A small seal: a circle and a text in an embedded font, made once.
const pdf::PrintedFace &face()
{
    static const pdf::PrintedFace *made = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static int argc = 1;
        static char name[] = "fuzz_stamp_pdf";
        static char *argv[] = {name, nullptr};
        new QGuiApplication(argc, argv);
        auto *f = new pdf::PrintedFace;
        QBuffer buffer(&f->pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(72);
        writer.setPageLayout(
            QPageLayout(QPageSize(QSizeF(54, 54), QPageSize::Point, QString(), QPageSize::ExactMatch),
                QPageLayout::Portrait, QMarginsF(), QPageLayout::Point));
        QPainter p(&writer);
        p.setPen(QPen(Qt::red, 2));
        p.drawEllipse(QPointF(27, 27), 25, 25);
        p.drawText(QPointF(15, 30), QStringLiteral("QV"));
        check(p.end());
        f->circleFraction = 50.0 / 54;
        return f;
    }();
    return *made;
}

std::unique_ptr<pdf::PdfDocument> open(const QByteArray &bytes)
{
    const int fd = ::memfd_create("fuzz.pdf", MFD_CLOEXEC);
    check(fd >= 0);
    check(::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size());
    check(::lseek(fd, 0, SEEK_SET) == 0);
    QString error;
    std::unique_ptr<pdf::PdfDocument> document(qvanto_pdf_open_file_4(fd, &error));
    check(document || !error.isEmpty()); // a refusal always says why
    return document;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const pdf::PrintedFace &seal = face();
    const std::unique_ptr<pdf::PdfDocument> document
        = open(QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)));
    if (!document)
        return 0;
    check(document->pageCount() > 0);
    const size_t before = document->stamps().size();
    // The signatures are read from every revision a hostile file may hold.
    QString signaturesError;
    (void)document->signatures(&signaturesError);
    const QSizeF page = document->pageSizeMm(1);
    QString error;
    const QByteArray stamped = document->withStamps(
        {{1, page.width() / 2, page.height() / 2, 10}}, seal, QStringLiteral("FUZZ00001"), &error);
    check(!stamped.isEmpty() || !error.isEmpty());
    if (stamped.isEmpty())
        return 0;
    // What is handed back as stamped opens with one more stamp.
    const std::unique_ptr<pdf::PdfDocument> again = open(stamped);
    check(again && again->stamps().size() == before + 1);
    return 0;
}
