#include <gtest/gtest.h>

#include "platform/ui/message_api.h"
#include "platform/ui/window_api.h"

TEST(MessageQueue, Placeholder) {
  MSG msg;
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}
