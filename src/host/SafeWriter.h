#pragma once

#include <QByteArray>
#include <QString>

namespace host {

// Writes a file the user asked for so that nothing else is ever written on
// the way: what lies at the name is looked at without following it, and a
// symbolic link (dangling or not), a folder, a FIFO, a device or another
// user's file there is refused; the bytes go into a new temporary file in
// the same folder, created exclusively under a name no user picks, which is
// flushed to the disk and then renamed over the name. The old file, if any,
// stays whole until that rename, and a link planted at the name is at most
// replaced, never written through.
//
// Every refusal and failure throws HostError (FileIo) with a message that
// names the file and gives the system's reason; the temporary file is then
// removed.
class SafeWriter {
public:
    // Checks the name and creates the temporary file. A new file gets the
    // permissions any new file gets (0666 less the umask); a file that is
    // replaced keeps its own.
    explicit SafeWriter(const QString &path);
    // Removes the temporary file unless commit() put it in place.
    ~SafeWriter();
    SafeWriter(const SafeWriter &) = delete;
    SafeWriter &operator=(const SafeWriter &) = delete;

    void write(const QByteArray &bytes);
    // Flushes the temporary file to the disk and renames it over the name.
    void commit();

    QString temporaryPath() const { return m_tempPath; }

private:
    [[noreturn]] void fail(int error);
    void discard();

    QString m_path;
    QString m_tempPath;
    int m_fd = -1;
};

// Writes `bytes` to `path` through a SafeWriter.
void writeFileSafely(const QString &path, const QByteArray &bytes);

// Whether `name` (in the same folder) is one of the temporary files the
// writer makes for the file called `fileName`: exactly its pattern,
// ".<fileName>.qvanto-tmp-" and six letters or digits.
bool isTemporaryCopyName(const QString &fileName, const QString &name);

} // namespace host
