// Dispatching the thread's waiting window messages inside the library's long
// waits, so that its windows stay alive while it waits.
#pragma once

#include "platform/base/win_types.h"

namespace drumlet {

// Dispatches every message waiting in the calling thread's queue, without
// blocking. A quit message is left for the loop that waits for it.
void PumpMessages();

// Waits for event while dispatching the thread's messages, through the
// window system's message-aware wait. False when a quit message came first
// (it is left for the loop that waits for it).
bool WaitDispatching(HANDLE event);

}  // namespace drumlet
