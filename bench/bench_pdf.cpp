// The floor of stamping a long PDF, one mode a process so that each has its
// own peak memory (run.py starts them in turn with the program's stamp-pdf):
//   bench_pdf make FILE PAGES   writes an A4 document of PAGES pages
//   bench_pdf unchanged FILE    PoDoFo loads FILE for an update and writes
//                               it, unchanged, after the original bytes
#include <podofo.h>

#include <QFile>
#include <QGuiApplication>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <cstdio>

namespace {

int make(const QString &path, int pages)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    QPainter painter(&writer);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        painter.drawText(QPointF(72, 72), QStringLiteral("Page %1").arg(i + 1));
        painter.fillRect(QRectF(72, 100, 400, 2), Qt::gray);
    }
    return painter.end() ? 0 : 1;
}

int unchanged(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 1;
    const QByteArray original = file.readAll();
    PoDoFo::PdfError::EnableLogging(false);
    PoDoFo::PdfMemDocument document;
    document.LoadFromBuffer(original.constData(), long(original.size()), true);
    PoDoFo::PdfRefCountedBuffer buffer(size_t(original.size()) + 64 * 1024);
    PoDoFo::PdfOutputDevice out(&buffer);
    out.Write(original.constData(), size_t(original.size()));
    document.WriteUpdate(&out, false);
    std::printf("%ld\n", long(out.GetLength()) - long(original.size()));
    return document.GetPageCount() > 0 ? 0 : 1;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args[1] == QLatin1String("make"))
        return make(args[2], args[3].toInt());
    if (args.size() == 3 && args[1] == QLatin1String("unchanged"))
        return unchanged(args[2]);
    std::fprintf(stderr, "usage: bench_pdf make FILE PAGES | unchanged FILE\n");
    return 2;
}
