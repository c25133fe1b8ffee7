#pragma once

// A second user on the machine (uid 4242), for files planted where the
// program looks. Only root can act as another; CI runs as root, never skips.
#include <QProcess>
#include <QTest>

#include <unistd.h>

#define REQUIRE_ROOT_FOR_OTHER_USER()                                                                        \
    if (::geteuid() != 0) {                                                                                  \
        if (qgetenv("CI") == "true")                                                                         \
            QFAIL("CI must run the tests as root to plant files as a second user");                          \
        QSKIP("Only root can plant files as a second user.");                                                \
    }

// Runs `script` through sh, as uid 4242 when `asOther`; true on status 0.
inline bool runScript(const QString &script, bool asOther)
{
    QStringList command {QStringLiteral("sh"), QStringLiteral("-c"), script};
    if (asOther)
        command = QStringList {QStringLiteral("setpriv"), QStringLiteral("--reuid=4242"),
                      QStringLiteral("--regid=4242"), QStringLiteral("--clear-groups")}
            + command;
    QProcess shell;
    shell.start(command.takeFirst(), command);
    return shell.waitForFinished(20000) && shell.exitStatus() == QProcess::NormalExit
        && shell.exitCode() == 0;
}
