#pragma once

#include <QStringList>

class QTextStream;

namespace host {
struct Services;
}

namespace app {

// The first argument that runs the command instead of the window.
inline constexpr char kStampPdfCommand[] = "stamp-pdf";

// qvanto stamp-pdf IN.pdf OUT.pdf --page N --x MM --y MM [--size MM]
// Stamps the current stamp (the settings file's rows, fonts and ink, today's
// date) on the page, prints the new number on `out` and returns 0. A refused
// input gets one message on `err` and status 2, with no file written and no
// number taken. `arguments` start after the command's name.
int RunStampPdf(const QStringList &arguments, host::Services services, QTextStream &out, QTextStream &err);

// The command as the program runs it, with the real clock, fonts and
// settings, and no window, clipboard or sound.
int RunStampPdfCommand(const QStringList &arguments);

} // namespace app
