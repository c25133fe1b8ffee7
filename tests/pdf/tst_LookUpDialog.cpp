// The window's look-up dialog: thousands of rows in a list, a reading stopped
// by its button, a refusal said in the dialog.
#include "app/pdf/LookUpDialog.h"

#include <QFile>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

namespace {

QString numberOf(int i)
{
    return QStringLiteral("1NN%1").arg(i, 5, 36, QLatin1Char('0')).toUpper();
}

// `count` records, then a hole of NUL bytes that makes the log far longer
// than one report of progress.
QString writeLog(const QTemporaryDir &dir, int count)
{
    const QString path = dir.filePath(QStringLiteral("qvanto.log"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {};
    for (int i = 0; i < count; ++i)
        file.write("QVID:" + numberOf(i).toLatin1() + ",2001/03/05 21:07:03 \r\n    A,B,C,D\r\n\r\n");
    return file.resize(file.size() + 64LL * 1024 * 1024) ? path : QString();
}

std::vector<stamp::NumberOnPage> numbers(int count)
{
    std::vector<stamp::NumberOnPage> asked;
    for (int i = 0; i < count; ++i)
        asked.push_back({1 + i / 10, numberOf(i)});
    return asked;
}

bool waitUntilDone(const app::LookUpDialog &dialog)
{
    return QTest::qWaitFor([&] { return dialog.isDone(); }, 60000);
}

} // namespace

class tst_LookUpDialog : public QObject {
    Q_OBJECT
private slots:
    void listsTenThousandStamps()
    {
        QTemporaryDir dir;
        const QString log = writeLog(dir, 10000);
        QVERIFY(!log.isEmpty());
        app::LookUpDialog dialog(
            "ringi.pdf", [](QString *) { return numbers(10001); }, log);
        QVERIFY(waitUntilDone(dialog));
        QCOMPARE(dialog.rowCount(), 10001);
        QCOMPARE(dialog.row(0).mid(0, 2), (QStringList {"1", numberOf(0)}));
        QCOMPARE(dialog.row(0)[3], QStringLiteral("ログにあり"));
        QCOMPARE(dialog.row(9999)[3], QStringLiteral("ログにあり"));
        QCOMPARE(dialog.row(10000)[3], QStringLiteral("ログになし"));
        QVERIFY(dialog.row(9999)[4].startsWith("QVID:" + numberOf(9999) + ","));
        QVERIFY(dialog.status().contains("10001 件"));
        // A list that scrolls, not a box as tall as its rows, and one that
        // fits the screen it opens on with its buttons.
        dialog.show();
        QVERIFY(QRect(QPoint(), dialog.screen()->availableGeometry().size()).contains(dialog.rect()));
    }

    void stopsReadingWhenAsked()
    {
        QTemporaryDir dir;
        const QString log = writeLog(dir, 10);
        QVERIFY(!log.isEmpty());
        // The last number is logged after the hole, where the reading never gets.
        QFile file(log);
        QVERIFY(file.open(QIODevice::Append));
        file.write("\r\nQVID:" + numberOf(99).toLatin1() + ",t\r\n    A\r\n\r\n");
        file.close();
        app::LookUpDialog dialog(
            "",
            [](QString *) {
                return std::vector<stamp::NumberOnPage> {{1, numberOf(0)}, {2, numberOf(99)}};
            },
            log);
        dialog.stop();
        QVERIFY(waitUntilDone(dialog));
        QVERIFY2(dialog.status().contains("途中で止めました"), qPrintable(dialog.status()));
        QCOMPARE(dialog.rowCount(), 2);
        QCOMPARE(dialog.row(1)[3], QStringLiteral("未確認"));
    }

    void saysWhyThereIsNothingToList()
    {
        app::LookUpDialog dialog(
            "",
            [](QString *error) {
                *error = "letter.pdf: PDF ファイルではありません。";
                return std::vector<stamp::NumberOnPage> {};
            },
            "/nonexistent/qvanto.log");
        QVERIFY(waitUntilDone(dialog));
        QCOMPARE(dialog.status(), QStringLiteral("letter.pdf: PDF ファイルではありません。"));
        QCOMPARE(dialog.rowCount(), 0);
    }
};

QTEST_MAIN(tst_LookUpDialog)
#include "tst_LookUpDialog.moc"
