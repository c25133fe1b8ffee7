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
    // Asked of a family the database knows under the session's language.
    host::FontResolver resolver;
    const QString family = resolver.family(QStringLiteral("IPAPGothic"));
    for (const char *foundry : {" [unknown]", " [Foundry Elsewhere]"})
        QCOMPARE(resolver.family(family + QString::fromLatin1(foundry)), family);
}

QTEST_MAIN(TestFontList)
#include "tst_FontList.moc"
