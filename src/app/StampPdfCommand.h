#pragma once

#include <QStringList>

class QTextStream;

namespace host {
struct Services;
}

namespace app {

// The first argument that runs the command instead of the window.
inline constexpr char kStampPdfCommand[] = "stamp-pdf";

// qvanto stamp-pdf IN.pdf OUT.pdf (--page N | --pages LIST) --x MM --y MM [--size MM]
// qvanto stamp-pdf --out-dir DIR (--page N | --pages LIST) --x MM --y MM [--size MM] IN.pdf…
// Stamps the current stamp (the settings file's rows, fonts and ink, today's
// date) on the listed pages of each input, one number per document, and
// prints the new number on `out` (with the output's path, tab-separated, for
// --out-dir). A refused input gets its message on `err`, no file and no
// number; the other inputs are still stamped. Status 0 when every input was
// stamped, 2 otherwise; --help prints every option on `out`, status 0.
// `progress` names each input on `err` as it comes. `arguments` start after
// the command's name.
int RunStampPdf(const QStringList &arguments, host::Services services, QTextStream &out, QTextStream &err,
    bool progress = false);

// The command as the program runs it, with the real clock, fonts and
// settings, and no window, clipboard or sound; progress when the error
// stream is a terminal.
int RunStampPdfCommand(const QStringList &arguments);

} // namespace app
