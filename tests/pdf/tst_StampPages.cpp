// Stamping many pages and many files from the command line: one number per
// document on every listed page, each file on its own, what does not fit
// refused before a number is taken, and PDFs with an owner password.
#include "app/StampPdf.h"
#include "app/pdf/PdfPageView.h"
#include "app/pdf/PdfStampDialog.h"
#include "pdf/LoadPdfModule.h"
#include "stamp/StampLookup.h"

#include "../app/TestWindow.h"
#include "PdfFixtures.h"
#include "StampPdfRun.h"

#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

#include <set>

namespace {

using pdffixtures::Run;
using pdffixtures::stampPdf;

// The pages that carry red ink, drawn coarsely.
QList<int> inkedPages(const pdf::PdfDocument &document)
{
    QList<int> pages;
    for (int p = 1; p <= document.pageCount(); ++p) {
        const QImage image = document.renderPage(p, 30);
        bool red = false;
        for (int y = 0; y < image.height() && !red; ++y)
            for (int x = 0; x < image.width() && !red; ++x) {
                const QRgb c = image.pixel(x, y);
                red = qRed(c) > 150 && qGreen(c) < 120 && qBlue(c) < 120;
            }
        if (red)
            pages << p;
    }
    return pages;
}

// The pages of the document's stamps, each carrying `number`.
QList<int> stampedPages(const pdf::PdfDocument &document, const QString &number)
{
    QList<int> pages;
    for (const pdf::FoundStamp &stamp : document.stamps())
        pages << (stamp.number == number ? stamp.page : -stamp.page);
    return pages;
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

// Status 2, the message on stderr, no number, no output, nothing logged.
bool refusedWithoutATrace(
    const Run &run, const QString &message, const QString &out, hardening::TestWindow &t)
{
    const bool refused = run.status == 2 && run.err.contains(message) && run.out.isEmpty()
        && !QFileInfo::exists(out) && !QFileInfo::exists(t.logPath());
    if (!refused)
        qWarning("status %d, out '%s', err '%s'", run.status, qPrintable(run.out), qPrintable(run.err));
    return refused;
}

const QStringList kPlace {"--x", "50", "--y", "50"};

} // namespace

class tst_StampPages : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_fixtures;
    QString fixture(const QString &name) const { return m_fixtures.filePath(name); }

    // The command run on a fresh window whose files are in `folder`.
    Run stampFresh(
        QTemporaryDir &folder, std::unique_ptr<hardening::TestWindow> &t, const QStringList &arguments)
    {
        t = std::make_unique<hardening::TestWindow>(folder.path());
        return stampPdf(*t, arguments);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(pdffixtures::writeA4(fixture("five.pdf"), 5));
        QVERIFY(pdffixtures::writeA4(fixture("one.pdf"), 1));
        QVERIFY(pdffixtures::writeA4(fixture("long.pdf"), 301));
        QVERIFY(pdffixtures::rotatePage2(fixture("five.pdf"), fixture("turned.pdf")));
        QVERIFY(hardening::writeBytes(fixture("letter.pdf"), "Dear reader,\n"));
        QVERIFY(pdffixtures::encrypt(fixture("one.pdf"), fixture("annotations-allowed.pdf"), {},
            {"--modify=annotate", "--extract=n"}));
        QVERIFY(pdffixtures::encrypt(
            fixture("one.pdf"), fixture("annotations-forbidden.pdf"), {}, {"--annotate=n"}));
        QVERIFY(pdffixtures::encrypt(fixture("one.pdf"), fixture("user-password.pdf"), "user"));
    }

