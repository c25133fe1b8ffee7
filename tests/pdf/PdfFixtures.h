#pragma once

// PDFs made for the tests: Qt writes them, qpdf turns, crops and encrypts.
#include "Files.h"

#include <QImage>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QTemporaryDir>

namespace pdffixtures {

// A4 pages, blank but for a small grey mark that is not the stamp's ink.
inline bool writeA4(const QString &path, int pages)
{
    QPdfWriter writer(path);
    writer.setPageSize(QPageSize(QPageSize::A4));
    writer.setResolution(72);
    QPainter painter(&writer);
    for (int i = 0; i < pages; ++i) {
        if (i > 0)
            writer.newPage();
        painter.fillRect(QRect(10, 10, 20, 20), Qt::gray);
    }
    return painter.end();
}

inline bool run(const QString &program, const QStringList &arguments, const QByteArray &input = {},
    QByteArray *output = nullptr)
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(30000))
        return false;
    if (output)
        *output = process.readAllStandardOutput();
    // qpdf exits 3 for warnings, with the file written.
    return process.exitStatus() == QProcess::NormalExit
        && (process.exitCode() == 0 || process.exitCode() == 3);
}

// Page 2 turned a quarter clockwise as readers show it.
inline bool rotatePage2(const QString &in, const QString &out)
{
    return run(QStringLiteral("qpdf"), {in, QStringLiteral("--rotate=+90:2"), out});
}

// Every page given a crop box 50 pt in from the left and 100 pt up from the
// bottom of the media box: what a reader sees starts there.
inline bool cropPages(const QString &in, const QString &out)
{
    QByteArray qdf;
    if (!run(QStringLiteral("qpdf"),
            {QStringLiteral("--qdf"), QStringLiteral("--object-streams=disable"), in, QStringLiteral("-")},
            {}, &qdf))
        return false;
    qdf.replace("/MediaBox [", "/CropBox [ 50 100 545 742 ]\n  /MediaBox [");
    QByteArray fixed;
    if (!run(QStringLiteral("fix-qdf"), {}, qdf, &fixed))
        return false;
    return support::writeBytes(out, fixed);
}

// The pages most stamping tests start from, in `dir`: plain.pdf (two A4
// pages), turned.pdf (its page 2 turned) and cropped.pdf.
inline bool writePlainTurnedCropped(const QTemporaryDir &dir)
{
    const QString plain = dir.filePath(QStringLiteral("plain.pdf"));
    return writeA4(plain, 2) && rotatePage2(plain, dir.filePath(QStringLiteral("turned.pdf")))
        && cropPages(plain, dir.filePath(QStringLiteral("cropped.pdf")));
}

// The stamp's red in millimetres on a page drawn at `dpi`; empty when none.
inline QRectF inkMm(const QImage &page, double dpi)
{
    QRect box;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QRgb c = page.pixel(x, y);
            if (qRed(c) > 150 && qGreen(c) < 120 && qBlue(c) < 120)
                box |= QRect(x, y, 1, 1);
        }
    const double mm = 25.4 / dpi;
    return box.isEmpty() ? QRectF() : QRectF(box.x() * mm, box.y() * mm, box.width() * mm, box.height() * mm);
}

// AES-256 with the owner password "owner"; opens without a password when
// userPassword is empty. Restrictions are qpdf's, such as "--annotate=n".
inline bool encrypt(const QString &in, const QString &out, const QString &userPassword = {},
    const QStringList &restrictions = {})
{
    return run(QStringLiteral("qpdf"),
        QStringList {
            QStringLiteral("--encrypt"), userPassword, QStringLiteral("owner"), QStringLiteral("256")}
            + restrictions + QStringList {QStringLiteral("--"), in, out});
}

} // namespace pdffixtures
