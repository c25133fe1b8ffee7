// Era dates and the face drawn for output: finer pixels, transparent
// background and vectors, all from the same layout.
#include "render/DateStyle.h"
#include "render/FaceExport.h"

#include "host/ImageSurface.h"

#include "FaceFixture.h"

#include <QTest>
#include <QXmlStreamReader>

class tst_FaceOptions : public QObject {
    Q_OBJECT
private slots:
    void eraDates_data()
    {
        QTest::addColumn<QStringList>("date");
        QTest::addColumn<int>("style");
        QTest::addColumn<QString>("row");
        QTest::newRow("last day of Heisei") << QStringList {"2019", "4", "30"} << 1 << "H31.04.30";
        QTest::newRow("last day of Heisei, name") << QStringList {"2019", "4", "30"} << 2 << "平成31.04.30";
        QTest::newRow("first day of Reiwa") << QStringList {"2019", "5", "1"} << 1 << "R1.05.01";
        QTest::newRow("first day of Reiwa, name") << QStringList {"2019", "5", "1"} << 2 << "令和元.05.01";
        QTest::newRow("first day of Heisei, name") << QStringList {"1989", "1", "8"} << 2 << "平成元.01.08";
        QTest::newRow("second year, name") << QStringList {"2020", "1", "1"} << 2 << "令和2.01.01";
        QTest::newRow("no 04.31: era of April") << QStringList {"2019", "4", "31"} << 2 << "平成31.04.31";
        QTest::newRow("no 04.31, initial") << QStringList {"2019", "4", "31"} << 1 << "H31.04.31";
        QTest::newRow("no 02.30 in Heisei 1") << QStringList {"1989", "2", "30"} << 2 << "平成元.02.30";
        QTest::newRow("today's kind of date") << QStringList {"2026", "12", "7"} << 1 << "R8.12.07";
        QTest::newRow("Showa to Heisei") << QStringList {"1989", "1", "7"} << 2 << "昭和64.01.07";
        QTest::newRow("western") << QStringList {"2026", "12", "7"} << 0 << "2026.12.07";
        QTest::newRow("not a number stays western") << QStringList {"2026", "x", "7"} << 1 << "2026.x.07";
        QTest::newRow("year 0 has no era") << QStringList {"0", "1", "1"} << 2 << "0000.01.01";
    }
    void eraDates()
    {
        QFETCH(QStringList, date);
        QFETCH(int, style);
        QFETCH(QString, row);
        QCOMPARE(render::DateRowText(date[0], date[1], date[2], render::DateStyle(style)), row);
    }

    void finerPixelsKeepTheLayout()
    {
        FaceFixture f;
        host::ImageSurface screen(3315, 3315);
        f.controls.Picture1 = &screen;
        render::RedrawStamp(f.controls, f.geometry);

        const QImage one = render::FaceImage(f.controls, 1, false);
        QCOMPARE(one, screen.Image());
        const QImage three = render::FaceImage(f.controls, 3, false);
        QCOMPARE(three.size(), QSize(651, 651));
        QCOMPARE(qRound(three.dotsPerMeterX() * 0.0254), 3 * 96);
        // Scaled back down, the finer face lies where the screen's does.
        const QImage down = three.scaled(217, 217, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        int differing = 0;
        for (int y = 0; y < 217; ++y)
            for (int x = 0; x < 217; ++x)
                differing += qAbs(qGray(down.pixel(x, y)) - qGray(one.pixel(x, y))) > 128;
        QVERIFY2(differing < 217 * 217 / 100, qPrintable(QString::number(differing)));
    }

    void transparentBackgroundKeepsOnlyTheInk()
    {
        FaceFixture f;
        host::ImageSurface screen(3315, 3315);
        f.controls.Picture1 = &screen;
        const QImage face = render::FaceImage(f.controls, 2, true);
        QVERIFY(face.hasAlphaChannel());
        QCOMPARE(qAlpha(face.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(face.pixel(216, 216)), 0);
        // The band line at y = 1300 twips: 173 or 174 device pixels at 2x.
        const QRgb line = face.pixel(100, 173) ? face.pixel(100, 173) : face.pixel(100, 174);
        QCOMPARE(qAlpha(line), 255);
        QCOMPARE(qRed(line), 255);

        QImage fromPng;
        QVERIFY(fromPng.loadFromData(render::FacePng(f.controls, 2, true), "PNG"));
        QCOMPARE(qAlpha(fromPng.pixel(0, 0)), 0);
    }

    void svgHasTheFrameAndRowsAsVectors()
    {
        FaceFixture f;
        host::ImageSurface screen(3315, 3315);
        f.controls.Picture1 = &screen;
        const QString svg = QString::fromUtf8(render::FaceSvg(f.controls));
        QVERIFY(svg.startsWith(QStringLiteral("<?xml")));
        for (const char *row : {"会 社 名", "部課係名", "2000.01.05"})
            QVERIFY2(svg.contains(QString::fromUtf8(row)), row);
        QVERIFY(svg.contains(QStringLiteral("<text")));
        // The frame: a circle of 1600 twips about the box's centre at 1625,
        // at 15 twips a pixel, however the numbers are written.
        QXmlStreamReader xml(svg);
        while (!xml.atEnd()
            && !(xml.readNext() == QXmlStreamReader::StartElement && xml.name() == u"circle")) { }
        const QXmlStreamAttributes circle = xml.attributes();
        QVERIFY2(!xml.atEnd(), "no circle");
        for (const auto &[attribute, twips] : {std::pair {QStringLiteral("cx"), 1625},
                 {QStringLiteral("cy"), 1625}, {QStringLiteral("r"), 1600}})
            QVERIFY2(qAbs(circle.value(attribute).toDouble() - twips / 15.0) < 0.01,
                qPrintable(circle.value(attribute).toString()));
        QCOMPARE(svg.count(QStringLiteral("<polyline")), 2);
        QVERIFY(svg.contains(QStringLiteral("#ff0000")));
    }
};

QTEST_MAIN(tst_FaceOptions)
#include "tst_FaceOptions.moc"
