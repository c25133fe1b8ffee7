#pragma once

#include "stamp/NewStampId.h"

#include <QImage>
#include <array>
#include <functional>

namespace host {
struct AppInfo;
class Clipboard;
class Clock;
class MessageBox;
class SoundPlayer;
class TextBox;
} // namespace host

namespace stamp {

class Registry;

// What the stamp action works with: the rows, the face and the window, and
// the platform seams.
struct StampContext {
    std::array<host::TextBox *, 5> QVLabel;
    std::function<void()> RedrawStamp;
    std::function<QImage()> PictureImage;
    std::function<void()> Minimize;
    bas_QVanto::StampIdState &idState;
    host::Clock &clock;
    host::Clipboard &clipboard;
    host::MessageBox &messages;
    host::SoundPlayer &sound;
    const host::AppInfo &app;
    // PNG bytes offered beside the bitmap; none when not set.
    std::function<QByteArray()> PicturePng {};
    // The office's registry the stamp is recorded in; none when not set or
    // when it gives none.
    std::function<Registry *()> registry {};
};

// The stamp log: the program's folder, the program's name in lower case, ".log".
QString StampLogPath(const host::AppInfo &app);

// The texts of rows 0 to 3, which a stamp's log record carries.
std::array<QString, 4> RecordRows(const std::array<host::TextBox *, 5> &QVLabel);

// Numbers and logs the stamp (IssueStamp), redraws, copies the face to the
// clipboard, plays the sound and minimises the window.
void StampNow(StampContext &context);

} // namespace stamp
