// The Win32-shaped registry calls: argument rules, handles and result codes
// as Windows gives them, over the key store. No exception leaves a call.
#include <cstring>
#include <new>
#include <string_view>

#include "platform/base/codepage.h"
#include "platform/registry/hive.h"
#include "platform/registry/key_store.h"
#include "platform/registry/names.h"
#include "platform/registry/reg_text.h"
#include "platform/registry/registry.h"

using namespace qap::registry;

namespace {

template <typename Body>
LONG Guarded(Body&& body) noexcept {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    return ERROR_OUTOFMEMORY;
  } catch (...) {
    return ERROR_REGISTRY_IO_FAILED;
  }
}

std::string_view NameOf(LPCSTR name) {
  return name != nullptr ? std::string_view(name) : std::string_view();
}

// One registry call: holds the hive lock for its whole length and knows the
// key its handle stands for.
struct Call {
  Hive& hive = Hive::Instance();
  std::unique_lock<std::mutex> lock = hive.Lock();
  KeyStore store{hive};
  std::int64_t keyId = 0;
  KeyHandle* handle = nullptr;

  LONG Start(HKEY key) {
    const LONG result = hive.EnsureOpen();
    if (result != ERROR_SUCCESS) return result;
    return hive.ResolveHandle(key, &keyId, &handle);
  }

  // Closing this handle will now commit the open batch.
  void Wrote() {
    if (handle != nullptr) handle->writeBatch = hive.OpenBatch();
  }
};

// Win32 buffer rules for value data: data may be null to ask the size; a
// short buffer gives ERROR_MORE_DATA with the size needed.
LONG CopyData(std::string_view bytes, LPBYTE data, LPDWORD size) {
  const auto needed = static_cast<DWORD>(bytes.size());
  LONG status = ERROR_SUCCESS;
  if (data != nullptr) {
    if (*size < needed) {
      status = ERROR_MORE_DATA;
    } else if (needed != 0) {
      std::memcpy(data, bytes.data(), needed);
    }
  }
  if (size != nullptr) *size = needed;
  return status;
}

// How a call hands texts over: in the caller's code page (the A calls) or
// as UTF-16LE (the W calls).
enum class TextForm { kAnsi, kWide };

std::string CallerData(DWORD type, std::string data, TextForm form) {
  if (!IsTextType(type)) return data;
  return form == TextForm::kWide ? StoredToUtf16(data) : CallerText(data);
}

std::string StoredData(DWORD type, const BYTE* data, DWORD size, TextForm form) {
  const std::string_view given(reinterpret_cast<const char*>(data), size);
  if (!IsTextType(type)) return std::string(given);
  return form == TextForm::kWide ? Utf16ToStored(given) : StoredText(given);
}

// A wide value name as the hive's names are kept, in the code page.
std::string NarrowName(LPCWSTR name) {
  return name != nullptr ? WideToAnsi(std::u16string_view(name)) : std::string();
}

LONG QueryValue(HKEY key, std::string_view valueName, LPDWORD reserved, LPDWORD type,
                LPBYTE data, LPDWORD size, TextForm form) {
  return Guarded([&] {
    if (reserved != nullptr || (data != nullptr && size == nullptr)) return ERROR_INVALID_PARAMETER;
    Call call;
    LONG status = call.Start(key);
    if (status != ERROR_SUCCESS) return status;
    DWORD storedType = REG_NONE;
    std::string stored;
    status = call.store.GetValue(call.keyId, valueName, &storedType, &stored);
    if (status != ERROR_SUCCESS) return status;
    if (type != nullptr) *type = storedType;
    return CopyData(CallerData(storedType, std::move(stored), form), data, size);
  });
}

LONG SetValue(HKEY key, std::string_view valueName, DWORD type, const BYTE* data, DWORD size,
              TextForm form) {
  return Guarded([&] {
    if (data == nullptr && size != 0) return ERROR_INVALID_PARAMETER;
    if (!NameFits(valueName, kMaxValueNameChars)) return ERROR_INVALID_PARAMETER;
    const std::string stored = StoredData(type, data, size, form);
    Call call;
    LONG status = call.Start(key);
    if (status == ERROR_SUCCESS) status = call.hive.BeginWrite();
    if (status != ERROR_SUCCESS) return status;
    // Checked inside the batch, so that no value is ever left without
    // its key.
    status = call.store.RequireExists(call.keyId);
    if (status == ERROR_SUCCESS)
      status = call.store.SetValue(call.keyId, valueName, type, stored.data(), stored.size());
    if (status == ERROR_SUCCESS) call.Wrote();
    return call.hive.EndWrite(status);
  });
}

