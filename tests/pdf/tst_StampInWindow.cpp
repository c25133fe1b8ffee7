// Stamping PDFs from the window: several files saved at once, each with its
// own number, off the GUI thread and stoppable between files; files dropped
// on the window; the page view driven by the keyboard and zoomed.
#include "app/pdf/PdfPageView.h"
#include "app/pdf/PdfStampDialog.h"
#include "app/pdf/SavedNotice.h"
#include "app/pdf/StampBatch.h"
#include "host/TextBox.h"
#include "pdf/LoadPdfModule.h"
#include "stamp/StampLookup.h"

#include "../app/TestWindow.h"
#include "PdfFixtures.h"
#include "StampPdfRun.h"

#include <QApplication>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QUrl>

#include <set>

namespace {

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
}

// The numbers of the stamps in a stamped copy; empty when there is none.
QStringList numbersIn(const QString &path)
{
    QString error;
    const auto document = pdf::OpenPdf(path, &error);
    QStringList numbers;
    if (document)
        for (const pdf::FoundStamp &stamp : document->stamps())
            numbers << stamp.number;
    return numbers;
}

} // namespace

class tst_StampInWindow : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_fixtures;
    QString fixture(const QString &name) const { return m_fixtures.filePath(name); }

    std::vector<app::PdfJob> jobsInto(const QStringList &names, const QString &folder) const
    {
        QStringList paths;
        for (const QString &name : names)
            paths << fixture(name);
        QString error;
        std::shared_ptr<pdf::PdfDocument> first = pdf::OpenPdf(paths.front(), &error);
        return app::PdfJobsFor(paths, std::move(first), folder);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(pdffixtures::writeA4(fixture("two.pdf"), 2));
        QVERIFY(pdffixtures::writeA4(fixture("three.pdf"), 3));
        QVERIFY(pdffixtures::writeA4(fixture("one.pdf"), 1));
        QVERIFY(pdffixtures::writeA4(fixture("long.pdf"), 301)); // a stamp on each takes a while
        QVERIFY(QDir(m_fixtures.path()).mkdir("other"));
        QVERIFY(pdffixtures::writeA4(fixture("other/two.pdf"), 1));
        QVERIFY(hardening::writeBytes(fixture("letter.pdf"), "Dear reader,\n"));
    }

    // Each file written has its own number, logged once, on the pages the
    // rule gives it; each refused file is named in the one message and the
    // others are still stamped; the notice's button opens the folder.
    void stampsEachFileWithItsOwnNumber_data()
    {
        QTest::addColumn<QStringList>("inputs");
        QTest::addColumn<bool>("allPages");
        QTest::addColumn<QList<int>>("stampsEach"); // per input; 0: refused
        QTest::newRow("three, one not a PDF")
            << QStringList {"two.pdf", "letter.pdf", "three.pdf"} << false << QList<int> {1, 0, 1};
        QTest::newRow("every page of each")
            << QStringList {"two.pdf", "three.pdf", "one.pdf"} << true << QList<int> {2, 3, 1};
        // Its copy would take the first one's name: refused, not written over.
        QTest::newRow("the same name twice")
            << QStringList {"two.pdf", "other/two.pdf"} << false << QList<int> {1, 0};
    }
    void stampsEachFileWithItsOwnNumber()
    {
        QFETCH(QStringList, inputs);
        QFETCH(bool, allPages);
        QFETCH(QList<int>, stampsEach);
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        const QString out = folder.filePath("out");
        QVERIFY(QDir(folder.path()).mkdir("out"));

        const auto written
            = pdffixtures::stampInWindow(t, jobsInto(inputs, out), {{{1, 100, 100, 18}}, allPages});
        QCOMPARE(written, std::optional<bool>(true));
        std::set<QString> numbers;
        QStringList expectedOut;
        for (qsizetype i = 0; i < inputs.size(); ++i) {
            const QString copy = app::StampedPdfName(fixture(inputs[i]), out);
            const bool refused = stampsEach[i] == 0;
            if (refused) {
                QCOMPARE(t.messages.shown.size(), size_t(1));
                QVERIFY2(t.messages.shown[0].text.contains(QFileInfo(inputs[i]).fileName()),
                    qPrintable(t.messages.shown[0].text));
                continue;
            }
            expectedOut << QFileInfo(copy).fileName();
            const QStringList inCopy = numbersIn(copy);
            QCOMPARE(inCopy.size(), stampsEach[i]);
            QCOMPARE(QSet<QString>(inCopy.begin(), inCopy.end()).size(), 1); // one number a document
            QCOMPARE(stamp::StampRecords(t.logPath(), inCopy[0]).size(), 1);
            numbers.insert(inCopy[0]);
        }
        QCOMPARE(int(numbers.size()), int(expectedOut.size()));
        expectedOut.sort();
        QCOMPARE(entries(out), expectedOut); // no temporary file left
        QCOMPARE(t.sound.calls.size(), size_t(1));
        if (!stampsEach.contains(0))
            QVERIFY(t.messages.shown.empty());

        app::SavedNotice *notice = t.window->savedNotice();
        QVERIFY(notice);
        notice->openButton()->click();
        // One copy is opened itself, several by their folder.
        const QString opened = expectedOut.size() == 1 ? QDir(out).filePath(expectedOut[0]) : out;
        QCOMPARE(t.opener.opened, QStringList {opened});
    }

    // Stopped while the first file is written: it is finished whole, the
    // others are not touched, no temporary file stays, the message says so.
    void cancelStopsBetweenFiles()
    {
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        const QString out = folder.filePath("out");
        QVERIFY(QDir(folder.path()).mkdir("out"));
        const auto written = pdffixtures::stampInWindow(t, jobsInto({"two.pdf", "three.pdf", "one.pdf"}, out),
            {{{1, 100, 100, 18}}, false}, [](app::StampBatch &batch) {
                QPushButton *stop = batch.progress()->findChild<QPushButton *>();
                QVERIFY(stop);
                stop->click();
            });
        QCOMPARE(written, std::optional<bool>(true));
        QCOMPARE(entries(out), QStringList {"two_押印.pdf"});
        QCOMPARE(numbersIn(folder.filePath("out/two_押印.pdf")).size(), 1);
        QCOMPARE(t.messages.shown.size(), size_t(1));
        QVERIFY2(t.messages.shown[0].text.contains("2 個"), qPrintable(t.messages.shown[0].text));
        QCOMPARE(t.window->savedNotice()->target(), folder.filePath("out/two_押印.pdf"));
    }

    // A copy not made in time (1 ms for 301 stamps) is given up: its number stays spent, the
    // thread that was making it ends without putting anything in place.
    void givesUpACopyTooSlowToMake()
    {
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        const QString out = folder.filePath("out");
        QVERIFY(QDir(folder.path()).mkdir("out"));
        app::StampBatch batch(
            jobsInto({"long.pdf"}, folder.filePath("out/long_押印.pdf")),
            [](const pdf::PdfDocument &document) {
                return app::PlacementsOn({{{1, 50, 50, 18}}, true}, document.pageCount());
            },
            [&](pdf::PdfDocument &document, const QString &in, const QString &to,
                const std::vector<pdf::StampPlacement> &placements) {
                return app::PrepareStampedPdf(*t.window, document, in, to, placements);
            },
            nullptr, std::chrono::milliseconds(1));
        batch.start();
        QTRY_VERIFY_WITH_TIMEOUT(batch.isDone(), 30000);
        QCOMPARE(batch.results().size(), size_t(1));
        const app::PdfJobResult &result = batch.results()[0];
        QVERIFY(result.number.isEmpty());
        QVERIFY2(result.message.contains("時間がかかりすぎる"), qPrintable(result.message));
        const QString number = t.c().QVLabel[4]->Text();
        QVERIFY(result.message.contains(number));
        QCOMPARE(stamp::StampRecords(t.logPath(), number).size(), 1);
        // The temporary file goes when the thread ends; nothing comes after.
        QTRY_VERIFY_WITH_TIMEOUT(entries(out).isEmpty(), 30000);
        QTest::qWait(300);
        QCOMPARE(entries(out), QStringList());
    }

    // Arrow keys bring the stamp to the middle of the page, then move it
    // (Shift: 10 mm), never off the page; Enter places it, or takes away
    // the one there.
    void keyboardPlacesTheStamp_data()
    {
        QTest::addColumn<QList<int>>("keys"); // negative: with Shift
        QTest::addColumn<QPointF>("placedMm"); // (-1, -1): none
        const int enter = Qt::Key_Return;
        QTest::newRow("first key brings it to the middle")
            << QList<int> {Qt::Key_Left, enter} << QPointF(105, 148.5);
        QTest::newRow("steps") << QList<int> {Qt::Key_Up, Qt::Key_Right, Qt::Key_Right, -Qt::Key_Down, enter}
                               << QPointF(107, 158.5);
        QList<int> farLeft {Qt::Key_Left};
        for (int i = 0; i < 20; ++i)
            farLeft << -Qt::Key_Left;
        QTest::newRow("stops at the edge") << (farLeft << enter) << QPointF(9, 148.5);
        QTest::newRow("Enter again takes it away")
            << QList<int> {Qt::Key_Down, enter, enter} << QPointF(-1, -1);
    }
    void keyboardPlacesTheStamp()
    {
        QFETCH(QList<int>, keys);
        QFETCH(QPointF, placedMm);
        QString error;
        std::shared_ptr<pdf::PdfDocument> document = pdf::OpenPdf(fixture("two.pdf"), &error);
        QImage face(50, 50, QImage::Format_ARGB32);
        face.fill(Qt::red);
        app::PdfPageView view(document, face, 1, 18);
        for (int key : keys)
            QTest::keyClick(&view, Qt::Key(qAbs(key)), key < 0 ? Qt::ShiftModifier : Qt::NoModifier);
        if (placedMm.x() < 0) {
            QVERIFY(view.placements().empty());
            return;
        }
        QCOMPARE(view.placements().size(), size_t(1));
        const QPointF placed(view.placement()->xMm, view.placement()->yMm);
        QVERIFY2((placed - placedMm).manhattanLength() < 0.2,
            qPrintable(QStringLiteral("%1, %2").arg(placed.x()).arg(placed.y())));
    }

    // Ctrl+wheel zooms, a plain wheel does not; a click lands where it
    // points at any zoom; fitting gives the zoom that fills the area.
    void zoomKeepsPlacesOnThePage()
    {
        QString error;
        std::shared_ptr<pdf::PdfDocument> document = pdf::OpenPdf(fixture("two.pdf"), &error);
        QImage face(50, 50, QImage::Format_ARGB32);
        face.fill(Qt::red);
        app::PdfPageView view(document, face, 1, 18);
        const int width = view.width();
        const auto wheel = [&](Qt::KeyboardModifiers modifiers) {
            QWheelEvent event(QPointF(10, 10), view.mapToGlobal(QPointF(10, 10)), {}, {0, 240}, Qt::NoButton,
                modifiers, Qt::NoScrollPhase, false);
            QApplication::sendEvent(&view, &event);
        };
        wheel(Qt::NoModifier);
        QCOMPARE(view.zoom(), 1.0);
        wheel(Qt::ControlModifier);
        QCOMPARE(view.zoom(), 1.25 * 1.25);
        QVERIFY(qAbs(view.width() - width * 1.5625) <= 1);
        QTest::mouseClick(&view, Qt::LeftButton, {}, view.fromMm({50, 60}).toPoint());
        QVERIFY(
            (QPointF(view.placement()->xMm, view.placement()->yMm) - QPointF(50, 60)).manhattanLength() < 1);
        for (int i = 0; i < 30; ++i)
            wheel(Qt::ControlModifier);
        QCOMPARE(view.zoom(), app::PdfPageView::kMostZoom);

        const double realWidth = document->pageSizeMm(1).width() * view.logicalDpiX() / 25.4;
        QCOMPARE(
            view.zoomToFit(QSize(qRound(realWidth / 2), 10000), true), qRound(realWidth / 2) / realWidth);
        QVERIFY(view.zoomToFit(QSize(qRound(realWidth / 2), 100), false) < 0.2); // the height decides
        QTRY_VERIFY_WITH_TIMEOUT(!view.drawing(), 30000);
    }

    // Ctrl+wheel in the dialog keeps the spot of the page under the mouse
    // where it was, zooming in and out, near the middle and near a corner.
    void zoomKeepsTheSpotUnderTheMouse()
    {
        QString error;
        std::shared_ptr<pdf::PdfDocument> document = pdf::OpenPdf(fixture("two.pdf"), &error);
        QImage face(50, 50, QImage::Format_ARGB32);
        face.fill(Qt::red);
        app::PdfStampDialog dialog(document, {fixture("two.pdf")}, face, 1, 18, {});
        dialog.resize(500, 400);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        app::PdfPageView &view = dialog.view();
        view.setZoom(2);
        QWidget *viewport = view.parentWidget();
        for (const QPoint at : {viewport->rect().center(), QPoint(30, 40)})
            for (const int notches : {2, -1}) {
                const QPointF mm = view.toMm(view.mapFrom(viewport, QPointF(at)));
                const QPointF inView = view.mapFrom(viewport, QPointF(at));
                QWheelEvent event(inView, view.mapToGlobal(inView), {}, {0, 120 * notches}, Qt::NoButton,
                    Qt::ControlModifier, Qt::NoScrollPhase, false);
                QApplication::sendEvent(&view, &event);
                const QPointF now = view.toMm(view.mapFrom(viewport, QPointF(at)));
                QVERIFY2((now - mm).manhattanLength() < 1,
                    qPrintable(
                        QStringLiteral("%1,%2 -> %3,%4").arg(mm.x()).arg(mm.y()).arg(now.x()).arg(now.y())));
            }
        QTRY_VERIFY_WITH_TIMEOUT(!view.drawing(), 30000);
    }

    // Three files dropped on a text box of the window: the page view opens
    // on the first, the places chosen there go on the others, the file that
    // is not a PDF is named; the text box keeps its text.
    void droppedFilesAreStampedTogether()
    {
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        const QString out = folder.filePath("out");
        QVERIFY(QDir(folder.path()).mkdir("out"));
        host::TextBox &box = *t.c().QVLabel[0];
        const QString text = box.text();

        QString title;
        QTimer driver; // the page view runs its own event loop
        connect(&driver, &QTimer::timeout, this, [&] {
            for (QWidget *w : QApplication::topLevelWidgets())
                if (auto *d = qobject_cast<app::PdfStampDialog *>(w);
                    d && d->isVisible() && !d->view().drawing() && d->view().placements().empty()) {
                    title = d->windowTitle();
                    d->view().placeOrRemoveAt({100, 100});
                    d->saveTo(out);
                }
        });
        driver.start(50);
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(fixture("three.pdf")), QUrl::fromLocalFile(fixture("letter.pdf")),
            QUrl::fromLocalFile(fixture("one.pdf"))});
        data.setText(fixture("three.pdf"));
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&box, &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&box, &drop);
        QTRY_VERIFY_WITH_TIMEOUT(t.window->savedNotice(), 60000);

        QCOMPARE(title, QStringLiteral("PDF に押印 — three.pdf ほか 2 個"));
        QCOMPARE(entries(out), (QStringList {"one_押印.pdf", "three_押印.pdf"}));
        QCOMPARE(numbersIn(folder.filePath("out/one_押印.pdf")).size(), 1);
        QCOMPARE(t.messages.shown.size(), size_t(1));
        QVERIFY(t.messages.shown[0].text.contains("letter.pdf"));
        QCOMPARE(box.text(), text);
    }
};

QTEST_MAIN(tst_StampInWindow)
#include "tst_StampInWindow.moc"
