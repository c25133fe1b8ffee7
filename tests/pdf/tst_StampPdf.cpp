// Stamping a PDF from the command line: where the ink lands, and what is
// refused without a trace.
#include "app/StampPdfCommand.h"
#include "app/pdf/LookUpDialog.h"
#include "app/pdf/PdfPageView.h"
#include "app/pdf/PdfStampDialog.h"
#include "host/TextBox.h"
#include "pdf/LoadPdfModule.h"
#include "stamp/StampLookup.h"

#include "../app/TestWindow.h"
#include "PdfFixtures.h"
#include "StampPdfRun.h"

#include <QTemporaryDir>
#include <QTest>
#include <QTextStream>

namespace {

constexpr double kDpi = 100;

using pdffixtures::Run;
using pdffixtures::stampPdf;

QRectF inkMm(const QImage &page)
{
    return pdffixtures::inkMm(page, kDpi);
}

// The stamped copy holds one stamp, numbered, whose ink is on its page only,
// centred and sized as asked.
void checkStamp(const QString &path, int page, const QPointF &centreMm, double sizeMm, const QString &number)
{
    QString error;
    const auto stamped = pdf::OpenPdf(path, &error);
    QVERIFY2(stamped, qPrintable(error));
    QCOMPARE(stamped->stamps().size(), size_t(1));
    QCOMPARE(stamped->stamps()[0].page, page);
    QCOMPARE(stamped->stamps()[0].number, number);
    for (int p = 1; p <= stamped->pageCount(); ++p) {
        const QRectF ink = inkMm(stamped->renderPage(p, kDpi));
        if (p != page) {
            QVERIFY2(ink.isEmpty(), qPrintable(QStringLiteral("ink on page %1").arg(p)));
            continue;
        }
        QVERIFY(!ink.isEmpty());
        QVERIFY2(qAbs(ink.center().x() - centreMm.x()) < 0.6 && qAbs(ink.center().y() - centreMm.y()) < 0.6,
            qPrintable(QStringLiteral("centre %1, %2").arg(ink.center().x()).arg(ink.center().y())));
        QVERIFY2(qAbs(ink.width() - sizeMm) < 0.8 && qAbs(ink.height() - sizeMm) < 0.8,
            qPrintable(QStringLiteral("size %1 x %2").arg(ink.width()).arg(ink.height())));
    }
}

} // namespace

class tst_StampPdf : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_fixtures;
    QString fixture(const QString &name) const { return m_fixtures.filePath(name); }

