// Icon locations for the shell: this module's file and the negated resource
// identifier. The first answer for each icon and form asks the shell not to
// cache it; later answers let it.
#include "shellfolder/icon_extractor.h"

#include <cstring>
#include <mutex>
#include <set>
#include <tuple>

#include "platform/base/codepage.h"

namespace {

// Which (icon, wide, open) forms the module has been asked for.
struct AskedIcons {
  std::mutex mutex;
  std::set<std::tuple<DWORD, bool, bool>> asked;
};

AskedIcons& TheAskedIcons() {
  static AskedIcons icons;
  return icons;
}

template <typename Char>
HRESULT CopyPath(const std::basic_string<Char>& path, Char* file, UINT size) {
  if (file == nullptr) return E_POINTER;
  // A cut path would name another file.
  if (path.size() + 1 > size) return E_INVALIDARG;
  std::memcpy(file, path.c_str(), (path.size() + 1) * sizeof(Char));
  return S_OK;
}

}  // namespace

HRESULT IconExtractor::Create(DWORD icon, REFIID iid, void** object) {
  return NewInstance(iid, object, icon);
}

InterfaceTable IconExtractor::Interfaces() {
  return {{&IID_IExtractIconA, static_cast<IExtractIconA*>(this)},
          {&IID_IExtractIconW, static_cast<IExtractIconW*>(this)}};
}

UINT IconExtractor::FlagsFor(bool wide, UINT flags) const {
  AskedIcons& icons = TheAskedIcons();
  std::lock_guard<std::mutex> lock(icons.mutex);
  const bool first = icons.asked.emplace(m_icon, wide, (flags & GIL_OPENICON) != 0).second;
  return first ? GIL_DONTCACHE : 0;
}

HRESULT IconExtractor::GetIconLocation(UINT flags, LPSTR file, UINT size, int* index,
                                       UINT* flagsOut) try {
  if (index == nullptr || flagsOut == nullptr) return E_POINTER;
  const HRESULT copied = CopyPath(cobrell::ModulePath(), file, size);
  if (FAILED(copied)) return copied;
  *index = -static_cast<int>(m_icon);
  *flagsOut = FlagsFor(false, flags);
  return S_OK;
} catch (...) {
  return E_OUTOFMEMORY;
}

HRESULT IconExtractor::GetIconLocation(UINT flags, LPWSTR file, UINT size, int* index,
                                       UINT* flagsOut) try {
  if (index == nullptr || flagsOut == nullptr) return E_POINTER;
  const HRESULT copied = CopyPath(AnsiToWide(cobrell::ModulePath()), file, size);
  if (FAILED(copied)) return copied;
  *index = -static_cast<int>(m_icon);
  *flagsOut = FlagsFor(true, flags);
  return S_OK;
} catch (...) {
  return E_OUTOFMEMORY;
}

HRESULT IconExtractor::Extract(LPCSTR, UINT, HICON*, HICON*, UINT) { return S_FALSE; }

HRESULT IconExtractor::Extract(LPCWSTR, UINT, HICON*, HICON*, UINT) { return S_FALSE; }
