// Start-up as a user meets it on an X server: starts a program and reports
// when the server maps its first top-level window, timed from just before
// the exec. Without a window manager the server maps the window as soon as
// the program asks, and tells every client watching the root window's
// children (SubstructureNotify) with a MapNotify.
//
// Usage: mapped_watch [--term] PROGRAM [ARG...]
// Prints "mapped-watch <exec ns> <mapped ns> <peak KiB>" (CLOCK_MONOTONIC) on
// standard output once the program has ended: it is killed as soon as the
// window maps, so that the peak is the one at that moment for any program
// (--term asks it to end instead, and it may paint and save first). The
// program's own output goes through.
#include <xcb/xcb.h>

#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

long long nowNs()
{
    timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec;
}

// Whether the program has ended, leaving it to be waited for.
bool ended(pid_t child)
{
    siginfo_t info {};
    return waitid(P_PID, id_t(child), &info, WEXITED | WNOHANG | WNOWAIT) != 0 || info.si_pid != 0;
}

// The first MapNotify of a window that is not override-redirect (a menu or
// tooltip would be), or -1 when the program ends or 20 s pass first.
long long waitForMap(xcb_connection_t *connection, pid_t child)
{
    const long long deadline = nowNs() + 20'000'000'000LL;
    pollfd fd {xcb_get_file_descriptor(connection), POLLIN, 0};
    while (nowNs() < deadline) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(connection)) {
            const bool mapped = (event->response_type & 0x7f) == XCB_MAP_NOTIFY
                && !reinterpret_cast<xcb_map_notify_event_t *>(event)->override_redirect;
            std::free(event);
            if (mapped)
                return nowNs();
        }
        if (xcb_connection_has_error(connection) || ended(child))
            return -1;
        poll(&fd, 1, 100);
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    const bool term = argc > 1 && std::strcmp(argv[1], "--term") == 0;
    if (argc < (term ? 3 : 2)) {
        std::fputs("usage: mapped_watch [--term] PROGRAM [ARG...]\n", stderr);
        return 2;
    }
    char **command = argv + (term ? 2 : 1);
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fputs("mapped_watch: no X server ($DISPLAY)\n", stderr);
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    if (xcb_generic_error_t *error = xcb_request_check(
            connection, xcb_change_window_attributes_checked(connection, root, XCB_CW_EVENT_MASK, &mask))) {
        std::free(error);
        std::fputs("mapped_watch: cannot watch the root window\n", stderr);
        return 1;
    }

    const long long execNs = nowNs();
    const pid_t child = fork();
    if (child == 0) {
        execvp(command[0], command);
        std::perror("mapped_watch: exec");
        _exit(127);
    }
    const long long mappedNs = waitForMap(connection, child);
    kill(child, term ? SIGTERM : SIGKILL);
    int status = 0;
    rusage usage {};
    wait4(child, &status, 0, &usage);
    xcb_disconnect(connection);
    if (mappedNs < 0) {
        std::fputs("mapped_watch: the program ended or hung without mapping a window\n", stderr);
        return 1;
    }
    std::printf("mapped-watch %lld %lld %ld\n", execNs, mappedNs, usage.ru_maxrss);
    return 0;
}
