#pragma once

#include <functional>

class QWidget;

namespace host {

// Runs work once, when the window's first frame has been painted whole, so
// that what the window does not need to appear stays out of start-up.
void afterFirstFrame(QWidget *window, std::function<void()> work);

} // namespace host
