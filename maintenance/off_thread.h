#pragma once

#include <functional>

namespace maint {

// Runs work on a thread of its own and lets the windows process their events (painting,
// the clip) until it has finished. work must not touch any window.
void runOffWindowThread(const std::function<void()> &work);

} // namespace maint
