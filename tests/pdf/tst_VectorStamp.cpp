// A stamped PDF as it leaves the desk: the original bytes followed by a small
// update, the seal drawn as vectors, in place in two renderers, readable by
// strict checkers, and stamped again by the next approver.
#include "pdf/LoadPdfModule.h"

#include "../app/TestWindow.h"
#include "PdfFixtures.h"
#include "Requirement.h"
#include "StampPdfRun.h"

#include <QDir>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <set>

namespace {

constexpr double kDpi = 100;
constexpr qint64 kMostBytesAddedByOneStamp = 40 * 1024;

struct Tool {
    int status = -1;
    QByteArray output; // standard output and error together
};

Tool runTool(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    Tool tool;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit)
        tool.status = process.exitCode();
    tool.output = process.readAll();
    return tool;
}

// The page as each renderer draws it: Poppler's pdftoppm and MuPDF.
QImage drawnBy(const QString &renderer, const QString &pdf, int page, const QString &folder)
{
    const QString png = folder + "/" + renderer + ".png";
    QFile::remove(png);
    const QString dpi = QString::number(kDpi);
    const QString number = QString::number(page);
    const Tool tool = renderer == "mutool"
        ? runTool("mutool", {"draw", "-q", "-r", dpi, "-o", png, pdf, number})
        : runTool("pdftoppm",
            {"-cropbox", "-r", dpi, "-f", number, "-l", number, "-png", "-singlefile", pdf, png.chopped(4)});
    if (tool.status != 0 || tool.output.contains("error"))
        qWarning() << renderer << tool.output;
    return tool.status == 0 && !tool.output.contains("error") ? QImage(png) : QImage();
}

// Every object the update refers to is in the file: a reference to nothing
// reads as null, and a text whose font is missing vanishes.
QStringList danglingReferences(const QString &pdf, const QByteArray &update)
{
    std::set<QString> numbers;
    static const QRegularExpression reference(QStringLiteral("(\\d+) 0 R\\b"));
    for (const auto &match : reference.globalMatch(QString::fromLatin1(update)))
        numbers.insert(match.captured(1));
    QStringList dangling;
    for (const QString &number : numbers) {
        const Tool shown = runTool("qpdf", {"--show-object=" + number, pdf});
        if (shown.status != 0 || shown.output.trimmed() == "null")
            dangling << number;
    }
    return dangling;
}

} // namespace

class tst_VectorStamp : public QObject {
    Q_OBJECT
private:
    QTemporaryDir m_fixtures;
    QString fixture(const QString &name) const { return m_fixtures.filePath(name); }

private slots:
    void initTestCase()
    {
        for (const char *tool : {"qpdf", "pdftoppm", "pdfimages", "pdffonts", "mutool"})
            QVANTO_REQUIRE(!QStandardPaths::findExecutable(tool).isEmpty(),
                "qpdf, poppler-utils and mupdf-tools are needed");
        QVERIFY(pdffixtures::writePlainTurnedCropped(m_fixtures));
        for (const char *turn : {"180", "270"})
            QVERIFY(pdffixtures::run("qpdf",
                {fixture("plain.pdf"), QStringLiteral("--rotate=+%1:1").arg(turn),
                    fixture(QStringLiteral("turned%1.pdf").arg(turn))}));
        // A cross-reference stream and object streams, as Acrobat and Word write them.
        QVERIFY(pdffixtures::run(
            "qpdf", {"--object-streams=generate", fixture("plain.pdf"), fixture("objectstreams.pdf")}));
    }

