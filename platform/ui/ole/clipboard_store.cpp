// The clipboard's content, its opener and owner, rendering from the data
// object and from the desktop, and the bridge's notifications.
#include "platform/ui/ole/clipboard_store.h"

#include <algorithm>

#include "platform/base/last_error.h"
#include "platform/base/sync.h"
#include "platform/ui/message_api.h"
#include "platform/ui/ole/data_objects.h"
#include "platform/ui/ole/global_memory.h"
#include "platform/ui/window_api.h"

namespace ui::ole {

namespace {

bool RenderFrom(IDataObject* data, UINT format, std::vector<BYTE>* bytes) {
  FORMATETC wanted = HGlobalFormat(static_cast<CLIPFORMAT>(format));
  STGMEDIUM medium{};
  if (FAILED(data->GetData(&wanted, &medium))) return false;
  bool read = medium.tymed == TYMED_HGLOBAL && GlobalToBytes(medium.hGlobal, bytes);
  ReleaseStgMedium(&medium);
  return read;
}

}  // namespace

ClipboardStore& ClipboardStore::Get() {
  static auto* store = new ClipboardStore;
  return *store;
}

void ClipboardStore::Leftovers::Finish() {
  if (owner != nullptr && IsWindow(owner)) SendMessageA(owner, WM_DESTROYCLIPBOARD, 0, 0);
  for (const Entry& entry : entries) GlobalFree(entry.memory);
  entries.clear();
  data.Reset();
}

bool ClipboardStore::OpenedByCallerLocked() const {
  return m_open && m_openThread == GetCurrentThreadId();
}

ClipboardStore::Entry* ClipboardStore::FindLocked(UINT format) {
  auto it = std::find_if(m_entries.begin(), m_entries.end(),
                         [format](const Entry& entry) { return entry.format == format; });
  return it == m_entries.end() ? nullptr : &*it;
}

ClipboardStore::Leftovers ClipboardStore::ReplaceLocked(HWND owner) {
  Leftovers left;
  left.owner = m_owner;
  left.entries.swap(m_entries);
  left.data = std::move(m_data);
  m_owner = owner;
  m_outside = false;
  m_outsidePending = false;
  ++m_generation;
  return left;
}

std::vector<UINT> ClipboardStore::LocalFormatsLocked() const {
  std::vector<UINT> formats;
  for (const Entry& entry : m_entries) formats.push_back(entry.format);
  return formats;
}

void ClipboardStore::Announce(const std::vector<UINT>& formats) {
  ClipboardBridge* bridge;
  {
    std::lock_guard lock(m_mutex);
    bridge = m_bridge;
  }
  if (bridge != nullptr) bridge->OnLocalChange(formats);
}

BOOL ClipboardStore::Open(HWND window) {
  if (window != nullptr && !IsWindow(window)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  std::lock_guard lock(m_mutex);
  if (m_open) {
    if (OpenedByCallerLocked() && m_openWindow == window) return TRUE;
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  m_open = true;
  m_openThread = GetCurrentThreadId();
  m_openWindow = window;
  m_changed = false;
  return TRUE;
}

BOOL ClipboardStore::Close() {
  Leftovers left;
  bool changed;
  std::vector<UINT> formats;
  {
    std::lock_guard lock(m_mutex);
    if (!OpenedByCallerLocked()) {
      SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
      return FALSE;
    }
    m_open = false;
    m_openWindow = nullptr;
    changed = m_changed;
    m_changed = false;
    if (m_outsidePending && !changed) {
      left = ReplaceLocked(nullptr);
      m_outside = true;
    }
    m_outsidePending = false;
    formats = LocalFormatsLocked();
  }
  left.Finish();
  if (changed) Announce(formats);
  return TRUE;
}

BOOL ClipboardStore::Empty() {
  Leftovers left;
  {
    std::lock_guard lock(m_mutex);
    if (!OpenedByCallerLocked()) {
      SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
      return FALSE;
    }
    left = ReplaceLocked(m_openWindow);
    m_changed = true;
  }
  left.Finish();
  return TRUE;
}

HANDLE ClipboardStore::Set(UINT format, HANDLE memory) {
  HGLOBAL replaced = nullptr;
  {
    std::lock_guard lock(m_mutex);
    if (!OpenedByCallerLocked()) {
      SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
      return nullptr;
    }
    if (format == 0 || memory == nullptr) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    if (Entry* entry = FindLocked(format)) {
      replaced = entry->memory != memory ? entry->memory : nullptr;
      entry->memory = memory;
    } else {
      m_entries.push_back(Entry{format, memory});
    }
    m_changed = true;
  }
  GlobalFree(replaced);
  return memory;
}

HGLOBAL ClipboardStore::Resolve(UINT format, bool outsideToo) {
  ComPtr<IDataObject> source;
  ClipboardBridge* bridge = nullptr;
  unsigned generation;
  {
    std::lock_guard lock(m_mutex);
    Entry* entry = FindLocked(format);
    if (entry != nullptr && entry->memory != nullptr) return entry->memory;
    if (entry != nullptr) {
      source = m_data;
    } else if (outsideToo && m_outside) {
      bridge = m_bridge;
    }
    if (!source && bridge == nullptr) return nullptr;
    generation = m_generation;
  }
  std::vector<BYTE> bytes;
  bool got =
      source ? RenderFrom(source.Get(), format, &bytes) : bridge->ReadOutside(format, &bytes);
  HGLOBAL memory = got ? GlobalFromBytes(bytes.data(), bytes.size()) : nullptr;
  if (memory == nullptr) return nullptr;
  HGLOBAL unused = nullptr;
  {
    std::lock_guard lock(m_mutex);
    Entry* entry = FindLocked(format);
    if (m_generation != generation) {
      // The content changed while it was rendered: what was read is stale.
      std::swap(unused, memory);
    } else if (entry == nullptr) {
      m_entries.push_back(Entry{format, memory});
    } else if (entry->memory == nullptr) {
      entry->memory = memory;
    } else {
      // Another reader rendered it first.
      unused = memory;
      memory = entry->memory;
    }
  }
  GlobalFree(unused);
  return memory;
}

HANDLE ClipboardStore::Handle(UINT format) {
  {
    std::lock_guard lock(m_mutex);
    if (!OpenedByCallerLocked()) {
      SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
      return nullptr;
    }
  }
  return Resolve(format, true);
}

std::vector<UINT> ClipboardStore::Formats() {
  std::vector<UINT> formats;
  ClipboardBridge* bridge;
  {
    std::lock_guard lock(m_mutex);
    formats = LocalFormatsLocked();
    bridge = m_outside ? m_bridge : nullptr;
  }
  if (bridge != nullptr) {
    for (UINT format : bridge->OutsideFormats()) {
      if (std::find(formats.begin(), formats.end(), format) == formats.end()) {
        formats.push_back(format);
      }
    }
  }
  return formats;
}

bool ClipboardStore::IsAvailable(UINT format) {
  std::vector<UINT> formats = Formats();
  return format != 0 && std::find(formats.begin(), formats.end(), format) != formats.end();
}

UINT ClipboardStore::Next(UINT format) {
  {
    std::lock_guard lock(m_mutex);
    if (!OpenedByCallerLocked()) {
      SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
      return 0;
    }
  }
  std::vector<UINT> formats = Formats();
  auto next = formats.begin();
  if (format != 0) {
    next = std::find(formats.begin(), formats.end(), format);
    if (next != formats.end()) ++next;
  }
  SetLastError(ERROR_SUCCESS);
  return next == formats.end() ? 0 : *next;
}

HWND ClipboardStore::Owner() {
  HWND owner;
  {
    std::lock_guard lock(m_mutex);
    owner = m_owner;
  }
  // An owner that went leaves the clipboard with none.
  return IsWindow(owner) ? owner : nullptr;
}

HWND ClipboardStore::OpenWindow() {
  std::lock_guard lock(m_mutex);
  return m_open ? m_openWindow : nullptr;
}

HRESULT ClipboardStore::SetDataObject(IDataObject* data, std::vector<UINT> formats) {
  Leftovers left;
  {
    std::lock_guard lock(m_mutex);
    if (m_open) return CLIPBRD_E_CANT_OPEN;
    left = ReplaceLocked(nullptr);
    for (UINT format : formats) {
      if (format != 0 && FindLocked(format) == nullptr) m_entries.push_back(Entry{format, nullptr});
    }
    m_data = ComPtr<IDataObject>(data);
    formats = LocalFormatsLocked();
  }
  left.Finish();
  Announce(formats);
  return S_OK;
}

HRESULT ClipboardStore::Flush() {
  ComPtr<IDataObject> source;
  std::vector<UINT> waiting;
  unsigned generation;
  {
    std::lock_guard lock(m_mutex);
    if (m_open) return CLIPBRD_E_CANT_OPEN;
    if (!m_data) return S_OK;
    source = m_data;
    for (const Entry& entry : m_entries) {
      if (entry.memory == nullptr) waiting.push_back(entry.format);
    }
    generation = m_generation;
  }
  std::vector<Entry> rendered;
  for (UINT format : waiting) {
    std::vector<BYTE> bytes;
    if (!RenderFrom(source.Get(), format, &bytes)) continue;
    if (HGLOBAL memory = GlobalFromBytes(bytes.data(), bytes.size())) {
      rendered.push_back(Entry{format, memory});
    }
  }
  Leftovers left;
  {
    std::lock_guard lock(m_mutex);
    if (m_generation == generation) {
      for (Entry& done : rendered) {
        if (Entry* entry = FindLocked(done.format); entry != nullptr && entry->memory == nullptr) {
          entry->memory = std::exchange(done.memory, nullptr);
        }
      }
      // What the object could not give is no longer offered.
      std::erase_if(m_entries, [](const Entry& entry) { return entry.memory == nullptr; });
      left.data = std::move(m_data);
    }
  }
  left.entries = std::move(rendered);
  left.Finish();
  return S_OK;
}

bool ClipboardStore::IsCurrent(IDataObject* data) {
  std::lock_guard lock(m_mutex);
  return data != nullptr && m_data.Get() == data;
}

bool ClipboardStore::Read(UINT format, bool outsideToo, std::vector<BYTE>* bytes) {
  {
    std::lock_guard lock(m_mutex);
    if (m_outside && !outsideToo) return false;
  }
  HGLOBAL memory = Resolve(format, outsideToo);
  return memory != nullptr && GlobalToBytes(memory, bytes);
}

void ClipboardStore::SetBridge(ClipboardBridge* bridge) {
  std::lock_guard lock(m_mutex);
  m_bridge = bridge;
}

void ClipboardStore::TakenOutside() {
  Leftovers left;
  {
    std::lock_guard lock(m_mutex);
    if (m_open) {
      m_outsidePending = true;
      return;
    }
    left = ReplaceLocked(nullptr);
    m_outside = true;
  }
  left.Finish();
}

}  // namespace ui::ole
