// Which characters of a row a family lacks, against fonts installed on the
// system (IPA faces hold the JIS kanji, not CJK Extension A or the start of
// Extension B; DejaVu has no kanji).
#include "host/MissingGlyphs.h"

#include <QTest>

class TestMissingGlyphs : public QObject {
    Q_OBJECT

private slots:
    void lacking_data()
    {
        QTest::addColumn<QString>("family");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QStringList>("expected");

        QTest::newRow("all present") << "IPAGothic"
                                     << "株式会社 山田 2026.12.25" << QStringList {};
        QTest::newRow("extension A lacking") << "IPAMincho"
                                             << "山㐀田" << QStringList {"㐀"};
        QTest::newRow("surrogate pair lacking, once") << "IPAGothic"
                                                      << "𠀀山𠀀㐀" << QStringList {"𠀀", "㐀"};
        QTest::newRow("surrogate pair present") << "DejaVu Sans"
                                                << "A\U0001F600" << QStringList {};
        QTest::newRow("Tangut") << "IPAPMincho"
                                << "\U00017000" << QStringList {"\U00017000"};
        QTest::newRow("Latin face, kanji lacking") << "DejaVu Sans"
                                                   << "Ab山 川" << QStringList {"山", "川"};
        QTest::newRow("empty text") << "IPAGothic"
                                    << "" << QStringList {};
        QTest::newRow("family not installed") << "No Such Face"
                                              << "山 a" << QStringList {"山", "a"};
    }

    void lacking()
    {
        QFETCH(QString, family);
        QFETCH(QString, text);
        QFETCH(QStringList, expected);
        host::MissingGlyphs glyphs;
        QCOMPARE(glyphs.in(family, text), expected);
        // The second look, from the kept face, answers the same.
        QCOMPARE(glyphs.in(family, text), expected);
    }
};

QTEST_MAIN(TestMissingGlyphs)
#include "tst_MissingGlyphs.moc"
