// Registering and unregistering the module: every key and value it writes,
// byte for byte, on NT and on Windows 98, and what happens when entries are
// already there or already gone.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/registry/reg_key.h"
#include "platform/base/os_version.h"
#include "shellfolder/cobrell.h"
#include "shellfolder/tests/music_folder_fixture.h"

namespace cobrell::testing {
namespace {

const std::string kFolderClass = "{49C49A94-996D-11D3-8830-5254ABDE229C}";
const std::string kClassKey = "HKEY_CLASSES_ROOT\\CLSID\\" + kFolderClass;
const std::string kNamespace =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\MyComputer\\"
    "Namespace";
const std::string kApproved =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions\\"
    "Approved";

std::string ModuleFile() {
  return (std::filesystem::canonical(std::getenv("QAP_BIN_DIR")) / "libCobrell.so").string();
}

// One key of a .reg export with its value lines (none for "").
std::string Section(const std::string& key, const std::string& values) {
  return "[" + key + "]\n" + (values.empty() ? "" : values + "\n") + "\n";
}

// The key and everything below it in .reg form, without the header line;
// empty when the key is missing.
std::string Export(const std::string& key) {
  std::string text;
  if (RegExportKeyToString(key, &text, nullptr) != ERROR_SUCCESS) return {};
  return text.substr(text.find("\n\n") + 2);
}

// The default value of a key under HKEY_CLASSES_ROOT; "(missing)" when
// there is none.
std::string DefaultValue(const std::string& path) {
  RegKey key;
  char text[1024] = {};
  DWORD size = sizeof text - 1;
  if (key.Open(HKEY_CLASSES_ROOT, path.c_str()) != ERROR_SUCCESS ||
      RegQueryValueExA(key.Get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(text),
                       &size) != ERROR_SUCCESS) {
    return "(missing)";
  }
  return text;
}

bool KeyExists(HKEY root, const std::string& path) {
  RegKey key;
  return key.Open(root, path.c_str()) == ERROR_SUCCESS;
}

// What GetVersionExA reports for the test's duration.
class ReportedWindowsScope {
 public:
  explicit ReportedWindowsScope(ReportedWindows windows) { SetReportedWindows(windows); }
  ~ReportedWindowsScope() { SetReportedWindows(ReportedWindows::kNt); }
};

using Registration = MusicFolderTest;

TEST_F(Registration, RegisteringWritesTheFolderClassJunctionAndApprovalByteForByte) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  const std::string module = ModuleFile();
  EXPECT_EQ(
      Export(kClassKey),
      Section(kClassKey, "@=\"QAP Music Jukebox\"") +
          Section(kClassKey + "\\DefaultIcon", "@=\"" + module + ",0\"") +
          Section(kClassKey + "\\InprocServer32",
                  "@=\"" + module + "\"\n\"ThreadingModel\"=\"Apartment\"") +
          Section(kClassKey + "\\ProgID", "@=\"Cobrell.Mp3DbShellFolder.1\"") +
          Section(kClassKey + "\\ShellFolder", "\"Attributes\"=hex:00,00,00,a0") +
          Section(kClassKey + "\\TypeLib", "@=\"{49C49AD4-996D-11D3-8830-5254ABDE229C}\"") +
          Section(kClassKey + "\\VersionIndependentProgID", "@=\"Cobrell.Mp3DbShellFolder\""));
  const std::string progId = "HKEY_CLASSES_ROOT\\Cobrell.Mp3DbShellFolder";
  EXPECT_EQ(Export(progId), Section(progId, "@=\"QAP Music Jukebox\"") +
                                Section(progId + "\\CLSID", "@=\"" + kFolderClass + "\"") +
                                Section(progId + "\\CurVer", "@=\"Cobrell.Mp3DbShellFolder.1\""));
  EXPECT_EQ(Export(progId + ".1"), Section(progId + ".1", "@=\"QAP Music Jukebox\"") +
                                       Section(progId + ".1\\CLSID", "@=\"" + kFolderClass + "\""));
  EXPECT_EQ(Export(kNamespace), Section(kNamespace, "") + Section(kNamespace + "\\" + kFolderClass,
                                                                  "@=\"QAP Music Jukebox\""));
  EXPECT_EQ(Export(kApproved), Section(kApproved, "\"" + kFolderClass + "\"=\"Mp3DbView\""));

