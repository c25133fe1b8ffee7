#include "CloseOnTerminate.h"

#include <QCoreApplication>
#include <QWidget>

#ifdef Q_OS_UNIX
#include <QSocketNotifier>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

namespace host {

namespace {
bool g_terminationRequested = false;
} // namespace

bool TerminationRequested()
{
    return g_terminationRequested;
}

#ifdef Q_OS_UNIX
namespace {

int g_signalPipe[2] = {-1, -1};

// Only async-signal-safe work here: the event loop does the rest.
void onSignal(int signal)
{
    const char byte = char(signal);
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[0], &byte, 1);
}

} // namespace

void CloseOnTerminate(QWidget &window)
{
    if (g_signalPipe[0] >= 0 || ::socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0)
        return;
    auto *notifier = new QSocketNotifier(g_signalPipe[1], QSocketNotifier::Read, &window);
    QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window, notifier] {
        char byte = 0;
        [[maybe_unused]] const ssize_t read = ::read(g_signalPipe[1], &byte, 1);
        // Once is enough: a second signal must not save the settings again.
        notifier->setEnabled(false);
        g_terminationRequested = true;
        window.close();
        // Also ends the loop of a message box that may be open, and every
        // loop still to come, so the program ends instead of waiting there.
        QCoreApplication::exit(0);
    });
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGHUP, &action, nullptr);
}
#else
void CloseOnTerminate(QWidget &window)
{
    Q_UNUSED(window);
}
#endif

} // namespace host
