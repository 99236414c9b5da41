// What the driver's actions share, for the control and OLE files that carry
// out the actions of their own kind.
#pragma once

#include <functional>
#include <memory>

#include "platform/ui/driver.h"

namespace ui::core {
class MessageQueue;
}

namespace ui::driver {

std::shared_ptr<core::MessageQueue> QueueOf(HWND window);
// Whether a person could reach window now: it and its ancestors exist, are
// shown and enabled.
bool Reachable(HWND window);
// Queues action as input on window's thread; it runs there in order with
// the thread's other input, and only if the window is still reachable.
void Act(HWND window, std::function<void()> action);
// The state of window's control as the interface Input, or null.
template <typename Input>
Input* InputOf(HWND window) {
  return static_cast<Input*>(ControlModel(window, typeid(Input)));
}
POINT ScreenPointOf(HWND window, POINT client);

}  // namespace ui::driver
