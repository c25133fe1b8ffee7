// The drawing surface: measurements the size search relies on, persistent
// drawing, DPI independence and Japanese-capable font fallback.
#include "host/FontResolver.h"
#include "host/HostError.h"
#include "host/ImageSurface.h"

#include "Requirement.h"

#include <QApplication>
#include <QFile>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <QProcess>
#include <QTest>

class tst_ImageSurface : public QObject {
    Q_OBJECT
private slots:
    void sizeAndMeasurements()
    {
        host::ImageSurface surface(3315, 3315);
        QCOMPARE(surface.Width(), 3315.0);
        QCOMPARE(surface.Image().size(), QSize(217, 217));
        surface.setFontName(QStringLiteral("ＭＳ Ｐゴシック"));
        double lastWidth = 0, lastHeight = 0;
        for (double size = 1; size <= 60; size += 1) {
            surface.setFontSize(size);
            QCOMPARE(surface.FontSize(), size);
            const double width = surface.TextWidth(QStringLiteral("2026.12.07"));
            const double height = surface.TextHeight(QString());
            QVERIFY2(width > lastWidth && height > lastHeight, qPrintable(QString::number(size)));
            lastWidth = width;
            lastHeight = height;
        }
        QVERIFY_THROWS_EXCEPTION(host::HostError, surface.setFontSize(0));
        // A size past any stamp stops at 2160 pt (30 inches) instead of failing.
        surface.setFontSize(1e9);
        QCOMPARE(surface.FontSize(), 2160.0);
    }

    void drawingPersistsUntilCleared()
    {
        host::ImageSurface surface(3315, 3315);
        surface.setDrawWidth(2);
        surface.Line(0, 1500, 3000, 1500, 255);
        QCOMPARE(surface.Image().pixelColor(50, 100), QColor(255, 0, 0));
        surface.setFontName(QStringLiteral("IPAPGothic"));
        surface.setFontSize(20);
        surface.setCurrentX(0);
        surface.setCurrentY(0);
        surface.Print(QStringLiteral("会"));
        QCOMPARE(surface.CurrentX(), 0.0);
        QCOMPARE(surface.CurrentY(), surface.TextHeight(QString()));
        QCOMPARE(surface.Image().pixelColor(50, 100), QColor(255, 0, 0));
        surface.Cls();
        QCOMPARE(surface.Image().pixelColor(50, 100), QColor(Qt::white));
    }

    void faceNamesResolveToJapaneseCapableFaces()
    {
        QVANTO_REQUIRE(
            QFontDatabase::hasFamily(QStringLiteral("IPAPGothic")), "the IPA fonts are not installed");
        host::FontResolver resolver;
        QCOMPARE(resolver.family(QStringLiteral("ＭＳ Ｐゴシック")), QStringLiteral("IPAPGothic"));
        QCOMPARE(resolver.family(QStringLiteral("MS PGothic")), QStringLiteral("IPAPGothic"));
        for (const QString &unknown : {QString(), QStringLiteral("No Such Face"), QString(300, u'x')}) {
            const QFont font = resolver.font(unknown, 12, {});
            QVERIFY(QFontMetricsF(font).inFontUcs4(U'名'));
        }
    }

