// Building and reading CF_HDROP blocks.
#include "platform/ui/ole/drop_files.h"

#include <algorithm>
#include <cstring>

#include "platform/base/codepage.h"
#include "platform/ui/ole/global_memory.h"
#include "platform/ui/window_api.h"

namespace {

constexpr UINT kCountFiles = 0xFFFFFFFF;

bool ReadBlock(HDROP drop, std::vector<BYTE>* bytes, DROPFILES* header) {
  if (!ui::ole::GlobalToBytes(reinterpret_cast<HGLOBAL>(drop), bytes) ||
      bytes->size() < sizeof(DROPFILES)) {
    return false;
  }
  std::memcpy(header, bytes->data(), sizeof(DROPFILES));
  return true;
}

// The names up to the empty one that ends the list; a name that runs into
// the end of the block is no name.
std::vector<std::string> NamesIn(const std::vector<BYTE>& bytes, const DROPFILES& header) {
  std::vector<std::string> names;
  const size_t unit = header.fWide ? 2 : 1;
  size_t at = header.pFiles;
  for (;;) {
    std::u16string wide;
    std::string ansi;
    bool ended = false;
    while (at + unit <= bytes.size()) {
      char16_t c = unit == 2 ? static_cast<char16_t>(bytes[at] | (bytes[at + 1] << 8))
                             : static_cast<char16_t>(bytes[at]);
      at += unit;
      if (c == 0) {
        ended = true;
        break;
      }
      if (unit == 2) {
        wide.push_back(c);
      } else {
        ansi.push_back(static_cast<char>(c));
      }
    }
    if (!ended || (wide.empty() && ansi.empty())) return names;
    names.push_back(unit == 2 ? WideToAnsi(wide) : ansi);
  }
}

void Append(std::vector<BYTE>* block, const void* data, size_t size) {
  const auto* bytes = static_cast<const BYTE*>(data);
  block->insert(block->end(), bytes, bytes + size);
}

}  // namespace

UINT DragQueryFileA(HDROP drop, UINT index, LPSTR file, UINT size) {
  std::vector<BYTE> bytes;
  DROPFILES header;
  if (!ReadBlock(drop, &bytes, &header)) return 0;
  std::vector<std::string> names = NamesIn(bytes, header);
  if (index == kCountFiles) return static_cast<UINT>(names.size());
  if (index >= names.size()) return 0;
  const std::string& name = names[index];
  if (file == nullptr) return static_cast<UINT>(name.size());
  if (size == 0) return 0;
  size_t copied = std::min<size_t>(name.size(), size - 1);
  std::memcpy(file, name.data(), copied);
  file[copied] = '\0';
  return static_cast<UINT>(copied);
}

BOOL DragQueryPoint(HDROP drop, POINT* point) {
  std::vector<BYTE> bytes;
  DROPFILES header;
  if (point == nullptr || !ReadBlock(drop, &bytes, &header)) return FALSE;
  *point = header.pt;
  return header.fNC ? FALSE : TRUE;
}

namespace ui::ole {

std::vector<std::string> DroppedFiles(HDROP drop) {
  std::vector<BYTE> bytes;
  DROPFILES header;
  if (!ReadBlock(drop, &bytes, &header)) return {};
  return NamesIn(bytes, header);
}

}  // namespace ui::ole

void DragFinish(HDROP drop) { GlobalFree(reinterpret_cast<HGLOBAL>(drop)); }

void DragAcceptFiles(HWND window, BOOL accept) {
  LONG_PTR style = GetWindowLongPtrA(window, GWL_EXSTYLE);
  style =
      accept ? (style | WS_EX_ACCEPTFILES) : (style & ~static_cast<LONG_PTR>(WS_EX_ACCEPTFILES));
  SetWindowLongPtrA(window, GWL_EXSTYLE, style);
}

namespace ui::ole {

std::vector<BYTE> DropFilesBlock(const std::vector<std::string>& files, POINT point, bool wide) {
  // An empty name would end the list early.
  if (std::all_of(files.begin(), files.end(),
                  [](const std::string& file) { return file.empty(); })) {
    return {};
  }
  DROPFILES header{sizeof(DROPFILES), point, FALSE, wide ? TRUE : FALSE};
  std::vector<BYTE> block;
  Append(&block, &header, sizeof header);
  for (const std::string& file : files) {
    if (file.empty()) continue;
    if (wide) {
      std::u16string name = AnsiToWide(file);
      for (char16_t c : name) {
        block.push_back(static_cast<BYTE>(c & 0xFF));
        block.push_back(static_cast<BYTE>(c >> 8));
      }
      block.insert(block.end(), 2, 0);
    } else {
      Append(&block, file.c_str(), file.size() + 1);
    }
  }
  block.insert(block.end(), wide ? 2 : 1, 0);
  return block;
}

HDROP CreateHDrop(const std::vector<std::string>& files, POINT point, bool wide) {
  std::vector<BYTE> block = DropFilesBlock(files, point, wide);
  if (block.empty()) return nullptr;
  return reinterpret_cast<HDROP>(GlobalFromBytes(block.data(), block.size()));
}

}  // namespace ui::ole
