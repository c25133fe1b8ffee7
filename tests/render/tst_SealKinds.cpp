// The kinds of seal: each kind's frame and characters against its geometry,
// and each drawn for real, its shape looked for in the pixels.
#include "render/FaceExport.h"
#include "render/SealLayout.h"

#include "host/ImageSurface.h"
#include "host/Units.h"

#include "FaceFixture.h"

#include <QTest>
#include <cmath>

using render::SealKind;

namespace {

render::StampGeometry geometryOf(SealKind kind, int strokePx)
{
    render::StampGeometry g;
    g.StampRadius = 1600;
    g.StampCenterX = g.StampCenterY = 1625;
    g.Kind = kind;
    g.StrokePx = strokePx;
    return g;
}

bool inked(const QImage &image, double xTwips, double yTwips)
{
    const QColor c = image.pixelColor(int(host::twipsToPx(xTwips)), int(host::twipsToPx(yTwips)));
    return c.red() > 128 && c.green() < 100 && c.blue() < 100; // the default ink is red
}

} // namespace

class tst_SealKinds : public QObject {
    Q_OBJECT
private slots:
    void layoutsKeepInsideTheirFrames_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QStringList>("rows");
        QTest::addColumn<int>("strokePx");
        QTest::addColumn<int>("rings");
        QTest::addColumn<int>("glyphs");
        QTest::newRow("square, company and 之印")
            << 1 << QStringList {"株式会社山田商事", "之印", ""} << 2 << 0 << 10;
        QTest::newRow("square, one character") << 1 << QStringList {"印", "", ""} << 2 << 0 << 1;
        QTest::newRow("square, thick rim")
            << 1 << QStringList {"株式会社山田商事", "之印", ""} << 7 << 0 << 10;
        QTest::newRow("round, two characters") << 2 << QStringList {"", "", "山 田"} << 2 << 1 << 2;
        QTest::newRow("round, full name in columns") << 2 << QStringList {"", "", "山田太郎"} << 5 << 1 << 4;
        QTest::newRow("round, a variation selector stays one")
            << 2 << QStringList {"", "", "渡邉\U000E0100"} << 2 << 1 << 2;
        QTest::newRow("title, company and title")
            << 3 << QStringList {"株式会社山田商事", "代表取締役印", ""} << 3 << 2 << 14;
        QTest::newRow("title, a long rim shrinks")
            << 3 << QStringList {"株式会社クヴァント日付印製作所東京本社総務部", "印", ""} << 2 << 2 << 23;
        QTest::newRow("title, empty") << 3 << QStringList {"", "", ""} << 2 << 2 << 0;
    }
    void layoutsKeepInsideTheirFrames()
    {
        QFETCH(int, kind);
        QFETCH(QStringList, rows);
        QFETCH(int, strokePx);
        QFETCH(int, rings);
        QFETCH(int, glyphs);
        const render::StampGeometry g = geometryOf(SealKind(kind), strokePx);
        const render::SealLayout layout = kind == 1 ? render::SquareSealLayout(g, rows[0] + rows[1])
            : kind == 2                             ? render::RoundSealLayout(g, rows[2])
                                                    : render::TitleSealLayout(g, rows[0], rows[1]);
        QCOMPARE(int(layout.ringRadii.size()), rings);
        QCOMPARE(int(layout.glyphs.size()), glyphs);
        const double halfPen = host::pxToTwips(strokePx / 2.0);
        // The outer edge of the frame's pen lies one pixel beyond the radius, whatever the pen.
        const double outerEdge = (kind == 1 ? layout.squareHalfSide : layout.ringRadii[0]) + halfPen;
        QCOMPARE(outerEdge, g.StampRadius + host::pxToTwips(1));
        QCOMPARE(layout.squareHalfSide > 0, kind == 1);

        for (const render::SealGlyph &glyph : layout.glyphs) {
            const double dx = glyph.centreX - g.StampCenterX;
            const double dy = glyph.centreY - g.StampCenterY;
            const double half = glyph.emTwips / 2;
            QVERIFY(glyph.emTwips > 100);
            if (kind == 1) {
                QVERIFY(std::abs(dx) + half < layout.squareHalfSide - halfPen);
                QVERIFY(std::abs(dy) + half < layout.squareHalfSide - halfPen);
            } else if (glyph.angle == 0 && (kind == 2 || glyph.rowIndex == 1)) {
                // Upright inside the innermost circle: its corners too.
                const double within = layout.ringRadii.back() - halfPen;
                QVERIFY2(std::hypot(std::abs(dx) + half, std::abs(dy) + half) <= within + 1,
                    qPrintable(glyph.text));
            } else {
                // On the rim: between the circles, turned to face outwards.
                const double r = std::hypot(dx, dy);
                QVERIFY(r - half > layout.ringRadii[1] + halfPen - 1);
                QVERIFY(r + half < layout.ringRadii[0] - halfPen + 1);
                QVERIFY(std::abs(glyph.angle) <= 150);
                QCOMPARE(glyph.angle > 0, dx > 0);
            }
        }
        // Read in columns, right to left: the first character is the rightmost.
        if (glyphs > 1 && !(kind == 3 && !rows[0].isEmpty()))
            QVERIFY(layout.glyphs.front().centreX >= layout.glyphs.back().centreX);
    }

    void gridsInACircle_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("columns");
        QTest::addColumn<int>("rows");
        QTest::newRow("one") << 1 << 1 << 1;
        QTest::newRow("two stacked") << 2 << 1 << 2;
        QTest::newRow("four in two columns") << 4 << 2 << 2;
        QTest::newRow("six in two columns of three") << 6 << 2 << 3;
        QTest::newRow("nine") << 9 << 3 << 3;
    }
    void gridsInACircle()
    {
        QFETCH(int, count);
        QFETCH(int, columns);
        QFETCH(int, rows);
        const render::CellGrid grid = render::GridInCircle(count);
        QCOMPARE(grid.columns, columns);
        QCOMPARE(grid.rows, rows);
    }

    void drawnShapes_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("square") << 1;
        QTest::newRow("round") << 2;
        QTest::newRow("title") << 3;
    }
    void drawnShapes()
    {
        QFETCH(int, kind);
        FaceFixture f;
        f.controls.kind = SealKind(kind);
        f.controls.sizeMm = render::DefaultSealMm(f.controls.kind);
        f.rows[0]->SetText(QStringLiteral("株式会社山田商事"));
        f.rows[1]->SetText(kind == 1 ? QStringLiteral("之印") : QStringLiteral("代表取締役印"));
        f.rows[2]->SetText(QStringLiteral("山田"));
        f.ink = 255;
        const QImage face = render::FaceImage(f.controls, 1, false, f.controls.sizeMm);
        host::ImageSurface screen(3315, 3315);
        f.controls.Picture1 = &screen;
        render::RedrawStamp(f.controls, f.geometry);
        const render::StampGeometry &g = f.geometry;
        QCOMPARE(face, screen.Image());
        QVERIFY(g.StrokePx > 2); // at its own size the rim is at least 0.4 mm
        QCOMPARE(g.DateBandHeight, 0.0f);

        const double cx = g.StampCenterX, cy = g.StampCenterY, r = g.StampRadius;
        const double rim = render::OuterPenRadius(g);
        // The date stamp's bar would cross here, just inside the rim.
        const double barY = cy - cy / 2.5 / 2;
        const double barX = cx - 0.9 * r;
        if (kind == 1) {
            for (const int sx : {-1, 1})
                for (const int sy : {-1, 1})
                    QVERIFY2(inked(face, cx + sx * rim, cy + sy * rim), "a corner is not inked");
            QVERIFY(inked(face, cx, cy - rim));
        } else {
            QVERIFY(inked(face, cx, cy - rim));
            QVERIFY(inked(face, cx + rim, cy));
            QVERIFY(!inked(face, cx + 0.9 * rim, cy - 0.9 * rim)); // no square corner
            QVERIFY(!inked(face, barX, barY));
            QVERIFY(!inked(face, barX, cy + cy / 2.5 / 2));
        }
        // The title seal's inner ring, below, where the rim text leaves a gap.
        const double inner = 0.62 * rim;
        if (kind != 1) {
            QCOMPARE(inked(face, cx + inner, cy), kind == 3);
            QCOMPARE(inked(face, cx, cy + (inner + rim) / 2), false);
        }
        // The face as vectors follows the kind as well: circles for the round kinds only.
        const QByteArray svg = render::FaceSvg(f.controls, f.controls.sizeMm);
        QCOMPARE(svg.count("<ellipse") + svg.count("<circle"), kind == 1 ? 0 : kind == 2 ? 1 : 2);
    }
};

QTEST_MAIN(tst_SealKinds)
#include "tst_SealKinds.moc"
