#include "host/HostError.h"
#include "settings/SplitSettingLine.h"

#include <QTest>

using bas_QVanto::SplitSettingLine;
using bas_QVanto::SplitState;

class TestSplitSettingLine : public QObject {
    Q_OBJECT

private slots:
    void fields_data();
    void fields();
    void newLineDiscardsTheOld();
    void overflow_data();
    void overflow();
};

namespace {

QString repeated(QChar c, int n)
{
    return QString(n, c);
}

QStringList numbers(int from, int to)
{
    QStringList list;
    for (int i = from; i <= to; ++i)
        list << QString::number(i);
    return list;
}

} // namespace

void TestSplitSettingLine::fields_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("delimiterAfter");

    const QString comma = QStringLiteral(",");
    const QString a100 = repeated(QLatin1Char('a'), 100);
    QTest::newRow("japanese row") << QStringLiteral("label0,会 社 名,ＭＳ Ｐゴシック") << comma
                                  << QStringList {QStringLiteral("label0"), QStringLiteral("会 社 名"),
                                         QStringLiteral("ＭＳ Ｐゴシック")}
                                  << comma;
    QTest::newRow("blanks trimmed, case kept")
        << QStringLiteral("  Label0  ,  a value  ") << comma
        << QStringList {QStringLiteral("Label0"), QStringLiteral("a value")} << comma;
    QTest::newRow("only blanks 32 trimmed")
        << QStringLiteral("\tkey\t,　値　") << comma
        << QStringList {QStringLiteral("\tkey\t"), QStringLiteral("　値　")} << comma;
    QTest::newRow("empty middle field")
        << QStringLiteral("label0,,v") << comma
        << QStringList {QStringLiteral("label0"), QStringLiteral(" "), QStringLiteral("v")} << comma;
    QTest::newRow("trailing delimiter")
        << QStringLiteral("label0,") << comma << QStringList {QStringLiteral("label0"), QStringLiteral(" ")}
        << comma;
    QTest::newRow("single comma") << comma << comma << QStringList {QStringLiteral(" "), QStringLiteral(" ")}
                                  << comma;
    QTest::newRow("blanks only") << QStringLiteral("    ") << comma << QStringList {QStringLiteral(" ")}
                                 << comma;
    QTest::newRow("no delimiter") << QStringLiteral("color") << comma << QStringList {QStringLiteral("color")}
                                  << comma;
    QTest::newRow("last field cut to 64")
        << QStringLiteral("k,") + a100 << comma << QStringList {QStringLiteral("k"), a100.left(64)} << comma;
    // 𠮷 is two UTF-16 units: the 64th unit would be half of one.
    QTest::newRow("cut never splits a character")
        << QStringLiteral("k,a") + QStringLiteral("𠮷").repeated(40) << comma
        << QStringList {QStringLiteral("k"), QStringLiteral("a") + QStringLiteral("𠮷").repeated(31)}
        << comma;
    QTest::newRow("middle field never cut")
        << QStringLiteral("k,") + a100 + comma << comma
        << QStringList {QStringLiteral("k"), a100, QStringLiteral(" ")} << comma;
    QTest::newRow("cut before trimming, leading")
        << QStringLiteral("k,   ") + a100 << comma << QStringList {QStringLiteral("k"), a100.left(61)}
        << comma;
    QTest::newRow("cut before trimming, trailing")
        << QStringLiteral("k,") + repeated(QLatin1Char('a'), 63) + QStringLiteral(" b") << comma
        << QStringList {QStringLiteral("k"), repeated(QLatin1Char('a'), 63)} << comma;
    QTest::newRow("25 numbers keep 20") << numbers(1, 25).join(comma) << comma << numbers(1, 20) << comma;
    QTest::newRow("20 numbers, last cut") << numbers(1, 19).join(comma) + comma + a100 << comma
                                          << numbers(1, 19) + QStringList {a100.left(64)} << comma;
    QTest::newRow("empty delimiter becomes comma")
        << QStringLiteral("a,b") << QString() << QStringList {QStringLiteral("a"), QStringLiteral("b")}
        << comma;
    QTest::newRow("multi-character delimiter")
        << QStringLiteral("a---b--c") << QStringLiteral("--")
        << QStringList {QStringLiteral("a"), QStringLiteral("-b"), QStringLiteral("c")}
        << QStringLiteral("--");
    QTest::newRow("case-sensitive delimiter")
        << QStringLiteral("axbXc") << QStringLiteral("X")
        << QStringList {QStringLiteral("axb"), QStringLiteral("c")} << QStringLiteral("X");
}

