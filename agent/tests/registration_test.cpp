// LBAgent2's registration: the keys of both scripts byte for byte, the class
// key replaced whole, removal that keeps the shared parents, the type
// library with its activation file, and the exit codes.
#include "agent/registration.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "agent/request2_ids.h"
#include "platform/automation/bus_service.h"
#include "platform/automation/type_library.h"
#include "platform/registry/reg_key.h"
#include "platform/testing/scratch.h"

namespace qap::testing {
namespace {

class RegistrationTest : public ::testing::Test {
 protected:
  RegistrationTest() {
    // The module path of a copy of the agent's type library in the scratch
    // folder, so that nothing beside the built program is touched.
    std::filesystem::copy_file(std::string(std::getenv("QAP_BIN_DIR")) + "/LBAgent2.tlb",
                               m_dir.File("LBAgent2.tlb"));
    m_module = m_dir.File("LBAgent2");
  }
  static std::string Export(const std::string& key) {
    std::string text, error;
    if (RegExportKeyToString(key, &text, &error) != ERROR_SUCCESS) return "<missing>";
    const std::string header = "Windows Registry Editor Version 5.00\n\n";
    return text.substr(text.rfind(header, 0) == 0 ? header.size() : 0);
  }

  ScratchHive m_hive;
  ScratchDir m_dir;
  std::string m_module;
};

TEST_F(RegistrationTest, BothScriptsWriteTheirKeysByteForByte) {
  ASSERT_EQ(RegisterServer(m_module), S_OK);
  EXPECT_EQ(Export("HKCR\\AppID"),
            "[HKEY_CLASSES_ROOT\\AppID]\n\n"
            "[HKEY_CLASSES_ROOT\\AppID\\LBAgent2.EXE]\n"
            "\"AppID\"=\"{695C62C0-5959-11D3-BD2F-00A0CC418A92}\"\n\n"
            "[HKEY_CLASSES_ROOT\\AppID\\{695C62C0-5959-11D3-BD2F-00A0CC418A92}]\n"
            "@=\"LBAgent2\"\n\n");
  EXPECT_EQ(Export("HKCR\\LBAgent2.Request2.1"),
            "[HKEY_CLASSES_ROOT\\LBAgent2.Request2.1]\n"
            "@=\"Request2 Class\"\n\n"
            "[HKEY_CLASSES_ROOT\\LBAgent2.Request2.1\\CLSID]\n"
            "@=\"{695C62C5-5959-11D3-BD2F-00A0CC418A92}\"\n\n");
  EXPECT_EQ(Export("HKCR\\LBAgent2.Request2"),
            "[HKEY_CLASSES_ROOT\\LBAgent2.Request2]\n"
            "@=\"Request2 Class\"\n\n"
            "[HKEY_CLASSES_ROOT\\LBAgent2.Request2\\CLSID]\n"
            "@=\"{695C62C5-5959-11D3-BD2F-00A0CC418A92}\"\n\n"
            "[HKEY_CLASSES_ROOT\\LBAgent2.Request2\\CurVer]\n"
            "@=\"LBAgent2.Request2.1\"\n\n");
  EXPECT_EQ(
      Export("HKCR\\CLSID\\{695C62C5-5959-11D3-BD2F-00A0CC418A92}"),
      "[HKEY_CLASSES_ROOT\\CLSID\\{695C62C5-5959-11D3-BD2F-00A0CC418A92}]\n"
      "@=\"Request2 Class\"\n"
      "\"AppID\"=\"{695C62C0-5959-11D3-BD2F-00A0CC418A92}\"\n\n"
      "[HKEY_CLASSES_ROOT\\CLSID\\{695C62C5-5959-11D3-BD2F-00A0CC418A92}\\LocalServer32]\n"
      "@=\"" +
          m_module +
          "\"\n\n"
          "[HKEY_CLASSES_ROOT\\CLSID\\{695C62C5-5959-11D3-BD2F-00A0CC418A92}\\ProgID]\n"
          "@=\"LBAgent2.Request2.1\"\n\n"
          "[HKEY_CLASSES_ROOT\\CLSID\\{695C62C5-5959-11D3-BD2F-00A0CC418A92}\\Programmable]\n\n"
          "[HKEY_CLASSES_ROOT\\CLSID\\{695C62C5-5959-11D3-BD2F-00A0CC418A92}\\TypeLib]\n"
          "@=\"{695C62C1-5959-11D3-BD2F-00A0CC418A92}\"\n\n"
          "[HKEY_CLASSES_ROOT\\CLSID\\{695C62C5-5959-11D3-BD2F-00A0CC418A92}"
          "\\VersionIndependentProgID]\n"
          "@=\"LBAgent2.Request2\"\n\n");
  automation::TypeLibraryPtr library;
  ASSERT_EQ(automation::TypeLibraryOfClass(CLSID_Request2, &library), S_OK);
  EXPECT_EQ(library->path, m_module + ".tlb");
  EXPECT_EQ(ReadFile(automation::BusServiceFile("com.lokbin.LBAgent2")),
            "[D-BUS Service]\nName=com.lokbin.LBAgent2\nExec=" + m_module + " -Embedding\n");
}

TEST_F(RegistrationTest, TheClassKeyIsReplacedWholeAndRegisteringTwiceChangesNothing) {
  ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT,
                         "CLSID\\{695C62C5-5959-11D3-BD2F-00A0CC418A92}\\InprocServer32", REG_SZ,
                         "stale.dll", 0),
            ERROR_SUCCESS);
  ASSERT_EQ(RegisterServer(m_module), S_OK);
  std::string once = Export("HKCR");
  EXPECT_EQ(once.find("stale.dll"), std::string::npos);
  ASSERT_EQ(RegisterServer(m_module), S_OK);
  EXPECT_EQ(Export("HKCR"), once);
}

