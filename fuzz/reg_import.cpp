// Fuzz target: .reg files as `qap registry import` takes them (regedit's
// UTF-16LE 5.00 files, UTF-8 and code-page REGEDIT4 files). A file that is
// refused must change nothing; one that is taken must come back unchanged
// through an export and a new import, in either format.
#include <string>

#include "fuzz/fuzz_support.h"
#include "platform/registry/registry.h"

namespace {

const HKEY kRoots[] = {HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE};

void Wipe() {
  for (HKEY root : kRoots) RegDeleteTreeA(root, nullptr);
}

bool Empty() {
  for (HKEY root : kRoots) {
    DWORD keys = 0, values = 0;
    if (RegQueryInfoKeyA(root, nullptr, nullptr, nullptr, &keys, nullptr, nullptr, &values, nullptr,
                         nullptr, nullptr, nullptr) != ERROR_SUCCESS ||
        keys != 0 || values != 0) {
      return false;
    }
  }
  return true;
}

// Every root as 5.00 text.
std::string Everything() {
  std::string all;
  for (HKEY root : kRoots) {
    std::string text, error;
    if (RegExportKeyToString(RegRootName(root), &text, &error) != ERROR_SUCCESS)
      qap::fuzz::Fail("an imported tree cannot be exported: " + error);
    all += text;
  }
  return all;
}

void RoundTrip(RegFileFormat format, const std::string& expected) {
  const char* kind = format == RegFileFormat::kVersion5 ? "5.00" : "REGEDIT4";
  std::string files[3];
  for (int i = 0; i < 3; ++i) {
    std::string error;
    files[i] = qap::fuzz::Scratch().File("export" + std::to_string(i) + ".reg");
    if (RegExportKey(RegRootName(kRoots[i]), files[i], &error, format) != ERROR_SUCCESS)
      qap::fuzz::Fail(std::string("the ") + kind + " export failed: " + error);
  }
  Wipe();
  for (const std::string& file : files) {
    std::string error;
    if (RegImportFile(file, &error) != ERROR_SUCCESS)
      qap::fuzz::Fail(std::string("a ") + kind + " export does not import: " + error);
  }
  if (Everything() != expected)
    qap::fuzz::Fail(std::string("a ") + kind + " export imports as something else");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string file = qap::fuzz::WriteInput("input.reg", qap::fuzz::Bytes(data, size));
  std::string error;
  const LONG status = RegImportFile(file, &error);
  if (status == ERROR_SUCCESS) {
    const std::string imported = Everything();
    RoundTrip(RegFileFormat::kVersion5, imported);
    RoundTrip(RegFileFormat::kRegedit4, imported);
  } else if (!Empty()) {
    qap::fuzz::Fail("a refused import changed the hive (" + error + ")");
  }
  Wipe();
  return 0;
}