  // The attributes as the shell reads them: four bytes, binary.
  RegKey shellFolder;
  ASSERT_EQ(
      shellFolder.Open(HKEY_CLASSES_ROOT, ("CLSID\\" + kFolderClass + "\\ShellFolder").c_str()),
      ERROR_SUCCESS);
  DWORD type = 0;
  BYTE bytes[8] = {};
  DWORD size = sizeof bytes;
  ASSERT_EQ(RegQueryValueExA(shellFolder.Get(), "Attributes", nullptr, &type, bytes, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(type, REG_BINARY);
  EXPECT_EQ(std::vector<BYTE>(bytes, bytes + size), (std::vector<BYTE>{0x00, 0x00, 0x00, 0xA0}));
}

TEST_F(Registration, EveryOtherClassGetsItsScriptsKeys) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  const std::string module = ModuleFile();
  const std::string enumKey = "HKEY_CLASSES_ROOT\\CLSID\\{49C49AE4-996D-11D3-8830-5254ABDE229C}";
  EXPECT_EQ(Export(enumKey),
            Section(enumKey, "@=\"EnumIDList Class\"") +
                Section(enumKey + "\\InprocServer32",
                        "@=\"" + module + "\"\n\"ThreadingModel\"=\"both\"") +
                Section(enumKey + "\\ProgID", "@=\"Cobrell.EnumIDList.1\"") +
                Section(enumKey + "\\VersionIndependentProgID", "@=\"Cobrell.EnumIDList\""));
  EXPECT_EQ(Export("HKEY_CLASSES_ROOT\\Cobrell.EnumIDList"),
            Section("HKEY_CLASSES_ROOT\\Cobrell.EnumIDList", "@=\"EnumIDList Class\"") +
                Section("HKEY_CLASSES_ROOT\\Cobrell.EnumIDList\\CLSID",
                        "@=\"{49C49AE4-996D-11D3-8830-5254ABDE229C}\""));

  const std::string classic = "HKEY_CLASSES_ROOT\\CLSID\\{85E85B52-9C8A-11D3-8830-5254ABDE229C}";
  EXPECT_EQ(Export(classic),
            Section(classic, "@=\"Mp3DbClassicView Class\"") + Section(classic + "\\Control", "") +
                Section(classic + "\\InprocServer32",
                        "@=\"" + module + "\"\n\"ThreadingModel\"=\"Apartment\"") +
                Section(classic + "\\Insertable", "") +
                Section(classic + "\\MiscStatus", "@=\"0\"") +
                Section(classic + "\\MiscStatus\\1", "@=\"131505\"") +
                Section(classic + "\\ProgID", "@=\"Cobrell.Mp3DbClassicView.1\"") +
                Section(classic + "\\Programmable", "") +
                Section(classic + "\\TypeLib", "@=\"{49C49AD4-996D-11D3-8830-5254ABDE229C}\"") +
                Section(classic + "\\Version", "@=\"1.0\"") +
                Section(classic + "\\VersionIndependentProgID", "@=\"Cobrell.Mp3DbClassicView\""));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "Cobrell.Mp3DbClassicView\\CurVer"));

  // The views' classes: their version-independent ProgIDs name the current
  // version, and only the web view is also programmable.
  for (const char* name : {"Mp3DbShellView", "Mp3DbDefView", "Mp3DbWebView"}) {
    SCOPED_TRACE(name);
    const std::string progId = std::string("Cobrell.") + name;
    EXPECT_EQ(DefaultValue(progId + "\\CurVer"), progId + ".1");
  }
  EXPECT_EQ(DefaultValue("CLSID\\{85E85B55-9C8A-11D3-8830-5254ABDE229C}"), "Mp3DbWebView Class");
  EXPECT_TRUE(
      KeyExists(HKEY_CLASSES_ROOT, "CLSID\\{85E85B55-9C8A-11D3-8830-5254ABDE229C}\\Programmable"));
  EXPECT_EQ(DefaultValue("CLSID\\{4F9B3FC8-9BE5-11D3-8830-5254ABDE229C}\\TypeLib"),
            "{49C49AD4-996D-11D3-8830-5254ABDE229C}");
}

TEST_F(Registration, RegisteringRecordsCobrellLibBesideTheModule) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  const std::string library =
      "HKEY_CLASSES_ROOT\\TypeLib\\{49C49AD4-996D-11D3-8830-5254ABDE229C}";
  const std::string file =
      (std::filesystem::canonical(std::getenv("QAP_BIN_DIR")) / "Cobrell.tlb").string();
  EXPECT_EQ(Export(library),
            Section(library, "") + Section(library + "\\1.0", "@=\"Cobrell 1.0 Type Library\"") +
                Section(library + "\\1.0\\0", "") +
                Section(library + "\\1.0\\0\\win32", "@=\"" + file + "\"") +
                Section(library + "\\1.0\\FLAGS", "@=\"0\"") +
                Section(library + "\\1.0\\HELPDIR",
                        "@=\"" + file.substr(0, file.rfind('/')) + "\""));
  ASSERT_EQ(DllUnregisterServer(), S_OK);
  EXPECT_EQ(Export(library), "");
}

