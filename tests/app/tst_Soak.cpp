// A long day at the desk: 5,000 stamps in a row in one process, with real
// drawing, the real log file and the platform's clipboard. Numbers must stay
// unique and increasing, the log must hold every record in order, and
// neither memory nor open handles may grow with the number of stamps.
#include "TestWindow.h"

#include "host/CheckBox.h"
#include "host/Clipboard.h"
#include "host/SoundPlayer.h"
#include "host/TextBox.h"

#include <QClipboard>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include "fakes/Sanitized.h"

namespace {

using fakes::kSanitized;
using support::openHandles;
using support::residentKiB;

// Counts calls without keeping them: a fake that recorded every call would
// itself grow with the number of stamps.
class CountingSoundPlayer final : public host::SoundPlayer {
public:
    bool play(const QString &, quint32) override
    {
        ++calls;
        return true;
    }
    int calls = 0;
};

} // namespace

class tst_Soak : public QObject {
    Q_OBJECT
private slots:
    void fiveThousandStamps();
};

void tst_Soak::fiveThousandStamps()
{
    constexpr int kStamps = 5000;
    constexpr int kWarmUp = 100;
    // Memory levels off within the first hundred stamps; what is left is
    // the allocator's own unevenness, well under this.
    constexpr qint64 kAllowedGrowthKiB = 2 * 1024;

    QTemporaryDir dir;
    host::QtClipboard clipboard;
    CountingSoundPlayer sound;
    hardening::TestWindow w(hardening::TestWindow::programIn(dir.path()),
        QDateTime(QDate(2027, 1, 1), QTime(10, 0)),
        {QStringLiteral("IPAPGothic"), QStringLiteral("IPAMincho")}, {&clipboard, &sound});
    // Each stamp reads the clock three times; a millisecond a read gives a
    // new second every few hundred stamps, well before the counter runs out,
    // so numbering never waits.
    w.clock.stepPerReadMs = 1;
    const app::Controls &c = w.c();
    c.chkQVID->click(); // every face prints its new number

    // The numbers made, eight characters each (the length from 1999 to
    // 2066), in room taken before the first stamp so that keeping them does
    // not count as growth.
    constexpr qsizetype kIdChars = 8;
    QByteArray ids(kStamps * kIdChars, '\0');
    const std::optional<qsizetype> handlesBefore = openHandles();
    std::optional<qint64> residentAfterWarmUp;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < kStamps; ++i) {
        c.cmdPetan->click();
        const QByteArray id = c.QVLabel[4]->Text().toLatin1();
        QCOMPARE(id.size(), kIdChars);
        std::copy(id.begin(), id.end(), ids.begin() + i * kIdChars);
        if (i + 1 == kWarmUp)
            residentAfterWarmUp = residentKiB();
    }
    const qint64 elapsedMs = timer.elapsed();
    const std::optional<qint64> residentAtEnd = residentKiB();
    const std::optional<qsizetype> handlesAfter = openHandles();
    QVERIFY2(residentAfterWarmUp && residentAtEnd && handlesBefore && handlesAfter,
        "no VmRSS in /proc/self/status or no /proc/self/fd to count");
    qInfo("%d stamps in %lld ms; resident memory %lld KiB after %d stamps, %lld KiB after all", kStamps,
        elapsedMs, *residentAfterWarmUp, kWarmUp, *residentAtEnd);

    QVERIFY(w.messages.shown.empty());
    QCOMPARE(sound.calls, kStamps);
    QCOMPARE(*handlesAfter, *handlesBefore);
    if (!kSanitized)
        QVERIFY2(*residentAtEnd - *residentAfterWarmUp < kAllowedGrowthKiB,
            qPrintable(QStringLiteral("grew by %1 KiB").arg(*residentAtEnd - *residentAfterWarmUp)));
    QCOMPARE(
        QGuiApplication::clipboard()->image(), c.Picture1->Image().convertToFormat(QImage::Format_RGB32));

    // Numbers of one length compare as base-36 numbers when compared as
    // text: digits sort before capital letters.
    const auto idAt = [&](int i) { return ids.mid(i * kIdChars, kIdChars); };
    for (int i = 1; i < kStamps; ++i)
        QVERIFY2(idAt(i - 1) < idAt(i), idAt(i - 1) + " then " + idAt(i));

    QFile log(dir.filePath(QStringLiteral("qvanto.log")));
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QList<QByteArray> lines = log.readAll().split('\n');
    QCOMPARE(lines.size(), 3 * kStamps + 1);
    QCOMPARE(lines.last(), QByteArray());
    const QByteArray rows = QStringLiteral("    会 社 名,部課係名,氏    名,2027.01.01\r").toUtf8();
    for (int i = 0; i < kStamps; ++i) {
        QVERIFY(lines[3 * i].startsWith("QVID:" + idAt(i) + ",2027/01/01 10:"));
        QCOMPARE(lines[3 * i + 1], rows);
        QCOMPARE(lines[3 * i + 2], QByteArray("\r"));
    }
}

QTEST_MAIN(tst_Soak)
#include "tst_Soak.moc"