// size is in characters: in, the buffer size with the terminator; out, the
// name length without it.
LONG CopyName(const std::string& name, LPSTR buffer, LPDWORD size) {
  const auto length = static_cast<DWORD>(name.size());
  if (*size <= length) {
    *size = length;
    return ERROR_MORE_DATA;
  }
  std::memcpy(buffer, name.data(), length);
  buffer[length] = '\0';
  *size = length;
  return ERROR_SUCCESS;
}

void ClearClass(LPSTR keyClass, LPDWORD classSize) {
  if (keyClass != nullptr && *classSize > 0) keyClass[0] = '\0';
  if (classSize != nullptr) *classSize = 0;
}

// The hive keeps no write times; callers get a zero FILETIME.
void ClearWriteTime(void* lastWriteTime) {
  if (lastWriteTime != nullptr) std::memset(lastWriteTime, 0, 2 * sizeof(DWORD));
}

}  // namespace

LONG RegOpenKeyExA(HKEY key, LPCSTR subKey, DWORD, REGSAM, PHKEY result) {
  return Guarded([&] {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Call call;
    LONG status = call.Start(key);
    if (status != ERROR_SUCCESS) return status;
    std::int64_t id = 0;
    status = call.store.Resolve(call.keyId, NameOf(subKey), &id);
    if (status == ERROR_SUCCESS) *result = call.hive.AddHandle({id, 0});
    return status;
  });
}

LONG RegOpenKeyA(HKEY key, LPCSTR subKey, PHKEY result) {
  if (subKey != nullptr && *subKey != '\0')
    return RegOpenKeyExA(key, subKey, 0, KEY_ALL_ACCESS, result);
  // Win32 quirk kept: with no sub-key, RegOpenKey hands back the same
  // handle rather than a new one.
  return Guarded([&] {
    if (result == nullptr) return ERROR_INVALID_PARAMETER;
    Call call;
    const LONG status = call.Start(key);
    *result = status == ERROR_SUCCESS ? key : nullptr;
    return status;
  });
}

LONG RegCreateKeyExA(HKEY key, LPCSTR subKey, DWORD, LPSTR, DWORD, REGSAM, const void*,
                     PHKEY result, LPDWORD disposition) {
  return Guarded([&] {
    if (result == nullptr || subKey == nullptr) return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    Call call;
    LONG status = call.Start(key);
    if (status != ERROR_SUCCESS) return status;
    // A key that exists opens without taking the hive's write lock.
    std::int64_t id = 0;
    status = call.store.Resolve(call.keyId, subKey, &id);
    if (status == ERROR_SUCCESS) {
      status = call.store.RequireExists(id);
      if (status != ERROR_SUCCESS) return status;
      *result = call.hive.AddHandle({id, 0});
      if (disposition != nullptr) *disposition = REG_OPENED_EXISTING_KEY;
      return ERROR_SUCCESS;
    }
    if (status != ERROR_FILE_NOT_FOUND) return status;
    status = call.hive.BeginWrite();
    if (status != ERROR_SUCCESS) return status;
    bool created = false;
    status = call.store.Create(call.keyId, subKey, &id, &created);
    if (status == ERROR_SUCCESS) {
      *result = call.hive.AddHandle({id, created ? call.hive.OpenBatch() : 0});
      if (disposition != nullptr)
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    return call.hive.EndWrite(status);
  });
}

LONG RegCreateKeyA(HKEY key, LPCSTR subKey, PHKEY result) {
  if (subKey != nullptr)
    return RegCreateKeyExA(key, subKey, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS,
                           nullptr, result, nullptr);
  // Win32 quirk kept: a null sub-key hands back the same handle.
  return RegOpenKeyA(key, nullptr, result);
}

LONG RegCloseKey(HKEY key) {
  std::int64_t rootId = 0;
  if (RootKeyId(key, &rootId)) return ERROR_SUCCESS;
  return Guarded([&] {
    Call call;
    LONG status = call.hive.EnsureOpen();
    if (status != ERROR_SUCCESS) return status;
    status = call.hive.ResolveHandle(key, &call.keyId, &call.handle);
    if (status != ERROR_SUCCESS) return status;
    const bool commit =
        call.handle->writeBatch != 0 && call.handle->writeBatch == call.hive.OpenBatch();
    call.hive.RemoveHandle(key);
    return commit ? call.hive.Commit() : ERROR_SUCCESS;
  });
}

LONG RegFlushKey(HKEY key) {
  return Guarded([&] {
    Call call;
    const LONG status = call.Start(key);
    return status != ERROR_SUCCESS ? status : call.hive.Commit();
  });
}

LONG RegQueryValueExA(HKEY key, LPCSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size) {
  return QueryValue(key, NameOf(valueName), reserved, type, data, size, TextForm::kAnsi);
}

LONG RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved, LPDWORD type, LPBYTE data,
                      LPDWORD size) {
  return QueryValue(key, NarrowName(valueName), reserved, type, data, size, TextForm::kWide);
}

