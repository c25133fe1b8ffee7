#include "SoundPlayer.h"

#include "CloseOnTerminate.h"
#include "Module.h"
#include "SoundFile.h"
#include "StartupTrace.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QThread>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <sys/mman.h>
#include <unistd.h>

namespace host {

namespace {

// A stamp sound heard later than this after the press would only puzzle.
constexpr qint64 kLatestStartMs = 2000;
// How long closing the program waits for the sound thread to wind down.
constexpr int kWindDownMs = 1000;

// The bytes as a file of this process alone, named by its descriptor: the
// player reads exactly the bytes that were checked, however the file on disk
// changes or grows after.
class SoundSnapshot {
public:
    ~SoundSnapshot() { closeFd(); }

    // The path the player reads `bytes` from; empty when it cannot be made.
    QString of(const QByteArray &bytes)
    {
        if (m_fd >= 0 && bytes == m_bytes)
            return m_path;
        const int fd = ::memfd_create("qvanto-sound", MFD_CLOEXEC);
        if (fd < 0)
            return {};
        qint64 done = 0;
        while (done < bytes.size()) {
            const ssize_t wrote = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
            if (wrote <= 0) {
                ::close(fd);
                return {};
            }
            done += wrote;
        }
        // The previous copy is closed only now, so the new one never reuses
        // its descriptor and name (the player caches sounds by name).
        closeFd();
        m_fd = fd;
        m_bytes = bytes;
        m_path = QStringLiteral("/proc/self/fd/%1").arg(fd);
        return m_path;
    }

private:
    void closeFd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = -1;
    }

    int m_fd = -1;
    QByteArray m_bytes;
    QString m_path;
};

} // namespace

// Owns the sound module's player; everything that may wait on the sound
// server runs here, one request at a time.
class SoundThread final : public QThread {
public:
    SoundThread() { m_context.moveToThread(this); }

    void request(const QString &path, quint32 flags)
    {
        QElapsedTimer asked;
        asked.start();
        QMetaObject::invokeMethod(
            &m_context, [this, path, flags, asked] { playNow(path, flags, asked); }, Qt::QueuedConnection);
    }

    void prepare(const QString &path)
    {
        QMetaObject::invokeMethod(
            &m_context,
            [this, path] {
                try {
                    const QString snapshot = m_snapshot.of(readSoundFile(path));
                    if (!snapshot.isEmpty())
                        player().prepare(snapshot);
                } catch (...) {
                    // Nothing is lost: the first sound tries again.
                }
            },
            Qt::QueuedConnection);
    }

    bool hasOutput() const { return m_hasOutput; }

protected:
    void run() override
    {
        exec();
        m_player.reset();
    }

private:
    SoundPlayer &player()
    {
        if (!m_player)
            m_player.reset(m_module.function<MakeSoundPlayer>(kMakeSoundPlayer)());
        return *m_player;
    }

    void playNow(const QString &path, quint32 flags, const QElapsedTimer &asked)
    {
        try {
            SoundPlayer &made = player();
            if (asked.elapsed() > kLatestStartMs)
                return;
            const QString snapshot = m_snapshot.of(readSoundFile(path));
            if (!snapshot.isEmpty())
                m_hasOutput = made.play(snapshot, flags);
        } catch (...) {
            // A missing module or a failing backend is silence, never a message.
            m_hasOutput = false;
        }
    }

    QObject m_context; // lives on this thread: queued requests run here
    Module m_module {QStringLiteral("qvanto_sound")};
    std::unique_ptr<SoundPlayer> m_player;
    SoundSnapshot m_snapshot;
    std::atomic<bool> m_hasOutput {true};
};

QtSoundPlayer::QtSoundPlayer(QString programFolder) : m_programFolder(std::move(programFolder)) { }

QtSoundPlayer::~QtSoundPlayer()
{
    if (!m_thread)
        return;
    m_thread->quit();
    if (m_thread->wait(QDeadlineTimer(kWindDownMs)))
        return;
    // The thread still waits on a sound server that never answers, holding a
    // lock of Qt Multimedia whose exit handler would then wait for it too.
    // It is left running, and the process, whose window is closed and whose
    // settings are saved by now, ends before the library exit handlers run:
    // a handler registered now runs ahead of those registered earlier.
    (void)m_thread.release();
    std::atexit([] {
        std::fflush(nullptr);
        std::_Exit(0);
    });
}

bool QtSoundPlayer::play(const QString &name, quint32 flags)
{
    const QString path = findSoundFile(name, m_programFolder);
    if (path.isEmpty()) {
        if (!(flags & NoDefault))
            QApplication::beep();
        return false;
    }
    // A stamp finished while the session ends (its "error" box was open)
    // would otherwise bring up the sound server only to hold up the exit.
    if (TerminationRequested())
        return false;
    thread().request(path, flags);
    startupMark("sound-requested");
    return m_thread->hasOutput();
}

void QtSoundPlayer::prepare(const QString &name)
{
    const QString path = findSoundFile(name, m_programFolder);
    if (!path.isEmpty() && !TerminationRequested())
        thread().prepare(path);
}

SoundThread &QtSoundPlayer::thread()
{
    if (!m_thread) {
        m_thread = std::make_unique<SoundThread>();
        m_thread->start();
    }
    return *m_thread;
}

} // namespace host
