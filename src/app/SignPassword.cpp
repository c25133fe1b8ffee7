#include "SignPassword.h"

#include <QtGlobal>

#include <cstdio>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace app {

namespace {

// A line from the terminal with its echo off for the while; restored
// however the reading ends.
std::optional<QByteArray> askTerminal()
{
    const int tty = ::open("/dev/tty", O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (tty < 0)
        return std::nullopt;
    const char prompt[] = "署名の鍵のパスワード: ";
    (void)!::write(tty, prompt, sizeof prompt - 1);
    termios saved {};
    const bool quiet = ::tcgetattr(tty, &saved) == 0;
    if (quiet) {
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        silent.c_lflag |= ECHONL;
        ::tcsetattr(tty, TCSAFLUSH, &silent);
    }
    QByteArray line;
    char c = 0;
    while (::read(tty, &c, 1) == 1 && c != '\n' && line.size() < 4096)
        line += c;
    if (quiet)
        ::tcsetattr(tty, TCSAFLUSH, &saved);
    ::close(tty);
    return line;
}

} // namespace

std::optional<QByteArray> ReadSignPassword(QString *error)
{
    if (qEnvironmentVariableIsSet(kSignPasswordVariable))
        return qgetenv(kSignPasswordVariable);
    if (std::optional<QByteArray> typed = askTerminal())
        return typed;
    *error = QStringLiteral("署名の鍵のパスワードがありません (%1 に入れるか、端末から入力します)。")
                 .arg(QString::fromLatin1(kSignPasswordVariable));
    return std::nullopt;
}

} // namespace app
