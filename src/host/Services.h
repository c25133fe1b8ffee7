#pragma once

namespace host {

struct AppInfo;
class Clipboard;
class Clock;
class FileOpener;
class FontList;
class MessageBox;
class SoundPlayer;

// The platform seams the program's logic reaches the world through; the
// program passes the real ones, tests pass fakes.
struct Services {
    Clock &clock;
    const AppInfo &app;
    FontList &fonts;
    MessageBox &messages;
    Clipboard &clipboard;
    SoundPlayer &sound;
    FileOpener &opener;
};

} // namespace host