TEST_F(Registration, RegisteringTwiceLeavesOneSetOfEntriesAndReplacesTheClassKeysWhole) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  const std::string first = Export("HKEY_CLASSES_ROOT") + Export("HKEY_LOCAL_MACHINE");
  RegKey stray;
  ASSERT_EQ(stray.Create(HKEY_CLASSES_ROOT, ("CLSID\\" + kFolderClass + "\\Stray").c_str()),
            ERROR_SUCCESS);
  stray.Reset();
  ASSERT_EQ(DllRegisterServer(), S_OK);
  EXPECT_EQ(Export("HKEY_CLASSES_ROOT") + Export("HKEY_LOCAL_MACHINE"), first);
}

TEST_F(Registration, OnWindows98NoApprovalIsWrittenOrRemoved) {
  ReportedWindowsScope windows98(ReportedWindows::kWindows98);
  ASSERT_EQ(DllRegisterServer(), S_OK);
  EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE,
                         "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Shell Extensions"));
  EXPECT_NE(Export(kNamespace), "");

  // An approval left by an NT registration stays when 98 unregisters.
  RegKey approved;
  ASSERT_EQ(approved.Create(HKEY_LOCAL_MACHINE, kApproved.substr(19).c_str()), ERROR_SUCCESS);
  ASSERT_EQ(RegSetValueExA(approved.Get(), kFolderClass.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>("Mp3DbView"), 10),
            ERROR_SUCCESS);
  approved.Reset();
  EXPECT_EQ(DllUnregisterServer(), S_OK);
  EXPECT_EQ(Export(kApproved), Section(kApproved, "\"" + kFolderClass + "\"=\"Mp3DbView\""));
}

TEST_F(Registration, UnregisteringRemovesWhatRegistrationWrote) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  ASSERT_EQ(DllUnregisterServer(), S_OK);
  // As on Windows, the roots of the classes and type libraries stay.
  EXPECT_EQ(Export("HKEY_CLASSES_ROOT"),
            "[HKEY_CLASSES_ROOT]\n\n[HKEY_CLASSES_ROOT\\CLSID]\n\n[HKEY_CLASSES_ROOT\\TypeLib]\n\n");
  EXPECT_EQ(Export(kNamespace), Section(kNamespace, ""));
  EXPECT_EQ(Export(kApproved), Section(kApproved, ""));
}

TEST_F(Registration, UnregisteringWithTheJunctionGoneFailsButStillRemovesTheIcon) {
  ASSERT_EQ(DllRegisterServer(), S_OK);
  ASSERT_EQ(
      RegDeleteKeyA(HKEY_LOCAL_MACHINE, (kNamespace.substr(19) + "\\" + kFolderClass).c_str()),
      ERROR_SUCCESS);
  EXPECT_EQ(DllUnregisterServer(), E_FAIL);
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + kFolderClass + "\\DefaultIcon"));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\" + kFolderClass));
  EXPECT_FALSE(KeyExists(HKEY_CLASSES_ROOT, "CLSID\\{85E85B55-9C8A-11D3-8830-5254ABDE229C}"));
  // Nothing left to remove is a failure too.
  EXPECT_EQ(DllUnregisterServer(), E_FAIL);
}

TEST_F(Registration, WithoutTheSystemVersionNothingIsWrittenOrRemoved) {
  {
    ReportedWindowsScope failing(ReportedWindows::kFailure);
    EXPECT_EQ(DllRegisterServer(), E_FAIL);
    EXPECT_EQ(Export("HKEY_CLASSES_ROOT"), "[HKEY_CLASSES_ROOT]\n\n");
  }
  ASSERT_EQ(DllRegisterServer(), S_OK);
  const std::string registered = Export("HKEY_CLASSES_ROOT");
  ReportedWindowsScope failing(ReportedWindows::kFailure);
  EXPECT_EQ(DllUnregisterServer(), E_FAIL);
  EXPECT_EQ(Export("HKEY_CLASSES_ROOT"), registered);
}

}  // namespace
}  // namespace cobrell::testing
