#pragma once
// Waiting for the window system without clocks. Under a window manager a round trip goes
// through the manager itself: a request it answers after everything asked of it before, so
// that once the answer is in, its answers to the program's earlier moves, resizes and maps
// are in too. Off screen the round trip delivers the events already posted.
#include <functional>

namespace vandrel::testing {

// Runs the event loop, sleeping until events arrive, until `done` holds. Everything it waits
// for comes as an event; the test's own time limit ends a wait that never ends.
void AwaitEvents(const std::function<bool()>& done);

// One round trip through the window manager (through the event queue alone off screen).
void WindowManagerRoundTrip();
// Gives back what the round trips hold on the display, before the application ends.
void EndWindowManagerSync();

}  // namespace vandrel::testing