    void faceNamesInAnyLanguageDrawTheSameFace_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("sameAs");
        QTest::newRow("English and Japanese name") << "IPAMincho"
                                                   << "IPA明朝";
        QTest::newRow("proportional Gothic") << "IPAPGothic"
                                             << "IPA Pゴシック";
        QTest::newRow("case") << "ipamincho"
                              << "IPAMincho";
        QTest::newRow("Windows name") << "ＭＳ Ｐゴシック"
                                      << "IPA Pゴシック";
        QTest::newRow("Windows name, Mincho") << "MS Mincho"
                                              << "IPA明朝";
        // Fontconfig's generic names follow the session's language; the
        // fallback does not.
        QTest::newRow("generic name") << "Sans Serif"
                                      << "IPAPGothic";
        QTest::newRow("unknown name") << "No Such Face"
                                      << "IPA Pゴシック";
    }

    void faceNamesInAnyLanguageDrawTheSameFace()
    {
        QFETCH(QString, name);
        QFETCH(QString, sameAs);
        QVANTO_REQUIRE(
            QFontDatabase::hasFamily(QStringLiteral("IPAMincho")), "the IPA fonts are not installed");
        auto draw = [](const QString &face) {
            host::ImageSurface surface(3315, 3315);
            surface.setFontName(face);
            surface.setFontSize(20);
            surface.Print(QStringLiteral("2026.12.07 会社名 QVANTOID"));
            return surface.Image();
        };
        QCOMPARE(draw(name), draw(sameAs));
        QVERIFY(draw(name)
            != draw(name.contains(u'明') || name.contains("Mincho", Qt::CaseInsensitive)
                    ? QStringLiteral("IPAGothic")
                    : QStringLiteral("IPAMincho")));
    }

    void rememberedMeasurementsDrawTheSameFaces()
    {
        // A surface that has measured many texts (enough to refill its memory
        // of widths) must draw every face exactly as a fresh one does.
        auto draw = [](host::ImageSurface &surface, const QString &text, double size) {
            surface.Cls();
            surface.setFontName(QStringLiteral("ＭＳ Ｐゴシック"));
            surface.setFontSize(size);
            surface.setForeColor(255);
            surface.setCurrentX(1625 - surface.TextWidth(text) / 2);
            surface.setCurrentY(1000);
            surface.Print(text);
            return surface.Image();
        };
        host::ImageSurface warm(3315, 3315);
        for (int i = 0; i < 600; ++i) {
            warm.setFontName(i % 2 ? QStringLiteral("IPAMincho") : QStringLiteral("ＭＳ Ｐゴシック"));
            warm.setFontSize(1 + i % 40);
            warm.TextWidth(QString::number(i) + QStringLiteral("部課係名"));
        }
        for (const QString &text :
            {QStringLiteral("会 社 名"), QStringLiteral("2026.12.07"), QStringLiteral("3部課係名")})
            for (double size : {6.0, 17.0, 31.0}) {
                host::ImageSurface fresh(3315, 3315);
                QCOMPARE(draw(warm, text, size), draw(fresh, text, size));
            }
    }

    void sameInputsGiveTheSameFace()
    {
        // Twice here and once in a process of its own, whose fonts, caches
        // and memory start afresh: the same pixels each time.
        QCOMPARE(drawDateRow(), drawDateRow());
        QProcess child;
        child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--draw-date-row")});
        QVERIFY(child.waitForFinished(60000));
        QVERIFY2(child.exitStatus() == QProcess::NormalExit && child.exitCode() == 0,
            child.readAllStandardError().constData());
        QImage fromChild;
        QVERIFY(fromChild.loadFromData(child.readAllStandardOutput(), "PNG"));
        QVERIFY(!fromChild.isNull());
        QCOMPARE(fromChild, drawDateRow().convertToFormat(fromChild.format()));
    }

public:
    static QImage drawDateRow()
    {
        host::ImageSurface surface(3315, 3315);
        surface.setFontName(QStringLiteral("ＭＳ Ｐゴシック"));
        surface.setFontSize(24);
        surface.setForeColor(255);
        surface.setCurrentX(300);
        surface.setCurrentY(1300);
        surface.Print(QStringLiteral("2026.12.07"));
        return surface.Image();
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setAttribute(Qt::AA_Use96Dpi, true);
    if (argc == 2 && qstrcmp(argv[1], "--draw-date-row") == 0) {
        QFile out;
        return out.open(stdout, QIODevice::WriteOnly) && tst_ImageSurface::drawDateRow().save(&out, "PNG")
            ? 0
            : 1;
    }
    tst_ImageSurface test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_ImageSurface.moc"
