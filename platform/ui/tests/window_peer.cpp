// A second process for the cross-process tests: it shows a window "Peer
// window" holding a child "Peer view", writes the data of every WM_COPYDATA
// the child receives to the file named by its argument, answers with the
// data's size plus one, and ends when its window is closed or after a minute.
#include <cstdio>
#include <string>

#include "platform/ui/user32.h"

namespace {

std::string g_file;

LRESULT PeerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (FILE* out = std::fopen(g_file.c_str(), "wb")) {
      std::fwrite(data->lpData, 1, data->cbData, out);
      std::fclose(out);
    }
    return static_cast<LRESULT>(data->cbData) + 1;
  }
  if (message == WM_DESTROY && GetParent(window) == nullptr) PostQuitMessage(0);
  if (message == WM_TIMER) DestroyWindow(window);
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  g_file = argv[1];
  WNDCLASSA peer{};
  peer.lpfnWndProc = PeerProc;
  peer.lpszClassName = "QapPeer";
  RegisterClassA(&peer);
  HWND top = CreateWindowExA(0, "QapPeer", "Peer window", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                             200, 100, nullptr, nullptr, nullptr, nullptr);
  CreateWindowExA(0, "QapPeer", "Peer view", WS_CHILD | WS_VISIBLE, 0, 0, 100, 50, top, nullptr,
                  nullptr, nullptr);
  SetTimer(top, 1, 60000, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  return 0;
}