TEST_F(RegistrationTest, RemovalTakesEverythingButTheSharedParentsAndTheOtherClasses) {
  ASSERT_EQ(RegSetValueA(HKEY_CLASSES_ROOT, "CLSID\\{00000000-0000-0000-0000-0000000000AA}", REG_SZ,
                         "Another Class", 0),
            ERROR_SUCCESS);
  ASSERT_EQ(RegisterServer(m_module), S_OK);
  ASSERT_EQ(UnregisterServer(m_module), S_OK);
  EXPECT_EQ(Export("HKCR"),
            "[HKEY_CLASSES_ROOT]\n\n"
            "[HKEY_CLASSES_ROOT\\AppID]\n\n"
            "[HKEY_CLASSES_ROOT\\CLSID]\n\n"
            "[HKEY_CLASSES_ROOT\\CLSID\\{00000000-0000-0000-0000-0000000000AA}]\n"
            "@=\"Another Class\"\n\n"
            "[HKEY_CLASSES_ROOT\\TypeLib]\n\n");
  EXPECT_EQ(ReadFile(automation::BusServiceFile("com.lokbin.LBAgent2")), "");
  // Nothing left to take: the type library says so.
  EXPECT_EQ(UnregisterServer(m_module), TYPE_E_REGISTRYACCESS);
}

TEST_F(RegistrationTest, AMissingTypeLibraryFailsTheRegistrationAfterTheScripts) {
  std::filesystem::remove(m_dir.File("LBAgent2.tlb"));
  EXPECT_EQ(RegisterServer(m_module), TYPE_E_CANTLOADLIBRARY);
  EXPECT_NE(Export("HKCR\\LBAgent2.Request2"), "<missing>");
}

TEST(RegistrationExitCode, AFailureNeverReadsAsSuccess) {
  EXPECT_EQ(ExitCodeOf(S_OK), 0);
  EXPECT_EQ(ExitCodeOf(S_FALSE), 0);
  EXPECT_EQ(ExitCodeOf(E_ACCESSDENIED), 5);
  EXPECT_EQ(ExitCodeOf(TYPE_E_CANTLOADLIBRARY), 0x4A);
  EXPECT_EQ(ExitCodeOf(HResultFromWin32(0x100)), 1);
}

TEST(TypeLibrary, TheAgentsLibraryAgreesWithTheCodeMethodForMethod) {
  automation::TypeLibraryPtr library;
  std::string error;
  ASSERT_EQ(automation::LoadTypeLibrary(std::string(std::getenv("QAP_BIN_DIR")) + "/LBAgent2.tlb",
                                        &library, &error),
            S_OK)
      << error;
  EXPECT_EQ(library->libId, LIBID_LBAgent2);
  EXPECT_EQ(library->coClass, CLSID_Request2);
  EXPECT_EQ(library->major, kLBAgent2LibMajor);
  EXPECT_EQ(library->minor, kLBAgent2LibMinor);
  const automation::TypeInterface* request = library->Find(IID_IRequest2);
  ASSERT_NE(request, nullptr);
  EXPECT_EQ(request, library->DefaultInterface());
  const std::pair<const char*, const char*> methods[] = {
      {"AddFile", "sii"},   {"Login", "sssi"},      {"GotoLocker", "ii"},
      {"Logout", "i"},      {"GetStatusText", "i"}, {"DownloadToClient", "s"},
      {"AddClient", "sss"}, {"RemoveClient", "s"},  {"Download", "ss"},
      {"IsDone", "v"},      {"CancelAll", ""},      {"IsLoggedIn", ""},
      {"GetVersion", ""}};
  ASSERT_EQ(request->members.size(), std::size(methods));
  for (size_t i = 0; i < std::size(methods); ++i) {
    SCOPED_TRACE(methods[i].first);
    EXPECT_EQ(request->members[i].name, methods[i].first);
    EXPECT_EQ(request->members[i].dispId, static_cast<DISPID>(kDispIdAddFile + i));
    EXPECT_EQ(request->members[i].InSignature(), methods[i].second);
  }
  EXPECT_TRUE(request->FindDispId(kDispIdIsDone)->successResult);
  const automation::TypeInterface* events = library->Find(DIID__IRequest2Events);
  ASSERT_NE(events, nullptr);
  ASSERT_NE(events->FindDispId(kDispIdOnNotify), nullptr);
  EXPECT_EQ(events->FindDispId(kDispIdOnNotify)->name, "OnNotify");
  EXPECT_EQ(events->FindDispId(kDispIdOnNotify)->InSignature(), "n");
}

}  // namespace
}  // namespace qap::testing
