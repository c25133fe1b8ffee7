#pragma once

#include <QString>

namespace bas_QVanto {

// A settings file is six short lines; anything past this many bytes is not
// read, so a huge or foreign file costs no more than a few times this much.
inline constexpr qint64 kSettingsReadLimitBytes = 1024 * 1024;

// The settings file read line by line, decoded as the host reads text files.
// A line ends at CR LF, CR or LF; a last line without an ending still counts,
// nothing after the last ending does not. When the file is longer than the
// limit, only the whole lines within the limit are read.
class SettingsLines {
public:
    // Raises HostError(FileNotFound) when the file cannot be opened.
    explicit SettingsLines(const QString &path);
    // The same from a descriptor already opened and checked, which it closes.
    explicit SettingsLines(int descriptor);

    bool atEnd() const { return m_pos >= m_text.size(); }
    QString readLine();

private:
    QString m_text;
    qsizetype m_pos = 0;
};

} // namespace bas_QVanto
