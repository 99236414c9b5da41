// The user32 clipboard calls and the bridge's entry points.
#include "platform/ui/ole/clipboard.h"

#include <cstring>

#include "platform/base/last_error.h"
#include "platform/ui/core/atoms.h"
#include "platform/ui/ole/clipboard_store.h"

using ui::ole::ClipboardStore;

BOOL OpenClipboard(HWND owner) { return ClipboardStore::Get().Open(owner); }

BOOL CloseClipboard() { return ClipboardStore::Get().Close(); }

BOOL EmptyClipboard() { return ClipboardStore::Get().Empty(); }

HANDLE SetClipboardData(UINT format, HANDLE memory) {
  return ClipboardStore::Get().Set(format, memory);
}

HANDLE GetClipboardData(UINT format) { return ClipboardStore::Get().Handle(format); }

BOOL IsClipboardFormatAvailable(UINT format) { return ClipboardStore::Get().IsAvailable(format); }

int CountClipboardFormats() { return static_cast<int>(ClipboardStore::Get().Formats().size()); }

UINT EnumClipboardFormats(UINT format) { return ClipboardStore::Get().Next(format); }

UINT RegisterClipboardFormatA(LPCSTR name) {
  if (name == nullptr || *name == '\0') {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  return ui::core::AddAtom(name);
}

int GetClipboardFormatNameA(UINT format, LPSTR name, int size) {
  std::string text = format <= 0xFFFF ? ui::core::AtomName(static_cast<ATOM>(format)) : "";
  if (text.empty() || name == nullptr || size <= 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  size_t copied = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(name, text.data(), copied);
  name[copied] = '\0';
  return static_cast<int>(copied);
}

HWND GetClipboardOwner() { return ClipboardStore::Get().Owner(); }

HWND GetOpenClipboardWindow() { return ClipboardStore::Get().OpenWindow(); }

namespace ui::ole {

void SetClipboardBridge(ClipboardBridge* bridge) { ClipboardStore::Get().SetBridge(bridge); }

void ClipboardTakenOutside() { ClipboardStore::Get().TakenOutside(); }

bool ReadLocalClipboard(UINT format, std::vector<BYTE>* bytes) {
  return bytes != nullptr && ClipboardStore::Get().Read(format, false, bytes);
}

}  // namespace ui::ole
