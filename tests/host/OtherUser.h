#pragma once

// A second user on the machine, for files planted where the program looks.
#include <QProcess>
#include <QTest>

#include <unistd.h>

namespace hostTests {

constexpr int kOtherUid = 4242;

// Runs `script` through sh as the second user; true when it ended with status 0.
inline bool runAsOtherUser(const QString &script)
{
    QProcess shell;
    shell.start(QStringLiteral("setpriv"),
        {QStringLiteral("--reuid=%1").arg(kOtherUid), QStringLiteral("--regid=%1").arg(kOtherUid),
            QStringLiteral("--clear-groups"), QStringLiteral("sh"), QStringLiteral("-c"), script});
    return shell.waitForFinished(20000) && shell.exitStatus() == QProcess::NormalExit
        && shell.exitCode() == 0;
}

} // namespace hostTests

// Only root can act as another user; CI runs as root and never skips.
#define REQUIRE_ROOT_FOR_OTHER_USER()                                                                        \
    do {                                                                                                     \
        if (::geteuid() != 0) {                                                                              \
            if (qgetenv("CI") == "true")                                                                     \
                QFAIL("CI must run the tests as root to plant files as a second user");                      \
            QSKIP("Only root can plant files as a second user.");                                            \
        }                                                                                                    \
    } while (false)
