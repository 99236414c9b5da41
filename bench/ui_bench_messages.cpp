// ui_bench, part (a): message round trips of the window system against the
// same number of hand-offs through a plain mutex and condition variable.
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "bench/bench_support.h"
#include "platform/ui/user32.h"

namespace {

constexpr int kPosts = 1000000;
constexpr int kSends = 100000;
constexpr const char* kClass = "UiBenchWindow";

long g_handled = 0;

LRESULT CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_USER) {
    ++g_handled;
    return static_cast<LRESULT>(wParam) + 1;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HWND MakeWindow() {
  static bool registered = [] {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = CountingProc;
    windowClass.lpszClassName = kClass;
    return RegisterClassA(&windowClass) != 0;
  }();
  (void)registered;
  return CreateWindowExA(0, kClass, "bench", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                         nullptr, nullptr);
}

// The baseline's queue: what a message queue is at its barest.
struct PlainQueue {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::function<long()>> calls;
  bool replied = false;
  long reply = 0;
};

double PostLoop() {
  HWND window = MakeWindow();
  auto start = bench::Clock::now();
  MSG msg;
  for (int i = 0; i < kPosts; ++i) {
    PostMessageA(window, WM_USER, static_cast<WPARAM>(i), 0);
    GetMessageA(&msg, nullptr, 0, 0);
    DispatchMessageA(&msg);
  }
  double seconds = bench::Seconds(bench::Clock::now() - start);
  DestroyWindow(window);
  return seconds;
}

double PlainPostLoop() {
  PlainQueue queue;
  long handled = 0;
  auto start = bench::Clock::now();
  for (int i = 0; i < kPosts; ++i) {
    {
      std::lock_guard lock(queue.mutex);
      queue.calls.push_back([&handled, i] { return handled += i & 1; });
    }
    queue.changed.notify_one();
    std::function<long()> call;
    {
      std::unique_lock lock(queue.mutex);
      queue.changed.wait(lock, [&] { return !queue.calls.empty(); });
      call = std::move(queue.calls.front());
      queue.calls.pop_front();
    }
    call();
  }
  return bench::Seconds(bench::Clock::now() - start);
}

double SendLoop() {
  HWND window = nullptr;
  std::mutex ready;
  std::condition_variable made;
  std::thread owner([&] {
    HWND mine = MakeWindow();
    {
      std::lock_guard lock(ready);
      window = mine;
    }
    made.notify_one();
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    DestroyWindow(mine);
  });
  {
    std::unique_lock lock(ready);
    made.wait(lock, [&] { return window != nullptr; });
  }
  auto start = bench::Clock::now();
  for (int i = 0; i < kSends; ++i) SendMessageA(window, WM_USER, static_cast<WPARAM>(i), 0);
  double seconds = bench::Seconds(bench::Clock::now() - start);
  PostThreadMessageA(GetWindowThreadProcessId(window, nullptr), WM_QUIT, 0, 0);
  owner.join();
  return seconds;
}

double PlainSendLoop() {
  PlainQueue queue;
  bool stop = false;
  std::thread owner([&] {
    for (;;) {
      std::function<long()> call;
      {
        std::unique_lock lock(queue.mutex);
        queue.changed.wait(lock, [&] { return !queue.calls.empty() || stop; });
        if (queue.calls.empty()) return;
        call = std::move(queue.calls.front());
        queue.calls.pop_front();
      }
      long reply = call();
      {
        std::lock_guard lock(queue.mutex);
        queue.reply = reply;
        queue.replied = true;
      }
      queue.changed.notify_all();
    }
  });
  auto start = bench::Clock::now();
  for (int i = 0; i < kSends; ++i) {
    {
      std::lock_guard lock(queue.mutex);
      queue.replied = false;
      queue.calls.push_back([i] { return static_cast<long>(i) + 1; });
    }
    queue.changed.notify_all();
    std::unique_lock lock(queue.mutex);
    queue.changed.wait(lock, [&] { return queue.replied; });
  }
  double seconds = bench::Seconds(bench::Clock::now() - start);
  {
    std::lock_guard lock(queue.mutex);
    stop = true;
  }
  queue.changed.notify_all();
  owner.join();
  return seconds;
}

}  // namespace

void BenchMessageRoundTrips() {
  double posted = PostLoop();
  double plainPosted = PlainPostLoop();
  std::printf("(a) %d PostMessage + GetMessage + DispatchMessage: %.3f s; plain queue %.3f s; "
              "ratio %.2f (goal <= 2)\n",
              kPosts, posted, plainPosted, posted / plainPosted);
  double sent = SendLoop();
  double plainSent = PlainSendLoop();
  std::printf("(a) %d cross-thread SendMessage: %.3f s; plain hand-off %.3f s; ratio %.2f "
              "(goal <= 2)\n",
              kSends, sent, plainSent, sent / plainSent);
}
