#pragma once

// The window on fakes lives in tests/support with the other shared fixtures.
#include "../support/TestWindow.h"
