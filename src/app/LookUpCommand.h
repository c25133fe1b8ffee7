#pragma once

#include <QStringList>

class QTextStream;

namespace stamp {
class Registry;
}

namespace app {

// The first argument that runs the look-up instead of the window.
inline constexpr char kLookUpCommand[] = "lookup";

// Exit statuses of the look-up command.
inline constexpr int kLookUpFound = 0; // every number asked about is in the log
inline constexpr int kLookUpNotFound = 1; // one or more are not, or the PDF holds none
inline constexpr int kLookUpRefused = 2; // no number, or a file that is no readable PDF

// qvanto lookup NUMBER|FILE.pdf
// For a number, its log records on `out`, as the log holds them (their first
// two lines, then an empty line). For a PDF, each stamp in it ("2 ページ
// <number> <time> ログにあり") followed by its records. What is missing and
// every refusal are told on `err`. The log is read once, whatever the number
// of stamps. `arguments` start after the command's name. With an office
// registry each number's entries there follow ("登録簿: …"), and a number
// found there counts as found.
int RunLookUp(const QStringList &arguments, const QString &logPath, QTextStream &out, QTextStream &err,
    stamp::Registry *registry = nullptr);

// The command as the program runs it, on the log the window would use.
int RunLookUpCommand(const QStringList &arguments);

} // namespace app