LONG RegSetValueExA(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size) {
  return SetValue(key, NameOf(valueName), type, data, size, TextForm::kAnsi);
}

LONG RegSetValueExW(HKEY key, LPCWSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size) {
  return SetValue(key, NarrowName(valueName), type, data, size, TextForm::kWide);
}

LONG RegSetValueA(HKEY key, LPCSTR subKey, DWORD type, LPCSTR data, DWORD) {
  return Guarded([&] {
    if (type != REG_SZ || data == nullptr) return ERROR_INVALID_PARAMETER;
    Call call;
    LONG status = call.Start(key);
    if (status == ERROR_SUCCESS) status = call.hive.BeginWrite();
    if (status != ERROR_SUCCESS) return status;
    std::int64_t id = call.keyId;
    bool created = false;
    status = call.store.Create(call.keyId, NameOf(subKey), &id, &created);
    // As on Windows, the size argument is ignored: the text is stored
    // with its terminator.
    if (status == ERROR_SUCCESS) {
      const std::string stored = StoredText(std::string_view(data, std::strlen(data) + 1));
      status = call.store.SetValue(id, {}, REG_SZ, stored.data(), stored.size());
    }
    if (status == ERROR_SUCCESS) call.Wrote();
    return call.hive.EndWrite(status);
  });
}

LONG RegDeleteValueA(HKEY key, LPCSTR valueName) {
  return Guarded([&] {
    Call call;
    LONG status = call.Start(key);
    if (status == ERROR_SUCCESS) status = call.hive.BeginWrite();
    if (status != ERROR_SUCCESS) return status;
    status = call.store.RequireExists(call.keyId);
    if (status == ERROR_SUCCESS) status = call.store.DeleteValue(call.keyId, NameOf(valueName));
    if (status == ERROR_SUCCESS) call.Wrote();
    return call.hive.EndWrite(status);
  });
}

LONG RegDeleteKeyA(HKEY key, LPCSTR subKey) {
  return Guarded([&] {
    if (subKey == nullptr) return ERROR_INVALID_PARAMETER;
    Call call;
    LONG status = call.Start(key);
    if (status == ERROR_SUCCESS) status = call.hive.BeginWrite();
    if (status != ERROR_SUCCESS) return status;
    std::int64_t id = 0;
    bool hasChildren = false;
    status = call.store.Resolve(call.keyId, subKey, &id);
    if (status == ERROR_SUCCESS) status = call.store.RequireExists(id);
    if (status == ERROR_SUCCESS) status = call.store.HasChildren(id, &hasChildren);
    if (status == ERROR_SUCCESS && (hasChildren || IsRootId(id))) status = ERROR_ACCESS_DENIED;
    if (status == ERROR_SUCCESS) status = call.store.DeleteTree(id, false);
    if (status == ERROR_SUCCESS) call.Wrote();
    return call.hive.EndWrite(status);
  });
}

