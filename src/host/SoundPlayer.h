#pragma once

#include <QString>
#include <memory>

namespace host {

// Plays a sound by name with the flag word of the classic sound call.
class SoundPlayer {
public:
    static constexpr quint32 Async = 1;
    static constexpr quint32 NoDefault = 2;
    static constexpr quint32 Loop = 8;

    virtual ~SoundPlayer() = default;
    // Returns at once when Async is set; reports failure only by the result.
    virtual bool play(const QString &name, quint32 flags) = 0;
    // Gets what playing `name` would first wait for (the player, the sound
    // server, the sound's samples) ready in the background; plays nothing.
    virtual void prepare(const QString &name) { (void)name; }
};

class SoundThread;

// Looks the bare name up in the current folder, then in the program's
// folder, then in the installed data folder, and hands the file to a thread
// of its own, which plays it through the sound module (Qt Multimedia, loaded
// on the first sound). Loading the module and reaching the sound server both
// happen on that thread, so a slow or silent server never holds up the
// caller; a sound that cannot start soon after it was asked for is dropped.
class QtSoundPlayer final : public SoundPlayer {
public:
    explicit QtSoundPlayer(QString programFolder);
    ~QtSoundPlayer() override;
    // False when the file is missing, or when the sound service last said it
    // has no output; otherwise true: the sound is on its way.
    bool play(const QString &name, quint32 flags) override;
    void prepare(const QString &name) override;

private:
    SoundThread &thread();

    QString m_programFolder;
    std::unique_ptr<SoundThread> m_thread; // started on the first sound
};

// What the sound module exports: a player of sound files by absolute path
// (playing at once and asynchronously) made on the sound thread.
using MakeSoundPlayer = SoundPlayer *();
inline constexpr char kMakeSoundPlayer[] = "qvanto_make_sound_player";

} // namespace host