// Every field in order, then empty texts; the cursor stops at 20. Split
// first and split after a line of 25 fields: nothing of that line, up to its
// 20th field, may show through the shorter one.
void TestSplitSettingLine::fields()
{
    QFETCH(QString, line);
    QFETCH(QString, delimiter);
    const QString givenDelimiter = delimiter;
    QFETCH(QStringList, expected);
    QFETCH(QString, delimiterAfter);

    for (const bool afterLongLine : {false, true}) {
        SplitState state;
        QString comma = QStringLiteral(",");
        if (afterLongLine)
            SplitSettingLine(state, numbers(101, 125).join(comma), comma);
        delimiter = givenDelimiter;
        QStringList got {SplitSettingLine(state, line, delimiter)};
        QString none;
        for (int call = 1; call < 25; ++call)
            got << SplitSettingLine(state, {}, none);

        QCOMPARE(got.mid(0, expected.size()), expected);
        QCOMPARE(got.mid(expected.size()), QStringList(25 - expected.size(), QString()));
        QCOMPARE(delimiter, delimiterAfter);
        QCOMPARE(none, QString()); // a continuation leaves the delimiter alone
        QCOMPARE(int(state.SplitCursor), 20);
    }
}

void TestSplitSettingLine::newLineDiscardsTheOld()
{
    SplitState state;
    QString delimiter = QStringLiteral(",");
    QString none;
    QCOMPARE(SplitSettingLine(state, {}, none), QString()); // nothing split yet
    QCOMPARE(int(state.SplitCursor), 1);

    SplitSettingLine(state, QStringLiteral("a,b,c,d"), delimiter);
    QCOMPARE(SplitSettingLine(state, {}, none), QStringLiteral("b"));
    QCOMPARE(SplitSettingLine(state, QStringLiteral("x,y"), delimiter), QStringLiteral("x"));
    QCOMPARE(SplitSettingLine(state, {}, none), QStringLiteral("y"));
    QCOMPARE(SplitSettingLine(state, {}, none), QString());
}

void TestSplitSettingLine::overflow_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QString>("delimiter");
    QTest::addColumn<bool>("raises");
    QTest::addColumn<int>("fieldsStored");

    // The delimiter placed at a 1-based position, after blanks-free filler.
    const auto delimiterAt = [](int position, const QString &delimiter, const QString &tail = {}) {
        return QString(position - 1, QLatin1Char('x')) + delimiter + tail;
    };
    const QString comma = QStringLiteral(",");
    const QString triple = QStringLiteral(";;;");
    QTest::newRow("next field starts at 32767")
        << delimiterAt(32766, comma, QStringLiteral("v")) << comma << false << 2;
    QTest::newRow("next field would start at 32768") << delimiterAt(32767, comma) << comma << true << 1;
    QTest::newRow("delimiter found at 32768") << delimiterAt(32768, comma) << comma << true << 0;
    QTest::newRow("long delimiter ends past 32767") << delimiterAt(32765, triple) << triple << true << 1;
    QTest::newRow("long line without delimiter") << QString(40000, QLatin1Char('x')) << comma << false << 1;
}

void TestSplitSettingLine::overflow()
{
    QFETCH(QString, line);
    QFETCH(QString, delimiter);
    QFETCH(bool, raises);
    QFETCH(int, fieldsStored);

    SplitState state;
    bool raised = false;
    try {
        SplitSettingLine(state, line, delimiter);
    } catch (const host::HostError &error) {
        raised = true;
        QCOMPARE(error.code(), host::HostError::Overflow);
    }
    QCOMPARE(raised, raises);
    QCOMPARE(int(state.SplitCount), fieldsStored);
}

QTEST_GUILESS_MAIN(TestSplitSettingLine)
#include "tst_splitsettingline.moc"
