#pragma once

// What a test needs from the machine (a tool, root, a font, a locale). Away
// from CI a missing need skips the test with its reason; under CI (CI=true),
// which is set up to run every test, it fails it: a skip there would pass
// unseen.
#include <QTest>

namespace support {

inline bool underCi()
{
    return qgetenv("CI") == "true";
}

} // namespace support

#define QVANTO_REQUIRE(condition, reason)                                                                    \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            if (support::underCi())                                                                          \
                QFAIL(reason);                                                                               \
            QSKIP(reason);                                                                                   \
        }                                                                                                    \
    } while (false)