    // One number, one record, the same stamp on each listed page and no
    // other; a list that cannot be read or names a missing page: status 2,
    // nothing written, no number.
    void stampsTheListedPages_data()
    {
        QTest::addColumn<QStringList>("which");
        QTest::addColumn<QList<int>>("pages"); // empty: refused
        QTest::addColumn<QString>("message");
        QTest::newRow("all") << QStringList {"--pages", "all"} << QList<int> {1, 2, 3, 4, 5} << "";
        QTest::newRow("last") << QStringList {"--pages", "last"} << QList<int> {5} << "";
        QTest::newRow("1,3-5") << QStringList {"--pages", "1,3-5"} << QList<int> {1, 3, 4, 5} << "";
        QTest::newRow("repeats once, in order")
            << QStringList {"--pages", "4,2,1-2,last"} << QList<int> {1, 2, 4, 5} << "";
        QTest::newRow("to the last") << QStringList {"--pages", "4-last"} << QList<int> {4, 5} << "";
        QTest::newRow("--page stays") << QStringList {"--page", "3"} << QList<int> {3} << "";
        QTest::newRow("a missing page")
            << QStringList {"--pages", "1,7"} << QList<int> {} << "7 ページはありません";
        QTest::newRow("a range past the end")
            << QStringList {"--pages", "2-900000"} << QList<int> {} << "6 ページはありません";
        for (const char *garbage : {"", "x", "1,,2", "5-3", "0", "-1", "1-", "last-2", "1.5", "1-2-3", "１"})
            QTest::newRow(qPrintable(QStringLiteral("garbage '%1'").arg(garbage)))
                << QStringList {"--pages", garbage} << QList<int> {} << "ページの一覧";
        QTest::newRow("--page and --pages")
            << QStringList {"--page", "1", "--pages", "2"} << QList<int> {} << "使い方";
    }
    void stampsTheListedPages()
    {
        QFETCH(QStringList, which);
        QFETCH(QList<int>, pages);
        QFETCH(QString, message);
        QTemporaryDir folder;
        std::unique_ptr<hardening::TestWindow> t;
        const QString out = folder.filePath("out.pdf");
        const Run run = stampFresh(folder, t, QStringList {fixture("five.pdf"), out} + which + kPlace);
        if (pages.isEmpty()) {
            QVERIFY(refusedWithoutATrace(run, message, out, *t));
            return;
        }
        QVERIFY2(run.status == 0, qPrintable(run.err));
        const QString number = run.out.trimmed();
        QVERIFY(stamp::DecodeStampId(number));
        QCOMPARE(hardening::readBytes(t->logPath()).count("QVID:"), 1);
        QCOMPARE(stamp::StampRecords(t->logPath(), number).size(), 1);
        QString error;
        const auto stamped = pdf::OpenPdf(out, &error);
        QVERIFY2(stamped, qPrintable(error));
        QCOMPARE(stampedPages(*stamped, number), pages);
        QCOMPARE(inkedPages(*stamped), pages);
    }

