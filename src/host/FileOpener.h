#pragma once

#include <QString>

namespace host {

// Hands a file to the desktop's viewer for its type (a stamped PDF shown
// after saving); tests replace it so that no viewer starts.
class FileOpener {
public:
    virtual ~FileOpener() = default;
    // Whether the desktop took the file.
    virtual bool open(const QString &path) = 0;
};

class DesktopFileOpener final : public FileOpener {
public:
    bool open(const QString &path) override;
};

} // namespace host
