// The icon extractor the folder hands the shell for one item: the icon is a
// resource of this module, named by its identifier.
#pragma once

#include "platform/shell/extract_icon.h"
#include "shellfolder/com_object.h"

class IconExtractor final : public CobrellObject<IconExtractor, IExtractIconA, IExtractIconW> {
 public:
  // An extractor for icon, handed out through iid.
  static HRESULT Create(DWORD icon, REFIID iid, void** object);

  InterfaceTable Interfaces();

  // IExtractIconA
  HRESULT GetIconLocation(UINT flags, LPSTR file, UINT size, int* index, UINT* flagsOut) override;
  HRESULT Extract(LPCSTR file, UINT index, HICON* large, HICON* small, UINT sizes) override;
  // IExtractIconW
  HRESULT GetIconLocation(UINT flags, LPWSTR file, UINT size, int* index, UINT* flagsOut) override;
  HRESULT Extract(LPCWSTR file, UINT index, HICON* large, HICON* small, UINT sizes) override;

 private:
  explicit IconExtractor(DWORD icon) : m_icon(icon) {}
  friend CobrellObject<IconExtractor, IExtractIconA, IExtractIconW>;
  ~IconExtractor() = default;

  // GIL_DONTCACHE the first time the module is asked for this icon in this
  // form (wide or not, open or not), no flags afterwards.
  UINT FlagsFor(bool wide, UINT flags) const;

  DWORD m_icon;
};
