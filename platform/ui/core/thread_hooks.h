// What the message queue needs of the rest of the window system, kept to a
// few calls so the queue stays about queues.
#pragma once

#include <memory>
#include <set>

#include "platform/ui/driver.h"
#include "platform/ui/messages.h"

namespace ui::core {

class MessageQueue;
class Window;

// Calls the window procedure of window, on the calling thread.
LRESULT CallProcOf(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// The calling thread's turn takers, each once; never nested.
driver::TurnResult TakeTurns(MessageQueue& queue);

// The keyboard hooks of the thread, for a key message being taken; true
// when a hook discarded it.
bool CallKeyboardHooks(MessageQueue& queue, const MSG& msg, int code);

// The thread ended: its windows go without messages, as nobody is left to
// handle them.
void DropWindowsOfEndedThread(const std::set<HWND>& windows);

}  // namespace ui::core
