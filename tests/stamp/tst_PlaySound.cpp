#include "fakes/FakeServices.h"
#include "host/HostError.h"
#include "stamp/PlaySound.h"

#include <QTest>

using bas_Api::PlaySound;

class TestPlaySound : public QObject {
    Q_OBJECT

private slots:
    void switchesMakeTheFlagWord_data();
    void switchesMakeTheFlagWord();
    void aFailingPlayerIsNotReported();
};

void TestPlaySound::switchesMakeTheFlagWord_data()
{
    QTest::addColumn<qint16>("async");
    QTest::addColumn<qint16>("noDefault");
    QTest::addColumn<qint16>("loop");
    QTest::addColumn<quint32>("flags");
    QTest::addColumn<bool>("played");

    QTest::newRow("none") << qint16(0) << qint16(0) << qint16(0) << 0u << true;
    QTest::newRow("async") << qint16(1) << qint16(0) << qint16(0) << 1u << true;
    QTest::newRow("no default") << qint16(0) << qint16(1) << qint16(0) << 2u << false;
    QTest::newRow("loop") << qint16(0) << qint16(0) << qint16(1) << 8u << true;
    QTest::newRow("stamp") << qint16(1) << qint16(1) << qint16(0) << 3u << false;
    // Any non-zero value is on, the classic True (-1) included.
    QTest::newRow("all, any non-zero") << qint16(-1) << qint16(2) << qint16(-32768) << 11u << true;
}

void TestPlaySound::switchesMakeTheFlagWord()
{
    QFETCH(qint16, async);
    QFETCH(qint16, noDefault);
    QFETCH(qint16, loop);
    QFETCH(quint32, flags);
    QFETCH(bool, played);

    fakes::FakeSoundPlayer player;
    player.result = played;
    QCOMPARE(PlaySound(player, QStringLiteral("petan.wav"), async, noDefault, loop), played);
    QCOMPARE(player.calls.size(), 1u);
    QCOMPARE(player.calls[0].name, QStringLiteral("petan.wav"));
    QCOMPARE(player.calls[0].flags, flags);
}

void TestPlaySound::aFailingPlayerIsNotReported()
{
    struct ThrowingPlayer final : host::SoundPlayer {
        bool play(const QString &, quint32) override
        {
            throw host::HostError(host::HostError::FileNotFound, QStringLiteral("no device"));
        }
    } player;
    QCOMPARE(PlaySound(player, QStringLiteral("petan.wav"), 1, 1, 0), false);
}

QTEST_GUILESS_MAIN(TestPlaySound)
#include "tst_PlaySound.moc"
