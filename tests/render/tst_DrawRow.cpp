// The size search, the step back and the placement of one row. The fake
// surface makes a character 10 twips wide and a line 20 twips high per point.
#include "render/DrawRow.h"

#include "host/HostError.h"

#include "FaceFixture.h"

#include <QTest>

class tst_DrawRow : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        f = std::make_unique<FaceFixture>();
        f->geometry.StampCenterX = 1625;
    }

    void searchStopsOneSizeBelowTheFirstThatFails_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<double>("maxWidth");
        QTest::addColumn<double>("maxHeight");
        QTest::addColumn<double>("size");
        QTest::addColumn<double>("fittedWidth");
        QTest::addColumn<double>("fittedHeight");
        // "abc" is 30 twips wide per point; a line 20 high per point.
        QTest::newRow("width limits") << "abc" << 300.0 << 1000.0 << 9.0 << 270.0 << 180.0;
        QTest::newRow("exact width does not fit") << "abc" << 270.0 << 1000.0 << 8.0 << 240.0 << 160.0;
        QTest::newRow("height limits") << "a" << 3000.0 << 650.0 << 32.0 << 320.0 << 640.0;
        QTest::newRow("empty text takes a line") << "" << 3040.0 << 650.0 << 32.0 << 0.0 << 640.0;
    }
    void searchStopsOneSizeBelowTheFirstThatFails()
    {
        QFETCH(QString, text);
        QFETCH(double, maxWidth);
        QFETCH(double, maxHeight);
        QFETCH(double, size);
        QFETCH(double, fittedWidth);
        QFETCH(double, fittedHeight);
        f->rows[0]->SetText(text);
        const float y = render::DrawRow(
            f->controls, f->geometry, 2000, QStringLiteral("bottom"), maxHeight, maxWidth, 0, 0);
        QCOMPARE(f->surface.printed.size(), size_t(1));
        const auto &p = f->surface.printed[0];
        QCOMPARE(p.size, size);
        QCOMPARE(p.x, 1625 - fittedWidth / 2);
        QCOMPARE(double(y), 2000 - fittedHeight);
        QCOMPARE(p.y, double(y));
        QCOMPARE(p.text, text);
        QCOMPARE(p.font, QStringLiteral("Face0"));
        QCOMPARE(p.color, 255);
    }

    void placements()
    {
        f->rows[3]->SetText(QStringLiteral("abc"));
        auto place = [&](const char *placement) {
            return render::DrawRow(
                f->controls, f->geometry, 1000, QString::fromLatin1(placement), 1000, 300, 3, 3);
        };
        QCOMPARE(place("top"), 1000.0f);
        QCOMPARE(place("center"), 1000.0f - 90);
        QCOMPARE(place("bottom"), 1000.0f - 180);
        QCOMPARE(place("Top"), 0.0f); // compared exactly: no placement matches
    }

    void nothingFitsLeavesTheSmallestSizeOnTheCentreLine()
    {
        f->rows[0]->SetText(QStringLiteral("abc"));
        for (double limit : {0.0, -175.0}) {
            f->surface.printed.clear();
            const float y = render::DrawRow(
                f->controls, f->geometry, 1234, QStringLiteral("bottom"), limit, 3000, 0, 0);
            QCOMPARE(y, 1234.0f);
            QCOMPARE(f->surface.printed[0].x, 1625.0);
            QCOMPARE(f->surface.printed[0].size, 1.0);
        }
    }

    void sizeIsSteppedBackFromWhatTheSurfaceRealised()
    {
        // A surface that keeps sizes in steps of 0.75 points.
        f->surface.sizeStep = 0.75;
        f->rows[0]->SetText(QStringLiteral("abc"));
        render::DrawRow(f->controls, f->geometry, 0, QStringLiteral("top"), 1000, 300, 0, 0);
        // Trial 10 realises 9.75 (292.5 wide, fits); trial 11 realises 11.25
        // and fails; 11.25 - 1 = 10.25, which the surface realises as 10.5.
        QCOMPARE(f->surface.printed[0].size, 10.5);
    }

    void largestSizeEndsTheSearch()
    {
        f->surface.maxSize = 50;
        f->rows[0]->SetText(QString());
        render::DrawRow(f->controls, f->geometry, 0, QStringLiteral("top"), 1e9, 1e9, 0, 0);
        QCOMPARE(f->surface.printed[0].size, 49.0);
    }

    void styleComesFromTheRowAndFaceFromTheFontField()
    {
        QFont bold = f->rows[2]->font();
        bold.setBold(true);
        bold.setUnderline(true);
        f->rows[2]->setFont(bold);
        render::DrawRow(f->controls, f->geometry, 0, QStringLiteral("top"), 100, 100, 2, 1);
        QVERIFY(f->surface.bold && f->surface.underline && !f->surface.italic && !f->surface.strike);
        QCOMPARE(f->surface.printed[0].font, QStringLiteral("Face1"));
    }

    void indexesOutsideTheArraysAreErrors()
    {
        QVERIFY_THROWS_EXCEPTION(
            host::HostError, render::DrawRow(f->controls, f->geometry, 0, QStringLiteral("top"), 1, 1, 5, 0));
        QVERIFY_THROWS_EXCEPTION(
            host::HostError, render::DrawRow(f->controls, f->geometry, 0, QStringLiteral("top"), 1, 1, 0, 4));
        QVERIFY(f->surface.printed.empty());
    }

private:
    std::unique_ptr<FaceFixture> f;
};

QTEST_MAIN(tst_DrawRow)
#include "tst_DrawRow.moc"
