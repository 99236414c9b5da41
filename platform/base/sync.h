// Win32-style waitable objects: events (manual- and auto-reset) and threads,
// with WaitForSingleObject / WaitForMultipleObjects semantics.
#pragma once

#include <functional>

#include "platform/base/export.h"
#include "platform/base/win_types.h"
#include "platform/base/unique_owner.h"

constexpr DWORD INFINITE = 0xFFFFFFFF;
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;
constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;
constexpr DWORD STILL_ACTIVE = 259;

// name is accepted for the Win32 shape and ignored: events are process-local.
QAP_EXPORT HANDLE CreateEventA(const void* security, BOOL manualReset, BOOL initialState,
                               LPCSTR name);
QAP_EXPORT BOOL SetEvent(HANDLE event);
QAP_EXPORT BOOL ResetEvent(HANDLE event);

// Starts fn on a new thread. The handle is signalled when fn returns; its
// result becomes the exit code. threadId may be null.
QAP_EXPORT HANDLE CreateThread(std::function<DWORD()> fn, DWORD* threadId = nullptr);
QAP_EXPORT BOOL GetExitCodeThread(HANDLE thread, DWORD* exitCode);
QAP_EXPORT DWORD GetCurrentThreadId();

// Waiting on an auto-reset event consumes its signal. With waitAll false,
// the result is WAIT_OBJECT_0 + the lowest signalled index. A null, closed
// or unknown handle gives WAIT_FAILED (ERROR_INVALID_HANDLE).
QAP_EXPORT DWORD WaitForSingleObject(HANDLE object, DWORD milliseconds);
QAP_EXPORT DWORD WaitForMultipleObjects(DWORD count, const HANDLE* objects, BOOL waitAll,
                                        DWORD milliseconds);
// Closing a running thread's handle lets the thread run on, detached.
QAP_EXPORT BOOL CloseHandle(HANDLE object);

// A loop that cannot block in WaitForMultipleObjects (a GUI toolkit's event
// loop waiting for its own events too) learns of every signal through a
// listener, called on the signalling thread right after an event is set or a
// thread ends. Listeners must be quick and must not wait.
QAP_EXPORT int AddSignalListener(std::function<void()> listener);
QAP_EXPORT void RemoveSignalListener(int id);

QAP_EXPORT void Sleep(DWORD milliseconds);
// Milliseconds since an arbitrary start, wrapping at 2^32 as on Windows.
QAP_EXPORT DWORD GetTickCount();

struct KernelHandleTraits {
  using Handle = HANDLE;
  static constexpr HANDLE kNone = nullptr;
  static void Close(HANDLE handle) { CloseHandle(handle); }
};
// Owns one event or thread handle and closes it.
using UniqueHandle = UniqueOwner<KernelHandleTraits>;
