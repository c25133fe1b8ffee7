#pragma once

#include "host/SingleInstance.h"

#include <optional>

namespace host {
struct AppInfo;
class Form;
class MessageBox;
} // namespace host

namespace app {

// Whether this start goes on (nothing) or ends with the status returned.
// Two copies on one folder of settings and log
// would issue the same stamp numbers and overwrite each other's settings,
// so a second start asks the running copy to show its window and ends; when
// that copy does not answer (it runs on another machine sharing the
// folder), the user is told why nothing opens. `locked` is what
// `instance.lock()` gave; the owner then listens for later starts.
std::optional<int> ClaimDataFolder(host::SingleInstance &instance, host::SingleInstance::Claim locked,
    const host::AppInfo &app, host::MessageBox &messages);

// Brings the window back, in front, whenever a later start asks for it.
void ShowWindowOnRequest(host::SingleInstance &instance, host::Form &form);

} // namespace app
