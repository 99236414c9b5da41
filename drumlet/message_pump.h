// Dispatching the thread's waiting window messages inside the library's long
// waits, so that its windows stay alive while it waits.
#pragma once

namespace drumlet {

// Dispatches every message waiting in the calling thread's queue, without
// blocking. A quit message is left for the loop that waits for it.
void PumpMessages();

}  // namespace drumlet
