// Stepping the date with presses on the date band of the shipped face.
#include "render/DateBandClick.h"

#include "host/HostError.h"

#include "FaceFixture.h"

#include <QTest>

class tst_DateBandClick : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        f = std::make_unique<FaceFixture>();
        f->wireRows();
        f->redraw();
        redraws = 0;
    }

    void steps_data()
    {
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<int>("button");
        QTest::addColumn<float>("x");
        QTest::addColumn<float>("y");
        QTest::addColumn<QStringList>("after");
        QTest::addColumn<int>("redraws");
        const QStringList d {"2000", "1", "31"};
        QTest::newRow("year up") << d << 1 << 800.f << 1600.f << QStringList {"2001", "1", "31"} << 1;
        QTest::newRow("month down wraps")
            << d << 2 << 2000.f << 1600.f << QStringList {"2000", "12", "31"} << 1;
        QTest::newRow("day up wraps") << d << 1 << 2800.f << 1600.f << QStringList {"2000", "1", "1"} << 1;
        QTest::newRow("year 9999 up")
            << QStringList {"9999", "1", "1"} << 1 << 800.f << 1600.f << QStringList {"0", "1", "1"} << 1;
        QTest::newRow("year 0 down") << QStringList {"0", "1", "1"} << 2 << 800.f << 1600.f
                                     << QStringList {"9999", "1", "1"} << 1;
        QTest::newRow("month 12 up") << QStringList {"2000", "12", "1"} << 1 << 2000.f << 1600.f
                                     << QStringList {"2000", "1", "1"} << 1;
        QTest::newRow("day 1 down, any month") << QStringList {"2001", "2", "1"} << 2 << 3000.f << 1600.f
                                               << QStringList {"2001", "2", "31"} << 1;
        QTest::newRow("above the band") << d << 1 << 1600.f << 1200.f << d << 0;
        QTest::newRow("below the band") << d << 1 << 1600.f << 1951.f << d << 0;
        QTest::newRow("on the band top") << d << 1 << 800.f << 1300.f << QStringList {"2001", "1", "31"} << 1;
        QTest::newRow("on the band bottom")
            << d << 1 << 800.f << 1950.f << QStringList {"2001", "1", "31"} << 1;
        QTest::newRow("middle button") << d << 4 << 800.f << 1600.f << d << 1;
        QTest::newRow("left of the band") << d << 1 << 20.f << 1600.f << QStringList {"2001", "1", "31"} << 1;
        QTest::newRow("right of the band")
            << d << 1 << 3200.f << 1600.f << QStringList {"2001", "1", "31"} << 1;
        QTest::newRow("on the first split")
            << d << 1 << 1625.f << 1600.f << QStringList {"2001", "1", "31"} << 1;
        QTest::newRow("on the second split")
            << d << 1 << 2401.f << 1600.f << QStringList {"2000", "2", "31"} << 1;
        QTest::newRow("fraction") << QStringList {"2000", "1.5", "1"} << 1 << 2000.f << 1600.f
                                  << QStringList {"2000", "2.5", "1"} << 1;
    }
    void steps()
    {
        QFETCH(QStringList, before);
        QFETCH(int, button);
        QFETCH(float, x);
        QFETCH(float, y);
        QFETCH(QStringList, after);
        QFETCH(int, redraws);
        f->setDate(before[0], before[1], before[2]);
        press(button, x, y);
        QCOMPARE((QStringList {f->date[0]->Text(), f->date[1]->Text(), f->date[2]->Text()}), after);
        QCOMPARE(this->redraws, redraws);
    }

    void notANumberChangesNothing()
    {
        f->setDate(QStringLiteral("2000"), QStringLiteral("abc"), QString());
        QVERIFY_THROWS_EXCEPTION(host::HostError, press(1, 2000, 1600));
        QVERIFY_THROWS_EXCEPTION(host::HostError, press(2, 2800, 1600));
        QCOMPARE(f->date[1]->Text(), QStringLiteral("abc"));
        QCOMPARE(f->date[2]->Text(), QString());
        QCOMPARE(redraws, 0);
    }

private:
    void press(int button, float x, float y)
    {
        render::DateBandPress(f->geometry, f->controls.QVDate, qint16(button), x, y, [this] { ++redraws; });
    }
    std::unique_ptr<FaceFixture> f;
    int redraws = 0;
};

QTEST_MAIN(tst_DateBandClick)
#include "tst_DateBandClick.moc"