    // Each input its own output, number and record; a refused one named with
    // its reason while the others are still stamped; status 2 if any was.
    void stampsEachFileIntoTheFolder_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<QStringList>("refused"); // inputs named on stderr
        QTest::addColumn<QString>("message");
        QTest::newRow("three good") << QStringList {"five.pdf", "one.pdf", "turned.pdf"} << QStringList {}
                                    << "";
        QTest::newRow("one no PDF") << QStringList {"five.pdf", "letter.pdf", "one.pdf"}
                                    << QStringList {"letter.pdf"} << "PDF ファイルではありません";
        QTest::newRow("one lacks the page") << QStringList {"five.pdf", "one.pdf", "turned.pdf", "--pages",
            "3"} << QStringList {"one.pdf"} << "3 ページはありません";
        QTest::newRow("annotations forbidden") << QStringList {"annotations-forbidden.pdf", "one.pdf"}
                                               << QStringList {"annotations-forbidden.pdf"} << "注釈";
        QTest::newRow("the same name twice: the first kept")
            << QStringList {"five.pdf", "copy/five.pdf"} << QStringList {"copy/five.pdf"} << "上書きしません";
    }
    void stampsEachFileIntoTheFolder()
    {
        QFETCH(QStringList, inputs);
        QFETCH(QStringList, refused);
        QFETCH(QString, message);
        QTemporaryDir folder;
        QVERIFY(QDir(m_fixtures.path()).mkpath("copy"));
        QVERIFY(QFile::exists(fixture("copy/five.pdf"))
            || QFile::copy(fixture("five.pdf"), fixture("copy/five.pdf")));
        const QString outDir = folder.filePath("stamped");
        QVERIFY(QDir().mkpath(outDir));
        QStringList arguments {"--out-dir", outDir};
        for (const QString &input : inputs)
            arguments << (input.endsWith(".pdf") ? fixture(input) : input);
        if (!arguments.contains("--pages"))
            arguments << "--page"
                      << "1";
        std::unique_ptr<hardening::TestWindow> t;
        const Run run = stampFresh(folder, t, arguments + kPlace);

        QCOMPARE(run.status, refused.isEmpty() ? 0 : 2);
        std::set<QString> numbers;
        QStringList written;
        for (const QString &line : run.out.split('\n', Qt::SkipEmptyParts)) {
            const QStringList fields = line.split('\t');
            QCOMPARE(fields.size(), 2);
            QVERIFY2(numbers.insert(fields[0]).second, qPrintable(line));
            QCOMPARE(stamp::StampRecords(t->logPath(), fields[0]).size(), 1);
            QString error;
            const auto stamped = pdf::OpenPdf(fields[1], &error);
            QVERIFY2(stamped, qPrintable(error));
            QCOMPARE(stamped->stamps().size(), size_t(1));
            QCOMPARE(stamped->stamps()[0].number, fields[0]);
            written << QFileInfo(fields[1]).fileName();
        }
        QStringList expected;
        for (const QString &input : inputs)
            if (input.endsWith(".pdf") && !refused.contains(input))
                expected << QFileInfo(input).completeBaseName() + "_押印.pdf";
        QCOMPARE(written, expected);
        written.sort();
        QCOMPARE(entries(outDir), written);
        QCOMPARE(hardening::readBytes(t->logPath()).count("QVID:"), expected.size());
        for (const QString &name : refused) {
            const QString line = run.err.split('\n').filter(QDir::toNativeSeparators(fixture(name))).value(0);
            QVERIFY2(!line.isEmpty(), qPrintable(run.err));
        }
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        if (refused.isEmpty())
            QCOMPARE(run.err, QString());
        // No terminal here: no progress lines.
        QVERIFY2(!run.err.contains("(1/"), qPrintable(run.err));
    }

    // What does not fit: the stamp's size outside the window's range, its
    // circle past any edge of the page as shown; the edges themselves fit.
    void refusesWhatDoesNotFit_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QStringList>("where");
        QTest::addColumn<QString>("message"); // empty: stamped
        QTest::newRow("10 mm") << "five.pdf" << QStringList {"--x", "50", "--y", "50", "--size", "10"} << "";
        QTest::newRow("40 mm") << "five.pdf" << QStringList {"--x", "50", "--y", "50", "--size", "40"} << "";
        QTest::newRow("9.5 mm") << "five.pdf" << QStringList {"--x", "50", "--y", "50", "--size", "9.5"}
                                << "10〜40";
        QTest::newRow("41 mm") << "five.pdf" << QStringList {"--x", "50", "--y", "50", "--size", "41"}
                               << "10〜40";
        QTest::newRow("touching the left edge")
            << "five.pdf" << QStringList {"--x", "9", "--y", "50", "--size", "18"} << "";
        QTest::newRow("past the left edge")
            << "five.pdf" << QStringList {"--x", "8.9", "--y", "50", "--size", "18"} << "はみ出し";
        QTest::newRow("past the bottom")
            << "five.pdf" << QStringList {"--x", "100", "--y", "290", "--size", "18"} << "はみ出し";
        QTest::newRow("past the top, large")
            << "five.pdf" << QStringList {"--x", "100", "--y", "19", "--size", "40"} << "はみ出し";
        QTest::newRow("turned page, past its right edge")
            << "turned.pdf" << QStringList {"--x", "290", "--y", "100", "--page", "2"} << "はみ出し";
        QTest::newRow("turned page, inside")
            << "turned.pdf" << QStringList {"--x", "280", "--y", "100", "--page", "2"} << "";
        // The seal's drawing is shared by every stamp on a page turned the
        // same way, so a long document takes a stamp on every page.
        QTest::newRow("301 pages, one stamp each")
            << "long.pdf" << QStringList {"--x", "50", "--y", "50", "--pages", "all"} << "";
        QTest::newRow("one page of all past the edge of a turned one")
            << "turned.pdf" << QStringList {"--x", "250", "--y", "100", "--pages", "all"} << "はみ出し";
    }
    void refusesWhatDoesNotFit()
    {
        QFETCH(QString, input);
        QFETCH(QStringList, where);
        QFETCH(QString, message);
        QTemporaryDir folder;
        std::unique_ptr<hardening::TestWindow> t;
        const QString out = folder.filePath("out.pdf");
        if (!where.contains("--page") && !where.contains("--pages"))
            where << "--page"
                  << "1";
        const Run run = stampFresh(folder, t, QStringList {fixture(input), out} + where);
        if (message.isEmpty()) {
            QVERIFY2(run.status == 0, qPrintable(run.err));
            QVERIFY(QFileInfo::exists(out));
            return;
        }
        QVERIFY(refusedWithoutATrace(run, message, out, *t));
    }

    // A PDF protected by its owner's password is refused before a number is
    // taken, with the reason: its permissions, or an update the writer
    // cannot encrypt; one that needs a password to open, too.
    void refusesEncryptedPdfsBeforeANumber_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("message");
        QTest::newRow("annotations allowed") << "annotations-allowed.pdf"
                                             << "暗号化";
        QTest::newRow("annotations forbidden") << "annotations-forbidden.pdf"
                                               << "注釈の追加が禁止";
        QTest::newRow("a password to open") << "user-password.pdf"
                                            << "パスワード";
    }
    void refusesEncryptedPdfsBeforeANumber()
    {
        QFETCH(QString, input);
        QFETCH(QString, message);
        QTemporaryDir folder;
        std::unique_ptr<hardening::TestWindow> t;
        const QString out = folder.filePath("out.pdf");
        const Run run = stampFresh(folder, t, QStringList {fixture(input), out, "--page", "1"} + kPlace);
        QVERIFY(refusedWithoutATrace(run, message, out, *t));
    }

    // Drawings given up fail the file's reads under Poppler; the stamped
    // copy made after them still holds every page.
    void stampsAfterDrawingsGivenUp()
    {
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        QString error;
        const std::unique_ptr<pdf::PdfDocument> document = pdf::OpenPdf(fixture("five.pdf"), &error);
        QVERIFY2(document, qPrintable(error));
        for (int page = 1; page <= 5; ++page)
            QVERIFY(document->renderPage(page, 50, [] { return true; }).isNull());
        const QString out = folder.filePath("out.pdf");
        const app::PdfOutcome outcome
            = app::WriteStampedPdf(*t.window, *document, fixture("five.pdf"), out, {{3, 50, 50, 18}});
        QVERIFY2(outcome.status == 0, qPrintable(outcome.message));
        const auto stamped = pdf::OpenPdf(out, &error);
        QVERIFY2(stamped, qPrintable(error));
        QCOMPARE(stamped->pageCount(), 5);
        QCOMPARE(stampedPages(*stamped, outcome.number), QList<int> {3});
    }

    // The page view: a click near the edge places the stamp as near as its
    // circle stays on the page; "all pages" gives one placement per page;
    // the dialog fits the screen with its buttons on it.
    void pageViewKeepsTheStampOnThePage()
    {
        QString error;
        const std::shared_ptr<pdf::PdfDocument> document = pdf::OpenPdf(fixture("turned.pdf"), &error);
        QVERIFY2(document, qPrintable(error));
        QImage face(100, 100, QImage::Format_ARGB32);
        face.fill(Qt::red);
        std::vector<pdf::StampPlacement> saved;
        app::PdfStampDialog dialog(document, {fixture("turned.pdf")}, face, 1, 20,
            [&](const QString &, const app::PlacementRule &rule, std::function<void(bool)> done) {
                saved = app::PlacementsOn(rule, 5);
                done(true);
            });
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        const QRect screen = dialog.screen()->availableGeometry();
        QVERIFY2(screen.contains(dialog.frameGeometry()),
            qPrintable(QStringLiteral("%1x%2 on %3x%4")
                           .arg(dialog.width())
                           .arg(dialog.height())
                           .arg(screen.width())
                           .arg(screen.height())));
        for (QPushButton *button : dialog.findChildren<QPushButton *>())
            QVERIFY2(screen.contains(QRect(button->mapToGlobal(QPoint(0, 0)), button->size())),
                qPrintable(button->text()));

        app::PdfPageView &view = dialog.view();
        QTest::mouseClick(&view, Qt::LeftButton, {}, view.fromMm({2, 3}).toPoint());
        QVERIFY(view.placement());
        QCOMPARE(qRound(view.placement()->xMm), 10);
        QCOMPARE(qRound(view.placement()->yMm), 10);
        view.showPage(2); // turned: 297 mm wide
        QTest::mouseClick(&view, Qt::LeftButton, {}, view.fromMm({296, 100}).toPoint());
        QCOMPARE(qRound(view.placement()->xMm), 287);
        QCOMPARE(view.placement()->page, 2);

        // The stamp on page 1 stays when one is placed on page 2.
        QCOMPARE(dialog.placements().size(), size_t(2));
        QCOMPARE(dialog.placements()[0].page, 1);
        dialog.setAllPages(true);
        const std::vector<pdf::StampPlacement> all = dialog.placements();
        QCOMPARE(all.size(), size_t(10)); // each place on every page
        for (int page = 1; page <= 5; ++page)
            QCOMPARE(all[size_t(2 * page - 1)].page, page);
        QTRY_VERIFY_WITH_TIMEOUT(!view.drawing(), 30000);
        dialog.saveTo("unused.pdf");
        QCOMPARE(saved.size(), size_t(10));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(tst_StampPages)
#include "tst_StampPages.moc"
