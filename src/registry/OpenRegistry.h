#pragma once

#include "stamp/Registry.h"

#include <memory>

namespace host {
struct AppInfo;
}

namespace registry {

// Where the office's registry is, as a libpq connection string: the
// QVANTO_REGISTRY variable, else the first line of registry.conf in the data
// folder (only when no one but the user can write that folder), else of
// /etc/qvanto/registry.conf (the administrator's, for every user). Empty
// when there is none: the program then works from its log alone.
QString ConfiguredRegistry(
    const host::AppInfo &app, const QString &systemFile = QStringLiteral("/etc/qvanto/registry.conf"));

// The connection string in a registry.conf: its first line that is neither
// empty nor a comment (#), trimmed.
QString ConnectionInFile(const QByteArray &contents);

// The configured registry, its module loaded on this first use; none when
// no registry is configured. When its module cannot be loaded, one that
// never answers, so the stamps wait in the queue and none is lost.
std::unique_ptr<stamp::Registry> OpenRegistry(const host::AppInfo &app);

} // namespace registry
