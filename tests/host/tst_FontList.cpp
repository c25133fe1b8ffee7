#include "host/FontList.h"
#include "host/FontResolver.h"

#include <QFontInfo>
#include <QTest>

class TestFontList : public QObject {
    Q_OBJECT

private slots:
    void listed_data();
    void listed();
    void savedFoundryNameStillDraws();
};

void TestFontList::listed_data()
{
    QTest::addColumn<QStringList>("families");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("foundry dropped") << QStringList {"IPAGothic [unknown]", "Sans"}
                                     << QStringList {"IPAGothic", "Sans"};
    QTest::newRow("each family once, first place kept")
        << QStringList {"Fixed [Misc]", "Sans", "Fixed [Sony]", "Fixed"} << QStringList {"Fixed", "Sans"};
    QTest::newRow("vertical twins left out")
        << QStringList {"@IPAGothic", "IPAGothic"} << QStringList {"IPAGothic"};
    QTest::newRow("brackets inside a name stay")
        << QStringList {"A [b] c", "[x]"} << QStringList {"A [b] c", "[x]"};
    QTest::newRow("Japanese names") << QStringList {"IPAゴシック [unknown]", "IPAゴシック"}
                                    << QStringList {"IPAゴシック"};
}

void TestFontList::listed()
{
    QFETCH(QStringList, families);
    QFETCH(QStringList, expected);
    QCOMPARE(host::familiesToList(families), expected);
}

void TestFontList::savedFoundryNameStillDraws()
{
    // A settings file written while the list showed foundries names the face
    // that way, and another machine may know the family from another foundry.
    host::FontResolver resolver;
    for (const char *saved : {"IPAMincho [unknown]", "IPAMincho [Foundry Elsewhere]"}) {
        const QFont font = resolver.font(QString::fromLatin1(saved), 12, {});
        QCOMPARE(QFontInfo(font).family(), QStringLiteral("IPAMincho"));
    }
}

QTEST_MAIN(TestFontList)
#include "tst_FontList.moc"