LONG RegDeleteTreeA(HKEY key, LPCSTR subKey) {
  return Guarded([&] {
    Call call;
    LONG status = call.Start(key);
    if (status == ERROR_SUCCESS) status = call.hive.BeginWrite();
    if (status != ERROR_SUCCESS) return status;
    std::int64_t id = 0;
    status = call.store.Resolve(call.keyId, NameOf(subKey), &id);
    if (status == ERROR_SUCCESS) status = call.store.RequireExists(id);
    // With no sub-key the key itself stays and only its contents go.
    if (status == ERROR_SUCCESS) status = call.store.DeleteTree(id, id == call.keyId);
    if (status == ERROR_SUCCESS) call.Wrote();
    return call.hive.EndWrite(status);
  });
}

LONG RegEnumKeyExA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD, LPSTR keyClass,
                   LPDWORD classSize, void* lastWriteTime) {
  return Guarded([&] {
    if (name == nullptr || nameSize == nullptr || (keyClass != nullptr && classSize == nullptr))
      return ERROR_INVALID_PARAMETER;
    Call call;
    LONG status = call.Start(key);
    if (status != ERROR_SUCCESS) return status;
    std::string found;
    status = call.store.EnumKey(call.keyId, index, &found);
    if (status != ERROR_SUCCESS) return status;
    ClearClass(keyClass, classSize);
    ClearWriteTime(lastWriteTime);
    return CopyName(found, name, nameSize);
  });
}

LONG RegEnumKeyA(HKEY key, DWORD index, LPSTR name, DWORD nameSize) {
  DWORD size = nameSize;
  return RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr);
}

LONG RegEnumValueA(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD, LPDWORD type,
                   LPBYTE data, LPDWORD dataSize) {
  return Guarded([&] {
    if (name == nullptr || nameSize == nullptr || (data != nullptr && dataSize == nullptr))
      return ERROR_INVALID_PARAMETER;
    Call call;
    LONG status = call.Start(key);
    if (status != ERROR_SUCCESS) return status;
    ValueRow row;
    status = call.store.EnumValue(call.keyId, index, &row);
    if (status != ERROR_SUCCESS) return status;
    const LONG nameStatus = CopyName(row.name, name, nameSize);
    if (type != nullptr) *type = row.type;
    const LONG dataStatus =
        CopyData(CallerData(row.type, std::move(row.data), TextForm::kAnsi), data, dataSize);
    return nameStatus != ERROR_SUCCESS ? nameStatus : dataStatus;
  });
}

LONG RegQueryInfoKeyA(HKEY key, LPSTR keyClass, LPDWORD classSize, LPDWORD, LPDWORD subKeys,
                      LPDWORD maxSubKeyLen, LPDWORD maxClassLen, LPDWORD values,
                      LPDWORD maxValueNameLen, LPDWORD maxValueLen, LPDWORD securityDescriptor,
                      void* lastWriteTime) {
  return Guarded([&] {
    if (keyClass != nullptr && classSize == nullptr) return ERROR_INVALID_PARAMETER;
    Call call;
    LONG status = call.Start(key);
    if (status != ERROR_SUCCESS) return status;
    KeyInfo info;
    status = call.store.QueryInfo(call.keyId, &info);
    if (status != ERROR_SUCCESS) return status;
    ClearClass(keyClass, classSize);
    ClearWriteTime(lastWriteTime);
    for (auto [out, value] :
         {std::pair{subKeys, info.subKeys}, std::pair{maxSubKeyLen, info.maxSubKeyLen},
          std::pair{maxClassLen, DWORD{0}}, std::pair{values, info.values},
          std::pair{maxValueNameLen, info.maxValueNameLen},
          std::pair{maxValueLen, info.maxValueLen}, std::pair{securityDescriptor, DWORD{0}}}) {
      if (out != nullptr) *out = value;
    }
    return ERROR_SUCCESS;
  });
}

std::string RegHivePath() {
  try {
    Hive& hive = Hive::Instance();
    const auto lock = hive.Lock();
    return hive.Path();
  } catch (...) {
    return {};
  }
}

void RegResetHive() {
  try {
    Hive& hive = Hive::Instance();
    const auto lock = hive.Lock();
    hive.Reset();
  } catch (...) {
  }
}

std::string RegHiveError() {
  try {
    Hive& hive = Hive::Instance();
    const auto lock = hive.Lock();
    hive.EnsureOpen();
    return hive.Error();
  } catch (...) {
    return "registry: out of memory";
  }
}
