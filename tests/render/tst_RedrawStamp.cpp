// The whole face: geometry, the rows' anchors and limits, the frame, the
// date row and the nested redraw its rewrite causes.
#include "render/DateText.h"
#include "render/RedrawStamp.h"

#include "FaceFixture.h"

#include <QTest>

class tst_RedrawStamp : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        f = std::make_unique<FaceFixture>();
        f->wireRows();
    }

    void geometryAndFrameOfTheShippedBox()
    {
        f->redraw();
        QCOMPARE(f->geometry.StampRadius, 1600.0f);
        QCOMPARE(f->geometry.StampCenterX, 1625.0f);
        QCOMPARE(f->geometry.StampCenterY, 1625.0f);
        QCOMPARE(f->geometry.DateBandHeight, 650.0f);
        QCOMPARE(f->surface.fillStyle, 1);
        QCOMPARE(f->surface.fillColor, 0xFFFFFF);
        const auto &strokes = f->surface.strokes;
        QCOMPARE(strokes.size(), size_t(3));
        QCOMPARE(strokes[0].kind, QStringLiteral("circle"));
        QCOMPARE(strokes[0].x1, 1625.0);
        QCOMPARE(strokes[0].x2, 1600.0);
        for (size_t i : {size_t(1), size_t(2)}) {
            QCOMPARE(strokes[i].kind, QStringLiteral("line"));
            QVERIFY(qAbs(strokes[i].x1 - 73) < 1e-9 && qAbs(strokes[i].x2 - 3177) < 1e-9);
            QCOMPARE(strokes[i].y1, strokes[i].y2);
            QCOMPARE(strokes[i].width, 2);
            QCOMPARE(strokes[i].color, 255);
        }
        QCOMPARE(strokes[1].y1, 1300.0);
        QCOMPARE(strokes[2].y1, 1950.0);
    }

    void rowsAreAnchoredAndLimitedAsDesigned()
    {
        f->chkQVID.SetValue(1);
        f->redraw();
        // With 10 twips a character and 20 a line per point, a row's size
        // shows which limit stopped it.
        const auto *date = f->printedRow(QStringLiteral("2000.01.05")); // 100/pt wide, limit 3040
        const auto *dept = f->printedRow(QStringLiteral("部課係名")); // 40/pt, limit 2720; height 650
        const auto *company = f->printedRow(QStringLiteral("会 社 名"));
        const auto *name = f->printedRow(QStringLiteral("氏    名")); // 60/pt, limit 2720
        const auto *id = f->printedRow(QStringLiteral("QVANTOID")); // 80/pt, limit 1760
        QVERIFY(date && dept && company && name && id);
        QCOMPARE(date->size, 30.0);
        QCOMPARE(date->y, 1625 - 600 / 2.0);
        QCOMPARE(dept->size, 32.0);
        QCOMPARE(dept->y, 1275 - 640.0);
        // The company row sits on the department row, limited to its line height - 175.
        QCOMPARE(company->size, 23.0);
        QCOMPARE(company->y, dept->y - 460);
        QCOMPARE(name->size, 32.0);
        QCOMPARE(name->y, 2000.0);
        QCOMPARE(id->size, 22.0); // exactly as wide as its limit: a row that just fits is kept
        QCOMPARE(id->y, 2640.0);
        QCOMPARE(date->font, QStringLiteral("Face3"));
        QCOMPARE(id->font, QStringLiteral("Face3"));
        QCOMPARE(company->font, QStringLiteral("Face0"));
    }

    void identificationRowOnlyWhileTicked()
    {
        for (int value : {0, 1, 2}) {
            f->chkQVID.SetValue(value);
            f->redraw();
            QCOMPARE(f->printedRow(QStringLiteral("QVANTOID")) != nullptr, value != 0);
            QCOMPARE(f->surface.printed.size(), size_t(value != 0 ? 5 : 4));
        }
    }

    void everythingInTheInk()
    {
        f->ink = 16776960;
        f->chkQVID.SetValue(1);
        f->redraw();
        for (const auto &p : f->surface.printed)
            QCOMPARE(p.color, 16776960);
        for (const auto &s : f->surface.strokes)
            QCOMPARE(s.color, 16776960);
    }

    void dateRowText_data()
    {
        QTest::addColumn<QString>("y");
        QTest::addColumn<QString>("m");
        QTest::addColumn<QString>("d");
        QTest::addColumn<QString>("row");
        QTest::newRow("padded") << "2000"
                                << "1"
                                << "5"
                                << "2000.01.05";
        QTest::newRow("long parts") << "12345"
                                    << "123"
                                    << "7"
                                    << "12345.123.07";
        QTest::newRow("year zero") << "0"
                                   << "12"
                                   << "31"
                                   << "0000.12.31";
        QTest::newRow("not numbers") << "Text1"
                                     << "Text1"
                                     << ""
                                     << "Text1.Text1.";
    }
    void dateRowText()
    {
        QFETCH(QString, y);
        QFETCH(QString, m);
        QFETCH(QString, d);
        QFETCH(QString, row);
        f->setDate(y, m, d);
        f->redraw();
        QCOMPARE(f->rows[3]->Text(), row);
        QVERIFY(f->printedRow(row));
    }

    void newDateTextRedrawsOnceMoreInside()
    {
        f->date[2]->SetText(QStringLiteral("6"));
        f->redraw();
        QCOMPARE(f->redraws, 2); // the rewrite of the date row nests one redraw
        QCOMPARE(f->surface.clears, 2);
        QCOMPARE(f->surface.printed.size(), size_t(8)); // the outer pass draws over the inner one

        f->redraws = 0;
        f->surface.clears = 0;
        f->redraw();
        QCOMPARE(f->redraws, 1); // same date text: a single pass
        QCOMPARE(f->surface.printed.size(), size_t(4));
    }

    void widerBoxScalesWithTheRadius()
    {
        f->surface.width = 6615;
        f->redraw();
        QCOMPARE(f->geometry.StampRadius, 3250.0f);
        QCOMPARE(f->geometry.DateBandHeight, float(3275 / 2.5));
    }

private:
    std::unique_ptr<FaceFixture> f;
};

QTEST_MAIN(tst_RedrawStamp)
#include "tst_RedrawStamp.moc"
