// What the clipboard holds and who has it open, behind the user32 and OLE
// calls. Window procedures, data objects and the bridge are only ever
// called with the store's lock released.
#pragma once

#include <mutex>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/ui/ole/clipboard.h"

namespace ui::ole {

class ClipboardStore {
 public:
  static ClipboardStore& Get();

  BOOL Open(HWND window);
  BOOL Close();
  BOOL Empty();
  HANDLE Set(UINT format, HANDLE memory);
  // The held block of format, rendered (from the data object, or the
  // desktop through the bridge) on first use; needs the clipboard open.
  HANDLE Handle(UINT format);
  bool IsAvailable(UINT format);
  // In the order they were set; the desktop's after them when it owns the
  // clipboard.
  std::vector<UINT> Formats();
  UINT Next(UINT format);
  HWND Owner();
  HWND OpenWindow();

  HRESULT SetDataObject(IDataObject* data, std::vector<UINT> formats);
  HRESULT Flush();
  bool IsCurrent(IDataObject* data);

  // A copy of format's bytes, rendering it when needed; the desktop's only
  // with outsideToo.
  bool Read(UINT format, bool outsideToo, std::vector<BYTE>* bytes);
  void SetBridge(ClipboardBridge* bridge);
  void TakenOutside();

 private:
  struct Entry {
    UINT format = 0;
    HGLOBAL memory = nullptr;  // null while it waits to be rendered
  };
  // What replacing the content leaves to do once the lock is released.
  struct Leftovers {
    HWND owner = nullptr;
    std::vector<Entry> entries;
    ComPtr<IDataObject> data;
    void Finish();
  };

  ClipboardStore() = default;
  bool OpenedByCallerLocked() const;
  Entry* FindLocked(UINT format);
  Leftovers ReplaceLocked(HWND owner);
  std::vector<UINT> LocalFormatsLocked() const;
  HGLOBAL Resolve(UINT format, bool outsideToo);
  void Announce(const std::vector<UINT>& formats);

  std::mutex m_mutex;
  bool m_open = false;
  DWORD m_openThread = 0;
  HWND m_openWindow = nullptr;
  HWND m_owner = nullptr;
  std::vector<Entry> m_entries;
  ComPtr<IDataObject> m_data;  // set by OleSetClipboard; renders the entries
  bool m_changed = false;      // since it was opened
  bool m_outside = false;      // the desktop's clipboard is another program's
  bool m_outsidePending = false;
  unsigned m_generation = 0;  // counts replacements of the content
  ClipboardBridge* m_bridge = nullptr;
};

}  // namespace ui::ole
