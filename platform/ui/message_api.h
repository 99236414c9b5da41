// Message queues: one per thread, made on first use. Posted and sent
// messages, timers, quit, registered messages, keyboard hooks, key state,
// accelerators, and a wait on events that also wakes on messages.
#pragma once

#include "platform/base/export.h"
#include "platform/base/sync.h"
#include "platform/ui/messages.h"

// Sending to a window of another thread blocks the sender until that thread
// has handled the message; meanwhile the sender handles messages sent to it.
// When the window's thread has ended, or the window is gone, the result is
// 0 with ERROR_INVALID_WINDOW_HANDLE.
QAP_EXPORT LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
constexpr UINT SMTO_NORMAL = 0x0000;
constexpr UINT SMTO_BLOCK = 0x0001;
constexpr UINT SMTO_ABORTIFHUNG = 0x0002;
QAP_EXPORT LRESULT SendMessageTimeoutA(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT flags, UINT timeoutMs, DWORD_PTR* result);
QAP_EXPORT BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
QAP_EXPORT BOOL PostThreadMessageA(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam);
QAP_EXPORT BOOL InSendMessage();

// GetMessage answers 0 for WM_QUIT, -1 for an invalid window filter.
QAP_EXPORT BOOL GetMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax);
constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;
QAP_EXPORT BOOL PeekMessageA(MSG* msg, HWND window, UINT filterMin, UINT filterMax, UINT remove);
QAP_EXPORT BOOL TranslateMessage(const MSG* msg);
QAP_EXPORT LRESULT DispatchMessageA(const MSG* msg);
QAP_EXPORT void PostQuitMessage(int exitCode);
QAP_EXPORT BOOL WaitMessage();
QAP_EXPORT LONG GetMessageTime();

QAP_EXPORT UINT_PTR SetTimer(HWND window, UINT_PTR id, UINT elapseMs, TIMERPROC proc);
QAP_EXPORT BOOL KillTimer(HWND window, UINT_PTR id);

// Same name (compared without regard to case), same number, from
// 0xC000 to 0xFFFF; clipboard formats share the table.
QAP_EXPORT UINT RegisterWindowMessageA(LPCSTR name);

constexpr DWORD QS_KEY = 0x0001;
constexpr DWORD QS_MOUSEMOVE = 0x0002;
constexpr DWORD QS_MOUSEBUTTON = 0x0004;
constexpr DWORD QS_POSTMESSAGE = 0x0008;
constexpr DWORD QS_TIMER = 0x0010;
constexpr DWORD QS_PAINT = 0x0020;
constexpr DWORD QS_SENDMESSAGE = 0x0040;
constexpr DWORD QS_HOTKEY = 0x0080;
constexpr DWORD QS_ALLPOSTMESSAGE = 0x0100;
constexpr DWORD QS_MOUSE = QS_MOUSEMOVE | QS_MOUSEBUTTON;
constexpr DWORD QS_INPUT = QS_MOUSE | QS_KEY;
constexpr DWORD QS_ALLEVENTS = QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY;
constexpr DWORD QS_ALLINPUT = QS_ALLEVENTS | QS_SENDMESSAGE;
// Waits for one of the objects or for a message in the calling thread's
// queue (WAIT_OBJECT_0 + count). Messages sent by other threads are handled
// while it waits, as on Windows.
QAP_EXPORT DWORD MsgWaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll,
                                           DWORD milliseconds, DWORD wakeMask);

// Keyboard hooks of the calling thread (WH_KEYBOARD only). The hook sees
// each key message as it is taken from the queue; a non-zero answer
// discards the message.
constexpr int WH_KEYBOARD = 2;
constexpr int HC_ACTION = 0;
constexpr int HC_NOREMOVE = 3;
QAP_EXPORT HHOOK SetWindowsHookExA(int kind, HOOKPROC proc, HINSTANCE module, DWORD threadId);
QAP_EXPORT BOOL UnhookWindowsHookEx(HHOOK hook);
QAP_EXPORT LRESULT CallNextHookEx(HHOOK hook, int code, WPARAM wParam, LPARAM lParam);

// The key state of the calling thread as of the last key message it took
// from its queue: bit 15 down, bit 0 toggled.
QAP_EXPORT SHORT GetKeyState(int virtualKey);
QAP_EXPORT SHORT GetAsyncKeyState(int virtualKey);

constexpr BYTE FVIRTKEY = 0x01;
constexpr BYTE FNOINVERT = 0x02;
constexpr BYTE FSHIFT = 0x04;
constexpr BYTE FCONTROL = 0x08;
constexpr BYTE FALT = 0x10;
struct ACCEL {
  BYTE fVirt;
  WORD key;
  WORD cmd;
};
QAP_EXPORT HACCEL CreateAcceleratorTableA(const ACCEL* entries, int count);
QAP_EXPORT BOOL DestroyAcceleratorTable(HACCEL table);
QAP_EXPORT int CopyAcceleratorTableA(HACCEL table, ACCEL* entries, int count);
// A key-down (or character) message that matches an entry becomes
// WM_COMMAND (command, 1) sent to window; answers whether one matched.
QAP_EXPORT int TranslateAcceleratorA(HWND window, HACCEL table, MSG* msg);

QAP_EXPORT BOOL MessageBeep(UINT type);
