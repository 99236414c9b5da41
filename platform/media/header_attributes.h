// The file-level header attributes of IWMHeaderInfo ("Title", "Duration",
// ...): typed values by name, with the SDK's buffer-size contract. Not
// locked: the reader and writer guard it with their own locks.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/media/wm_types.h"

namespace qap::media {

class HeaderAttributes {
 public:
  void SetString(std::u16string_view name, std::u16string_view value);
  void SetQword(std::u16string_view name, QWORD value);
  // A string attribute without its terminating NUL.
  std::optional<std::u16string> String(std::u16string_view name) const;

  // IWMHeaderInfo's contract. Only stream 0 (the file) holds attributes.
  HRESULT Get(const WORD* streamNumber, LPCWSTR name, WMT_ATTR_DATATYPE* type, BYTE* value,
              WORD* length) const;
  HRESULT Set(WORD streamNumber, LPCWSTR name, WMT_ATTR_DATATYPE type, const BYTE* value,
              WORD length);

 private:
  struct Value {
    WMT_ATTR_DATATYPE type;
    std::vector<BYTE> bytes;
  };
  std::map<std::u16string, Value, std::less<>> m_values;
};

}  // namespace qap::media
