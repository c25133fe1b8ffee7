// The page view draws pages away from the GUI thread and gives up on one that
// takes too long.
#include "app/pdf/OpenInBackground.h"
#include "app/pdf/PdfPageView.h"
#include "pdf/LoadPdfModule.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

namespace {

// A PDF of two A4 pages: the first's content is a small compressed stream
// that inflates to a million fills of the whole page, which takes any reader
// minutes to draw; the second is blank.
QByteArray slowPdf()
{
    QByteArray content;
    for (int i = 0; i < 1000000; ++i)
        content += "10 10 575 822 re f\n";
    const QByteArray deflated = qCompress(content, 9).mid(4); // zlib's stream, without Qt's length
    const QList<QByteArray> objects {
        "<< /Type /Catalog /Pages 2 0 R >>",
        "<< /Type /Pages /Kids [3 0 R 4 0 R] /Count 2 >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Contents 5 0 R >>",
        "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] >>",
        "<< /Length " + QByteArray::number(deflated.size()) + " /Filter /FlateDecode >>\nstream\n" + deflated
            + "\nendstream",
    };
    QByteArray pdf = "%PDF-1.7\n";
    QList<qsizetype> offsets;
    for (int i = 0; i < objects.size(); ++i) {
        offsets << pdf.size();
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects[i] + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n"
        + QByteArray::number(xref) + "\n%%EOF\n";
    return pdf;
}

} // namespace

class tst_PdfPageView : public QObject {
    Q_OBJECT
private slots:
    void givesUpOnAPageThatTakesTooLong()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("slow.pdf");
        QFile file(path);
        const QByteArray bytes = slowPdf();
        QVERIFY(bytes.size() < 4 * 1024 * 1024);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        QString error;
        const std::shared_ptr<pdf::PdfDocument> document = pdf::OpenPdf(path, &error);
        QVERIFY2(document, qPrintable(error));
        QCOMPARE(document->pageCount(), 2);

        QImage face(100, 100, QImage::Format_ARGB32);
        face.fill(Qt::red);
        auto view = std::make_unique<app::PdfPageView>(
            document, face, 1, 18, nullptr, std::chrono::milliseconds(500));
        // The GUI thread goes on while the page is drawn elsewhere: an event
        // posted now is handled before the drawing ends.
        bool handled = false;
        bool drawingThen = false;
        QTimer::singleShot(0, [&] {
            handled = true;
            drawingThen = view->drawing();
        });
        QVERIFY(QTest::qWaitFor([&] { return handled; }, 60000));
        QVERIFY(drawingThen);
        QVERIFY(!view->pageShown());

        QVERIFY2(QTest::qWaitFor([&] { return view->message().contains("時間がかかりすぎる"); }, 60000),
            qPrintable(view->message()));
        QVERIFY(!view->pageShown());
        // The drawing stops soon after, instead of running on for minutes.
        QVERIFY(QTest::qWaitFor([&] { return !view->drawing(); }, 60000));

        // The next page is drawn as usual, and placing works on either.
        view->showPage(2);
        QVERIFY(QTest::qWaitFor([&] { return view->pageShown(); }, 60000));
        QVERIFY(view->message().isEmpty());
        QVERIFY(!view->drawing());

        // A view closed while its page is drawn leaves the drawing to end by
        // itself, holding the document it needs.
        view->showPage(1);
        view.reset();
        QVERIFY(document.use_count() > 1);
        QVERIFY(QTest::qWaitFor([&] { return document.use_count() == 1; }, 60000));
    }

    // The window opens the PDF to be stamped on a thread of its own; a
    // refusal comes back with its message.
    void opensInTheBackground()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("slow.pdf");
        QFile file(path);
        const QByteArray bytes = slowPdf();
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
        file.close();
        QString error;
        const std::shared_ptr<pdf::PdfDocument> document = app::OpenPdfInBackground(path, &error, nullptr);
        QVERIFY2(document, qPrintable(error));
        QCOMPARE(document->pageCount(), 2);
        QVERIFY(!app::OpenPdfInBackground(dir.filePath("absent.pdf"), &error, nullptr));
        QVERIFY2(error.contains("開けません"), qPrintable(error));
    }
};

QTEST_MAIN(tst_PdfPageView)
#include "tst_PdfPageView.moc"
