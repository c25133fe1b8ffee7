#pragma once

class QWidget;

namespace host {

// Start-up milestones for the benchmarks: with QVANTO_STARTUP_TRACE set, each
// mark writes "qvanto-trace <milestone> <CLOCK_MONOTONIC ns>" to stderr, so a
// parent that noted the clock before exec can split start-up into steps. Off,
// a mark costs one test of a flag read once.
void startupMark(const char *milestone);

// Marks "mapped" and "first paint" of the window when they first happen.
void traceFirstPaint(QWidget *window);

} // namespace host