    void appendsAVectorSealInPlace_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<int>("page");
        QTest::addColumn<QPointF>("centreMm");
        QTest::addColumn<double>("sizeMm");
        QTest::newRow("A4, 18 mm") << "plain.pdf" << 2 << QPointF(150, 40) << 18.0;
        QTest::newRow("40 mm") << "plain.pdf" << 1 << QPointF(60, 200) << 40.0;
        QTest::newRow("turned a quarter") << "turned.pdf" << 2 << QPointF(250, 40) << 18.0;
        QTest::newRow("turned half") << "turned180.pdf" << 1 << QPointF(30, 250) << 18.0;
        QTest::newRow("turned three quarters") << "turned270.pdf" << 1 << QPointF(200, 150) << 25.0;
        QTest::newRow("crop box") << "cropped.pdf" << 1 << QPointF(20, 30) << 18.0;
        QTest::newRow("object streams") << "objectstreams.pdf" << 1 << QPointF(100, 100) << 18.0;
    }
    void appendsAVectorSealInPlace()
    {
        QFETCH(QString, input);
        QFETCH(int, page);
        QFETCH(QPointF, centreMm);
        QFETCH(double, sizeMm);
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        const QString in = fixture(input);
        const QString out = folder.filePath("out.pdf");
        const pdffixtures::Run run = pdffixtures::stampPdf(t,
            {in, out, "--page", QString::number(page), "--x", QString::number(centreMm.x()), "--y",
                QString::number(centreMm.y()), "--size", QString::number(sizeMm)});
        QVERIFY2(run.status == 0, qPrintable(run.err));

        const QByteArray before = hardening::readBytes(in);
        const QByteArray after = hardening::readBytes(out);
        QVERIFY(after.startsWith(before));
        QVERIFY2(after.size() - before.size() <= kMostBytesAddedByOneStamp,
            qPrintable(QString::number(after.size())));
        const Tool check = runTool("qpdf", {"--check", out});
        QVERIFY2(check.status == 0, check.output.constData());
        QCOMPARE(danglingReferences(out, after.mid(before.size())), QStringList());
        // The update points back to the file's last section, whatever its
        // kind, so the chain of revisions is whole.
        const QByteArray endOfBefore = before.mid(before.lastIndexOf("startxref") + 9).simplified();
        const QRegularExpressionMatch prev
            = QRegularExpression(R"(/Prev\s+(\d+))").match(QString::fromLatin1(after.mid(before.size())));
        QVERIFY2(prev.hasMatch(), "no /Prev in the update");
        QCOMPARE(prev.captured(1).toLatin1(), endOfBefore.split(' ').value(0));
        // Vectors and a font subset, no picture.
        const Tool images = runTool("pdfimages", {"-list", out});
        QCOMPARE(images.status, 0);
        QCOMPARE(images.output.trimmed().count('\n'), 1); // the heading's two lines only
        const QList<QByteArray> fonts = runTool("pdffonts", {out}).output.trimmed().split('\n').mid(2);
        QVERIFY(!fonts.isEmpty());
        for (const QByteArray &font : fonts)
            QVERIFY2(font.contains(" yes "), font.constData()); // embedded

        for (const QString renderer : {"pdftoppm", "mutool"}) {
            const QImage drawn = drawnBy(renderer, out, page, folder.path());
            QVERIFY2(!drawn.isNull(), qPrintable(renderer));
            const QRectF ink = pdffixtures::inkMm(drawn, kDpi);
            const QString seen = QStringLiteral("%1: centre %2, %3 size %4 x %5")
                                     .arg(renderer)
                                     .arg(ink.center().x())
                                     .arg(ink.center().y())
                                     .arg(ink.width())
                                     .arg(ink.height());
            QVERIFY2((ink.center() - centreMm).manhattanLength() < 1.0, qPrintable(seen));
            QVERIFY2(qAbs(ink.width() - sizeMm) < 0.8 && qAbs(ink.height() - sizeMm) < 0.8, qPrintable(seen));
        }
    }

    // The next approver stamps the stamped file: both stamps found, the
    // first approver's file still whole at the start of the second's.
    void stampsAStampedFileAgain()
    {
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        const QString once = folder.filePath("once.pdf");
        const QString twice = folder.filePath("twice.pdf");
        const auto first = pdffixtures::stampPdf(
            t, {fixture("turned.pdf"), once, "--page", "2", "--x", "40", "--y", "40"});
        QCOMPARE(first.status, 0);
        const auto second
            = pdffixtures::stampPdf(t, {once, twice, "--page", "2", "--x", "200", "--y", "150"});
        QCOMPARE(second.status, 0);
        QVERIFY(hardening::readBytes(twice).startsWith(hardening::readBytes(once)));
        QCOMPARE(runTool("qpdf", {"--check", twice}).status, 0);

        QString error;
        const auto stamped = pdf::OpenPdf(twice, &error);
        QVERIFY2(stamped, qPrintable(error));
        const auto stamps = stamped->stamps();
        QCOMPARE(stamps.size(), size_t(2));
        QCOMPARE(stamps[0].number, first.out.trimmed());
        QCOMPARE(stamps[1].number, second.out.trimmed());
        QCOMPARE(stamps[1].page, 2);
    }

    // The update names the same file: the identifier's first half is kept
    // even when it was written as a literal string (as signing tools do).
    void keepsTheFilesIdentifier()
    {
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        const QString in = folder.filePath("literal-id.pdf");
        const QString out = folder.filePath("out.pdf");
        // Qt writes no identifier: one is given in the trailer, which no
        // offset points into.
        QByteArray bytes = hardening::readBytes(fixture("plain.pdf"));
        const qsizetype trailer = bytes.lastIndexOf("trailer");
        QVERIFY(trailer > 0 && bytes.indexOf("/Root", trailer) > 0);
        bytes.insert(bytes.indexOf("/Root", trailer), "/ID [(qvanto-test) (qvanto-test)]\n");
        QVERIFY(hardening::writeBytes(in, bytes));
        QCOMPARE(pdffixtures::stampPdf(t, {in, out, "--page", "1", "--x", "50", "--y", "50"}).status, 0);
        const QByteArray stamped = hardening::readBytes(out);
        QByteArray update = stamped.mid(stamped.lastIndexOf("trailer")).toLower();
        QVERIFY2(update.replace(" ", "").contains("/id[<" + QByteArray("qvanto-test").toHex()),
            update.constData());
    }

    // What was signed before the stamp stays as signed: the signature
    // still verifies, and no longer covers the whole file.
    void keepsAnEarlierSignatureValid()
    {
        QVANTO_REQUIRE(
            !QStandardPaths::findExecutable("certutil").isEmpty(), "certutil (libnss3-tools) is needed");
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        const QString nss = "sql:" + folder.filePath("nss");
        QVERIFY(QDir(folder.path()).mkdir("nss"));
        QVERIFY(hardening::writeBytes(folder.filePath("noise"), QByteArray(64, 'q')));
        QCOMPARE(runTool("certutil", {"-N", "-d", nss, "--empty-password"}).status, 0);
        QCOMPARE(runTool("certutil",
                     {"-S", "-s", "CN=QVanto Test", "-n", "test", "-x", "-t", "CT,C,C", "-k", "rsa", "-g",
                         "2048", "-v", "12", "-d", nss, "-z", folder.filePath("noise")})
                     .status,
            0);
        const QString signedPdf = folder.filePath("signed.pdf");
        const QString out = folder.filePath("out.pdf");
        QCOMPARE(runTool("pdfsig",
                     {"-add-signature", "-nssdir", nss, "-nick", "test", fixture("plain.pdf"), signedPdf})
                     .status,
            0);
        QCOMPARE(
            pdffixtures::stampPdf(t, {signedPdf, out, "--page", "1", "--x", "50", "--y", "50"}).status, 0);
        const QByteArray verdict = runTool("pdfsig", {"-nssdir", nss, out}).output;
        QVERIFY2(verdict.contains("Signature is Valid") && !verdict.contains("Total document signed"),
            verdict.constData());
    }

    // One face on several places, pages turned and not, in one update whose
    // appearance and font are shared: three stamps cost little more than one.
    void putsOneFaceOnManyPlaces()
    {
        QTemporaryDir folder;
        hardening::TestWindow t(folder.path());
        QString error;
        const auto document = pdf::OpenPdf(fixture("turned.pdf"), &error);
        QVERIFY2(document, qPrintable(error));
        const std::vector<pdf::StampPlacement> placements {
            {1, 30, 30, 18}, {1, 150, 250, 18}, {2, 250, 40, 30}};
        const QByteArray bytes
            = document->withStamps(placements, t.window->PrintFaceAsPdf(), "0ABCDEF12", &error);
        QVERIFY2(!bytes.isEmpty(), qPrintable(error));
        const QByteArray before = hardening::readBytes(fixture("turned.pdf"));
        QVERIFY(bytes.startsWith(before));
        QVERIFY(bytes.size() - before.size() <= kMostBytesAddedByOneStamp);
        QCOMPARE(bytes.count("startxref"), before.count("startxref") + 1); // one update

        const QString out = folder.filePath("many.pdf");
        QVERIFY(hardening::writeBytes(out, bytes));
        QCOMPARE(danglingReferences(out, bytes.mid(before.size())), QStringList());
        const auto stamped = pdf::OpenPdf(out, &error);
        QVERIFY2(stamped, qPrintable(error));
        QCOMPARE(stamped->stamps().size(), size_t(3));
        for (const pdf::StampPlacement &p : placements) {
            const QRectF ink = pdffixtures::inkMm(drawnBy("mutool", out, p.page, folder.path()), kDpi);
            QVERIFY(ink.intersects(QRectF(p.xMm - 1, p.yMm - 1, 2, 2)));
        }
    }
};

QTEST_MAIN(tst_VectorStamp)
#include "tst_VectorStamp.moc"
