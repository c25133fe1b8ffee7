#pragma once

// What a test needs from the machine (a tool, root, a font). Away from CI a
// missing need skips the test with its reason; under CI (CI=true), which is
// set up to run every test, it fails it: a skip there would pass unseen.
#include <QTest>

#define QVANTO_REQUIRE(condition, reason)                                                                    \
    do {                                                                                                     \
        if (!(condition) && qgetenv("CI") == "true")                                                         \
            QFAIL(reason);                                                                                   \
        if (!(condition))                                                                                    \
            QSKIP(reason);                                                                                   \
    } while (false)
