// Exporting a key and everything below it as .reg text, the way regedit
// writes it, so that an import gives back exactly the same keys and bytes:
// "Windows Registry Editor Version 5.00" files in UTF-16LE with a byte order
// mark, the hex(N) data of texts in UTF-16LE too; "REGEDIT4" files in the
// code page, text data in the code page. Both with CRLF line ends. The text
// is built as UTF-8 with '\n' line ends and encoded at the end.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <new>
#include <unordered_set>
#include <utility>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/registry/hive.h"
#include "platform/registry/key_store.h"
#include "platform/registry/names.h"
#include "platform/registry/reg_text.h"
#include "platform/registry/registry.h"

using namespace qap::registry;

namespace {

constexpr const char* kNewLine = "\n";
constexpr const char* kHeader5 = "Windows Registry Editor Version 5.00";
constexpr const char* kHeader4 = "REGEDIT4";
// Regedit wraps hex lists to keep lines within 80 columns.
constexpr std::size_t kWrapColumn = 76;

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// Only data that reads back as the same bytes is written as "text".
bool IsPlainText(std::string_view data) {
  return !data.empty() && data.back() == '\0' && data.find('\0') == data.size() - 1 &&
         !HasLineBreak(data);
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    if (c == '\\' || c == '"') out.push_back('\\');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

void AppendHexList(std::string_view data, std::string* line, std::string* out) {
  static const char kDigits[] = "0123456789abcdef";
  for (std::size_t i = 0; i < data.size(); ++i) {
    const auto byte = static_cast<unsigned char>(data[i]);
    line->push_back(kDigits[byte >> 4]);
    line->push_back(kDigits[byte & 0x0F]);
    if (i + 1 == data.size()) break;
    line->push_back(',');
    if (line->size() >= kWrapColumn) {
      *out += *line + "\\" + kNewLine;
      *line = "  ";
    }
  }
}

// The bytes a hex(N) line shows: a text's in the file's encoding of texts.
std::string HexData(const ValueRow& value, bool wideTexts) {
  if (!IsTextType(value.type)) return value.data;
  return wideTexts ? StoredToUtf16(value.data) : CallerText(value.data);
}

void AppendValue(const ValueRow& value, bool wideTexts, std::string* out) {
  std::string line = value.name.empty() ? "@=" : Quoted(AnsiToUtf8(value.name)) + "=";
  const std::string_view data = value.data;
  if (value.type == REG_SZ && IsPlainText(data)) {
    line += Quoted(data.substr(0, data.size() - 1));
  } else if (value.type == REG_DWORD && data.size() == 4) {
    DWORD number = 0;
    for (int i = 3; i >= 0; --i) number = (number << 8) | static_cast<unsigned char>(data[i]);
    char text[16];
    std::snprintf(text, sizeof text, "dword:%08x", number);
    line += text;
  } else {
    if (value.type == REG_BINARY) {
      line += "hex:";
    } else {
      char text[24];
      std::snprintf(text, sizeof text, "hex(%x):", value.type);
      line += text;
    }
    AppendHexList(HexData(value, wideTexts), &line, out);
  }
  *out += line + kNewLine;
}

// Depth first, children in enumeration order. An explicit stack, so that a
// deep tree cannot exhaust the thread's stack.
LONG AppendTree(Hive& hive, KeyStore& store, std::int64_t top, const std::string& topName,
                bool wideTexts, std::string* out, std::string* error) {
  std::vector<std::pair<std::int64_t, std::string>> pending{{top, topName}};
  // A key met twice is its own descendant, which only a damaged file holds.
  std::unordered_set<std::int64_t> seen;
  while (!pending.empty()) {
    auto [id, name] = std::move(pending.back());
    pending.pop_back();
    if (!seen.insert(id).second) return hive.Damaged("the key [" + name + "] lies inside itself");
    std::vector<ValueRow> values;
    std::vector<std::pair<std::int64_t, std::string>> children;
    LONG status = store.Values(id, &values);
    if (status == ERROR_SUCCESS) status = store.Children(id, &children);
    if (status != ERROR_SUCCESS) return status;
    *out += "[" + AnsiToUtf8(name) + "]" + kNewLine;
    for (const ValueRow& value : values) {
      if (HasLineBreak(value.name)) {
        *error = "the value name '" + value.name + "' in [" + name +
                 "] holds a line break, which .reg text cannot carry";
        return ERROR_INVALID_DATA;
      }
      AppendValue(value, wideTexts, out);
    }
    *out += kNewLine;
    for (auto child = children.rbegin(); child != children.rend(); ++child) {
      if (HasLineBreak(child->second)) {
        *error = "a key name under [" + name + "] holds a line break, which .reg text cannot carry";
        return ERROR_INVALID_DATA;
      }
      pending.emplace_back(child->first, name + "\\" + child->second);
    }
  }
  return ERROR_SUCCESS;
}

// Reads in one snapshot, unless this process's own write batch is open, in
// which case the export reads inside it and sees its pending writes.
class ReadSnapshot {
 public:
  explicit ReadSnapshot(Hive& hive) : m_hive(hive), m_own(hive.OpenBatch() == 0) {
    if (m_own) m_started = hive.Exec("BEGIN") == ERROR_SUCCESS;
  }
  ~ReadSnapshot() {
    if (m_started) m_hive.ExecQuietly("COMMIT");
  }
  ReadSnapshot(const ReadSnapshot&) = delete;
  ReadSnapshot& operator=(const ReadSnapshot&) = delete;

 private:
  Hive& m_hive;
  bool m_own;
  bool m_started = false;
};

// The file's text as UTF-8 with '\n' line ends.
LONG Export(const std::string& fullKeyName, RegFileFormat format, std::string* text,
            std::string* error) {
  HKEY root = nullptr;
  std::string path;
  if (!RegParseKeyName(fullKeyName, &root, &path)) {
    *error = "unknown root key in '" + fullKeyName + "'";
    return ERROR_INVALID_PARAMETER;
  }
  Hive& hive = Hive::Instance();
  const auto lock = hive.Lock();
  LONG status = hive.EnsureOpen();
  if (status != ERROR_SUCCESS) {
    *error = hive.Error();
    return status;
  }
  const ReadSnapshot snapshot(hive);
  KeyStore store(hive);
  std::int64_t id = 0;
  RootKeyId(root, &id);
  // The stored names, with the case they were created with.
  std::string name = RegRootName(root);
  status = ForEachComponent(path, [&](std::string_view component, bool) {
    std::string stored;
    LONG found = store.FindChild(id, component, &id);
    if (found == ERROR_SUCCESS) found = store.Name(id, &stored);
    name += "\\" + stored;
    return found;
  });
  if (status == ERROR_FILE_NOT_FOUND) *error = "the key '" + fullKeyName + "' does not exist";
  const bool wideTexts = format == RegFileFormat::kVersion5;
  std::string out = wideTexts ? kHeader5 : kHeader4;
  out += kNewLine;
  out += kNewLine;
  if (status == ERROR_SUCCESS) status = AppendTree(hive, store, id, name, wideTexts, &out, error);
  if (status == ERROR_SUCCESS)
    *text = std::move(out);
  else if (error->empty())
    *error = !hive.Error().empty()
                 ? hive.Error()
                 : "the hive could not be read (error " + std::to_string(status) + ")";
  return status;
}

// UTF-16LE with its byte order mark, or the code page; CRLF line ends.
// False when the code page cannot carry the text.
bool Encode(const std::string& text, RegFileFormat format, std::string* bytes) {
  std::string crlf;
  for (const char c : text) {
    if (c == '\n') crlf.push_back('\r');
    crlf.push_back(c);
  }
  if (format == RegFileFormat::kRegedit4) {
    *bytes = Utf8ToAnsi(crlf);
    return GetACP() == CP_UTF8 || AnsiToUtf8(*bytes) == crlf;
  }
  *bytes = "\xFF\xFE" + StoredToUtf16(crlf);
  return true;
}

}  // namespace

LONG RegExportKeyToString(const std::string& fullKeyName, std::string* text, std::string* error) {
  std::string ignored;
  std::string& message = error != nullptr ? *error : ignored;
  try {
    message.clear();
    if (text == nullptr) return ERROR_INVALID_PARAMETER;
    std::string utf8;
    const LONG status = Export(fullKeyName, RegFileFormat::kVersion5, &utf8, &message);
    if (status == ERROR_SUCCESS) *text = Utf8ToAnsi(utf8);
    return status;
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  } catch (...) {
    return ERROR_REGISTRY_IO_FAILED;
  }
}

LONG RegExportKey(const std::string& fullKeyName, const std::string& file, std::string* error,
                  RegFileFormat format) {
  std::string ignored;
  std::string& message = error != nullptr ? *error : ignored;
  try {
    message.clear();
    std::string text;
    const LONG status = Export(fullKeyName, format, &text, &message);
    if (status != ERROR_SUCCESS) return status;
    std::string bytes;
    if (!Encode(text, format, &bytes)) {
      message = "'" + fullKeyName + "' holds text that code page " + std::to_string(GetACP()) +
                " cannot carry; export it in the 5.00 format";
      return ERROR_NO_UNICODE_TRANSLATION;
    }
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    if (out) out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (out) out.close();
    if (!out) {
      message = "cannot write '" + file + "': " + std::strerror(errno);
      return ERROR_CANTWRITE;
    }
    return ERROR_SUCCESS;
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  } catch (...) {
    return ERROR_REGISTRY_IO_FAILED;
  }
}
