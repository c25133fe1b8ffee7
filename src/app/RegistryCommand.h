#pragma once

#include <QStringList>

class QTextStream;

namespace host {
struct AppInfo;
class Clock;
} // namespace host

namespace app {

// The first argument that runs the registry's commands instead of the window.
inline constexpr char kRegistryCommand[] = "registry";

// qvanto registry init|sync
// init creates or upgrades the office registry's schema; sync sends the
// stamps that wait for it. 0 when done, 1 when records still wait, 2 when
// refused (no registry configured, bad arguments, the server said no).
int RunRegistry(const QStringList &arguments, const host::AppInfo &app, host::Clock &clock, QTextStream &out,
    QTextStream &err);

int RunRegistryCommand(const QStringList &arguments);

} // namespace app