private slots:
    void initTestCase()
    {
        QVERIFY(pdffixtures::writePlainTurnedCropped(m_fixtures));
        QVERIFY(pdffixtures::encrypt(fixture("plain.pdf"), fixture("encrypted.pdf"), "user"));
        QVERIFY(hardening::writeBytes(fixture("letter.pdf"), "Dear reader,\n"));
        QVERIFY(hardening::writeBytes(fixture("damaged.pdf"), "%PDF-1.7\n1 0 obj << /Type /Cat"));
    }

    void placesTheStampOnItsPageOnly_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("where");
        QTest::addColumn<QString>("storedSize");
        QTest::addColumn<QPointF>("centreMm");
        QTest::addColumn<double>("sizeMm");
        QTest::newRow("A4, page 2, 18 mm by default")
            << "plain.pdf" << QStringList {"--page", "2", "--x", "150", "--y", "40"} << "" << QPointF(150, 40)
            << 18.0;
        QTest::newRow("size given") << "plain.pdf"
                                    << QStringList {"--page", "1", "--x", "60", "--y", "200", "--size", "30"}
                                    << "" << QPointF(60, 200) << 30.0;
        QTest::newRow("size from the settings")
            << "plain.pdf" << QStringList {"--page", "2", "--x", "100", "--y", "100"} << "stampmm, 25 "
            << QPointF(100, 100) << 25.0;
        QTest::newRow("turned page, upright as shown")
            << "turned.pdf" << QStringList {"--page", "2", "--x", "250", "--y", "40"} << ""
            << QPointF(250, 40) << 18.0;
        QTest::newRow("crop box") << "cropped.pdf" << QStringList {"--page", "1", "--x", "20", "--y", "30"}
                                  << "" << QPointF(20, 30) << 18.0;
    }
    void placesTheStampOnItsPageOnly()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, where);
        QFETCH(QString, storedSize);
        QFETCH(QPointF, centreMm);
        QFETCH(double, sizeMm);
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        if (!storedSize.isEmpty())
            QVERIFY(hardening::writeBytes(t.iniPath(), storedSize.toUtf8() + "\r\n"));
        const QString in = fixture(input);
        const QByteArray before = hardening::readBytes(in);
        const QString outPath = folder.filePath("out.pdf");

        const Run run = stampPdf(t, QStringList {in, outPath} + where);
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QString number = run.out.trimmed();
        QVERIFY(stamp::DecodeStampId(number));
        QCOMPARE(stamp::StampRecords(t.logPath(), number).size(), 1);
        QCOMPARE(hardening::readBytes(in), before);

        checkStamp(outPath, where[1].toInt(), centreMm, sizeMm, number);
    }

    void placesAndSavesFromTheWindow()
    {
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        const QString in = fixture("plain.pdf");
        const QString out = folder.filePath("out.pdf");
        QCOMPARE(app::ProposedPdfName("/a/b/ringi.v2.pdf"), QStringLiteral("/a/b/ringi.v2_押印.pdf"));
        QString error;
        const std::shared_ptr<pdf::PdfDocument> document = pdf::OpenPdf(in, &error);
        QVERIFY(document);
        double fraction = 1;
        const QImage face = t.window->PrintFace(18, &fraction);
        app::PdfStampDialog dialog(document, {in}, face, fraction, 18,
            [&](const QString &path, const app::PlacementRule &rule, std::function<void(bool)> done) {
                t.window->StampPdfs({{in, path, document, {}}}, rule, &dialog, std::move(done));
            });
        app::PdfPageView &view = dialog.view();
        view.showPage(2);
        const double pxPerMm = view.logicalDpiX() / 25.4;
        // A click on the stamp placed takes it away.
        QTest::mouseClick(&view, Qt::LeftButton, {}, (QPointF(40, 40) * pxPerMm).toPoint());
        QTest::mouseClick(&view, Qt::LeftButton, {}, (QPointF(42, 38) * pxPerMm).toPoint());
        QVERIFY(view.placements().empty());
        QTest::mouseClick(&view, Qt::LeftButton, {}, (QPointF(120, 200) * pxPerMm).toPoint());
        // Placing takes nothing: the number, the log and the sound come with the file.
        QVERIFY(!QFileInfo::exists(t.logPath()));
        QVERIFY(t.sound.calls.empty());

        // Saving waits for the page to be drawn.
        QTRY_VERIFY_WITH_TIMEOUT(!view.drawing(), 30000);
        QVERIFY(view.pageShown());
        dialog.saveTo(out);
        QTRY_COMPARE_WITH_TIMEOUT(dialog.result(), int(QDialog::Accepted), 30000);
        const QString number = t.c().QVLabel[4]->Text();
        QCOMPARE(stamp::StampRecords(t.logPath(), number).size(), 1);
        QCOMPARE(t.sound.calls.size(), size_t(1));
        const QPointF placed(view.placement()->xMm, view.placement()->yMm);
        QVERIFY((placed - QPointF(120, 200)).manhattanLength() < 1);
        checkStamp(out, 2, placed, 18, number);
    }

    void looksUpTheNumbersOfAPdf()
    {
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        const QString out = folder.filePath("out.pdf");
        const QString number
            = stampPdf(t, {fixture("plain.pdf"), out, "--page", "2", "--x", "50", "--y", "50"}).out.trimmed();
        const auto decoded = stamp::DecodeStampId(number);
        QVERIFY(decoded);
        const QString line = decoded->madeAt.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss"));

        // The answer's rows: page, number, time, logged or not, the record.
        const auto lookUp = [&](const QString &path) {
            t.window->LookUpStamp(path);
            app::LookUpDialog *dialog = t.window->lookUpDialog();
            const bool done = dialog && QTest::qWaitFor([&] { return dialog->isDone(); }, 30000);
            return done ? dialog : nullptr;
        };
        app::LookUpDialog *dialog = lookUp(out);
        QVERIFY(dialog);
        QCOMPARE(dialog->rowCount(), 1);
        QCOMPARE(dialog->row(0).mid(0, 4), (QStringList {"2", number, line, "ログにあり"}));
        QVERIFY(dialog->row(0)[4].startsWith("QVID:" + number + ","));
        QVERIFY(QFile::remove(t.logPath()));
        QVERIFY((dialog = lookUp(out)));
        QCOMPARE(dialog->row(0)[3], QStringLiteral("ログになし"));
        QVERIFY((dialog = lookUp(fixture("plain.pdf"))));
        QVERIFY(dialog->status().contains("押印番号はありません"));
        QVERIFY((dialog = lookUp(fixture("letter.pdf"))));
        QCOMPARE(dialog->rowCount(), 0);
        QVERIFY(dialog->status().contains("PDF ファイルではありません"));
        QVERIFY(t.messages.shown.empty());
    }

    // Each refusal: status 2, one message, no output, no number logged, the
    // input as it was, the folder as it was.
    void refusesBadInputWithoutATrace_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output"); // "in": the input's own path; "link": a link to it
        QTest::addColumn<QStringList>("where");
        QTest::addColumn<QString>("message");
        const QStringList page1 {"--page", "1", "--x", "100", "--y", "100"};
        QTest::newRow("not a PDF") << "letter.pdf"
                                   << "out.pdf" << page1 << "PDF ファイルではありません";
        QTest::newRow("damaged") << "damaged.pdf"
                                 << "out.pdf" << page1 << "壊れて";
        QTest::newRow("encrypted") << "encrypted.pdf"
                                   << "out.pdf" << page1 << "暗号化";
        QTest::newRow("missing") << "absent.pdf"
                                 << "out.pdf" << page1 << "開けません";
        QTest::newRow("page 3 of 2") << "plain.pdf"
                                     << "out.pdf" << QStringList {"--page", "3", "--x", "100", "--y", "100"}
                                     << "ありません";
        QTest::newRow("page 0") << "plain.pdf"
                                << "out.pdf" << QStringList {"--page", "0", "--x", "100", "--y", "100"}
                                << "ありません";
        QTest::newRow("right of the page")
            << "plain.pdf"
            << "out.pdf" << QStringList {"--page", "1", "--x", "211", "--y", "100"} << "ページの外";
        QTest::newRow("above the page")
            << "plain.pdf"
            << "out.pdf" << QStringList {"--page", "1", "--x", "100", "--y", "-1"} << "ページの外";
        QTest::newRow("below a turned page")
            << "turned.pdf"
            << "out.pdf" << QStringList {"--page", "2", "--x", "100", "--y", "250"} << "ページの外";
        QTest::newRow("size 0") << "plain.pdf"
                                << "out.pdf"
                                << QStringList {"--page", "1", "--x", "100", "--y", "100", "--size", "0"}
                                << "大きさ";
        QTest::newRow("size past 100 mm")
            << "plain.pdf"
            << "out.pdf" << QStringList {"--page", "1", "--x", "100", "--y", "100", "--size", "101"}
            << "大きさ";
        QTest::newRow("out is in") << "plain.pdf"
                                   << "in" << page1 << "同じファイル";
        QTest::newRow("out links to in") << "plain.pdf"
                                         << "link" << page1 << "同じファイル";
        QTest::newRow("out in a missing folder") << "plain.pdf"
                                                 << "missing/out.pdf" << page1 << "書き込めません";
        QTest::newRow("out is a folder") << "plain.pdf"
                                         << "." << page1 << "ファイルではありません";
        QTest::newRow("no position") << "plain.pdf"
                                     << "out.pdf" << QStringList {"--page", "1"} << "使い方";
        QTest::newRow("page not a whole number")
            << "plain.pdf"
            << "out.pdf" << QStringList {"--page", "1.5", "--x", "1", "--y", "1"} << "使い方";
    }
    void refusesBadInputWithoutATrace()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QFETCH(QStringList, where);
        QFETCH(QString, message);
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        const QString in = fixture(input);
        const QByteArray before = hardening::readBytes(in);
        QString out = output == "in" ? in : folder.filePath(output);
        if (output == "link") {
            out = folder.filePath("link.pdf");
            QVERIFY(QFile::link(in, out));
        }
        const QStringList entries = QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

        const Run run = stampPdf(t, QStringList {in, out} + where);
        QCOMPARE(run.status, 2);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QCOMPARE(run.out, QString());
        QCOMPARE(QDir(folder.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), entries);
        QCOMPARE(hardening::readBytes(in), before);
    }
};

QTEST_MAIN(tst_StampPdf)
#include "tst_StampPdf.moc"
