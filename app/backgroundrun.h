// Work that must not freeze the window: it runs on a thread of its own
// while the event loop goes on (paints and timers; the user's input waits),
// under the busy pointer, for at most a time limit.
#pragma once

#include <chrono>
#include <functional>

class QWidget;

// Runs work and waits for it.  Returns true when it ended within limit.
// false: it is still running and its thread is left to itself, so work
// must hold what it shares with the caller by shared ownership.  work
// must not throw.
bool runinbackground(QWidget* window, std::function<void()> work, std::chrono::milliseconds limit);
