// Reading and writing the version stamp.
#include "options/version_stamp.h"

#include <cstdio>
#include <string>

#include "options/options.h"
#include "options/registry_values.h"

namespace qap::options {
namespace {

constexpr const char* kVersionValue = "Version";
constexpr DWORD kVersionBuffer = 256;
constexpr const char* kReleaseName = "RELEASE";
constexpr unsigned kMajor = 7;
constexpr unsigned kMinor = 0;

bool ReadStamp(CString& name, DWORD& major, DWORD& minor) {
  RegKey software;
  RegKey root;
  CString text;
  if (OpenSoftware(&software) != ERROR_SUCCESS ||
      OpenOrCreateKey(software.Get(), kRootKey, &root) != ERROR_SUCCESS ||
      !ReadText(root.Get(), kVersionValue, kVersionBuffer, &text)) {
    return false;
  }
  std::string stamp = text.str();
  const size_t colon = stamp.find(':');
  const size_t dot = stamp.find('.');
  if (colon == std::string::npos || dot == std::string::npos) return false;
  // Cut at both marks: the name ends at whichever comes first, each number
  // at the next mark or the end.
  stamp[colon] = '\0';
  stamp[dot] = '\0';
  name = CString(stamp.c_str());
  major = static_cast<DWORD>(DecimalValue(stamp.c_str() + colon + 1));
  minor = static_cast<DWORD>(DecimalValue(stamp.c_str() + dot + 1));
  return true;
}

}  // namespace

std::optional<DWORD> StoredMajorVersion() {
  CString name;
  DWORD major = 0;
  DWORD minor = 0;
  if (!GetOptVersion(name, major, minor)) return std::nullopt;
  return major;
}

void WriteVersionStamp(HKEY root) {
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%s:%02u.%02u", kReleaseName, kMajor, kMinor);
  WriteText(root, kVersionValue, stamp);
}

}  // namespace qap::options

bool GetOptVersion(CString& name, DWORD& major, DWORD& minor) {
  try {
    return qap::options::ReadStamp(name, major, minor);
  } catch (...) {
    return false;
  }
}
