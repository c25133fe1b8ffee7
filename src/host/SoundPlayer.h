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
};

class QtSoundPlayerPrivate;

// Looks the bare name up in the current folder, then in the program's
// folder, then in the installed data folder; plays through Qt Multimedia.
class QtSoundPlayer final : public SoundPlayer {
public:
    explicit QtSoundPlayer(QString programFolder);
    ~QtSoundPlayer() override;
    bool play(const QString &name, quint32 flags) override;

private:
    QString m_programFolder;
    std::unique_ptr<QtSoundPlayerPrivate> d;
};

} // namespace host
