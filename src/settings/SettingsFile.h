#pragma once

#include "settings/SplitSettingLine.h"

#include <QString>
#include <array>
#include <vector>

namespace host {
struct AppInfo;
class CheckBox;
class ComboBox;
class TextBox;
} // namespace host

namespace bas_QVanto {

// A numeric option kept after the six lines the file has always held. It is
// written only when it differs from its default, so a file with every option
// at its default is what it always was, and readers that ignore unknown keys
// read either kind of file.
struct SettingsOption {
    QString key; // lower case
    qint32 value;
    qint32 defaultValue;
};

// A text option kept the same way ("key, text "), written only when set and
// on one line. Read as the whole rest of its line, commas included.
struct SettingsText {
    QString key; // lower case
    QString value;
};

// The controls and state the settings file carries from one run to the next.
struct SettingsControls {
    std::array<host::TextBox *, 4> QVLabel;
    std::array<host::ComboBox *, 4> cmbFontName;
    qint32 &InkColor;
    host::CheckBox &chkQVID;
    std::vector<SettingsOption> *options = nullptr;
    std::vector<SettingsText> *texts = nullptr;
};

// The settings file: the program's folder, the program's name, ".ini".
QString SettingsPath(const host::AppInfo &app);

// Reads the settings file into the controls; silent on every failure, with
// everything before a failing line applied. Only the user's own regular
// file is read (see OwnSettingsFile.h). While the user has none, an
// administrator's preset beside the program is read instead (AdminPreset.h).
void LoadSettings(const host::AppInfo &app, SettingsControls &controls, SplitState &splitter);

// Writes the six lines; silent on failure, and a failed save leaves the
// previous file as it was. The file is replaced whole where its folder is
// writable and rewritten in place where only the file is; a file that is not
// the user's own regular file, or that loading could not read whole, is
// left alone.
void SaveSettings(const host::AppInfo &app, const SettingsControls &controls);

// The same for the settings file at `path` (a saved stamp's, say).
void LoadSettingsFile(const QString &path, SettingsControls &controls, SplitState &splitter);
void SaveSettingsFile(const QString &path, const SettingsControls &controls);

} // namespace bas_QVanto
