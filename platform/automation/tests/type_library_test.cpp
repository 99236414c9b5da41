// Type libraries: reading the description, what is refused, the registry
// entries of their registration, and bus activation files.
#include "platform/automation/type_library.h"

#include <gtest/gtest.h>

#include "platform/automation/bus_service.h"
#include "platform/automation/tests/sample_library.h"
#include "platform/registry/reg_key.h"
#include "platform/testing/scratch.h"

namespace qap::testing {
namespace {

using automation::TypeLibraryPtr;

class TypeLibraryTest : public ::testing::Test {
 protected:
  std::string WriteLibrary(const std::string& text, const std::string& name = "sample.tlb") {
    return m_dir.Write(name, text);
  }
  std::string Export(const std::string& key) {
    std::string text, error;
    if (RegExportKeyToString(key, &text, &error) != ERROR_SUCCESS) return "<missing>";
    return text;
  }
  ScratchHive m_hive;
  ScratchDir m_dir;
};

TEST_F(TypeLibraryTest, ADescriptionReadsWithItsIdentifiersMembersAndEntities) {
  TypeLibraryPtr library;
  ASSERT_EQ(automation::LoadTypeLibrary(WriteLibrary(SampleLibraryText()), &library), S_OK);
  EXPECT_EQ(library->libId, kSampleLibId);
  EXPECT_EQ(library->coClass, kSampleClass);
  EXPECT_EQ(library->major, 1);
  EXPECT_EQ(library->minor, 2);
  EXPECT_EQ(library->helpString, "Sample & Co. \u263A");
  EXPECT_EQ(library->busName, kSampleBusName);
  EXPECT_EQ(library->objectPath, "/org/qap/test/Sample");
  const automation::TypeInterface* dispatch = library->DefaultInterface();
  ASSERT_NE(dispatch, nullptr);
  EXPECT_EQ(dispatch->iid, kSampleInterface);
  const automation::TypeMember* echo = dispatch->FindName("eCHO");
  ASSERT_NE(echo, nullptr);
  EXPECT_EQ(echo->dispId, 1);
  EXPECT_EQ(echo->InSignature(), "si");
  EXPECT_EQ(echo->OutSignature(), "s");
  EXPECT_TRUE(dispatch->FindDispId(2)->successResult);
  const automation::TypeInterface* events = library->Find(kSampleEvents);
  ASSERT_NE(events, nullptr);
  EXPECT_TRUE(events->source);
  EXPECT_EQ(events->FindDispId(7)->name, "Notify");
}

TEST_F(TypeLibraryTest, MalformedOrInconsistentDescriptionsAreRefusedWithAReason) {
  const std::string good = SampleLibraryText();
  auto broken = [&good](const std::string& from, const std::string& to) {
    std::string text = good;
    text.replace(text.find(from), from.size(), to);
    return text;
  };
  const std::pair<std::string, std::string> cases[] = {
      {broken("</node>", ""), "<node> is not closed"},
      {broken("type=\"i\"", "type=\"x\""), "type"},
      {broken("value=\"3\"", "value=\"1\""), "repeats"},
      {broken("value=\"1.2\"", "value=\"one\""), "Version"},
      {broken("org.qap.test.Sample\"/>", "not a bus name\"/>"), "BusName"},
      {broken("<method name=\"Fail\">", "<signal name=\"Lost\"/><method name=\"Fail\">"),
       "signals"},
      {broken("&amp;", "&nbsp;"), "entity"},
      // GetIDsOfNames could never find such an argument.
      {broken("<arg name=\"number\"", "<arg name=\"num\xC3\""), "argument's name"},
  };
  for (const auto& [text, reason] : cases) {
    TypeLibraryPtr library;
    std::string error;
    EXPECT_EQ(automation::LoadTypeLibrary(WriteLibrary(text), &library, &error),
              TYPE_E_CANTLOADLIBRARY);
    EXPECT_NE(error.find(reason), std::string::npos) << error;
  }
  TypeLibraryPtr library;
  EXPECT_EQ(automation::LoadTypeLibrary(m_dir.File("missing.tlb"), &library),
            TYPE_E_CANTLOADLIBRARY);
}

TEST_F(TypeLibraryTest, RegistrationWritesTheVersionKeyAndRemovalTakesItAway) {
  std::string path = WriteLibrary(SampleLibraryText());
  ASSERT_EQ(automation::RegisterTypeLibrary(path), S_OK);
  EXPECT_EQ(
      Export("HKCR\\TypeLib\\{7E570000-0000-0000-0000-0000000000C1}"),
      "Windows Registry Editor Version 5.00\n\n"
      "[HKEY_CLASSES_ROOT\\TypeLib\\{7E570000-0000-0000-0000-0000000000C1}]\n\n"
      "[HKEY_CLASSES_ROOT\\TypeLib\\{7E570000-0000-0000-0000-0000000000C1}\\1.2]\n"
      "@=\"Sample & Co. \u263A\"\n\n"
      "[HKEY_CLASSES_ROOT\\TypeLib\\{7E570000-0000-0000-0000-0000000000C1}\\1.2\\0]\n\n"
      "[HKEY_CLASSES_ROOT\\TypeLib\\{7E570000-0000-0000-0000-0000000000C1}\\1.2\\0\\win32]\n"
      "@=\"" +
          path +
          "\"\n\n"
          "[HKEY_CLASSES_ROOT\\TypeLib\\{7E570000-0000-0000-0000-0000000000C1}\\1.2\\FLAGS]\n"
          "@=\"0\"\n\n"
          "[HKEY_CLASSES_ROOT\\TypeLib\\{7E570000-0000-0000-0000-0000000000C1}\\1.2\\HELPDIR]\n"
          "@=\"" +
          m_dir.Path() + "\"\n\n");
  TypeLibraryPtr library;
  ASSERT_EQ(automation::LoadRegisteredTypeLibrary(kSampleLibId, 1, 2, &library), S_OK);
  EXPECT_EQ(library->path, path);
  EXPECT_EQ(automation::LoadRegisteredTypeLibrary(kSampleLibId, 1, 0, &library),
            TYPE_E_LIBNOTREGISTERED);

  ASSERT_EQ(automation::UnRegisterTypeLib(kSampleLibId, 1, 2), S_OK);
  EXPECT_EQ(Export("HKCR\\TypeLib\\{7E570000-0000-0000-0000-0000000000C1}"), "<missing>");
  EXPECT_EQ(automation::UnRegisterTypeLib(kSampleLibId, 1, 2), TYPE_E_REGISTRYACCESS);
}

TEST_F(TypeLibraryTest, AClassFindsItsLibraryOnlyThroughItsOwnRegistration) {
  TypeLibraryPtr library;
  EXPECT_EQ(automation::TypeLibraryOfClass(kSampleClass, &library), REGDB_E_CLASSNOTREG);
  ASSERT_EQ(automation::RegisterTypeLibrary(WriteLibrary(SampleLibraryText())), S_OK);
  EXPECT_EQ(automation::TypeLibraryOfClass(kSampleClass, &library), REGDB_E_CLASSNOTREG);
  ASSERT_EQ(
      RegSetValueA(HKEY_CLASSES_ROOT, "CLSID\\{7E570000-0000-0000-0000-0000000000C5}\\TypeLib",
                   REG_SZ, "{7E570000-0000-0000-0000-0000000000C1}", 0),
      ERROR_SUCCESS);
  ASSERT_EQ(automation::TypeLibraryOfClass(kSampleClass, &library), S_OK);
  EXPECT_EQ(library->busName, kSampleBusName);
  // A library that describes another class does not serve this one.
  ASSERT_EQ(
      RegSetValueA(HKEY_CLASSES_ROOT, "CLSID\\{7E570000-0000-0000-0000-0000000000C4}\\TypeLib",
                   REG_SZ, "{7E570000-0000-0000-0000-0000000000C1}", 0),
      ERROR_SUCCESS);
  EXPECT_EQ(automation::TypeLibraryOfClass(kSampleInterface, &library), REGDB_E_CLASSNOTREG);
}

TEST_F(TypeLibraryTest, AServiceFileNamesTheCommandQuotedForTheBus) {
  ASSERT_EQ(automation::RegisterBusService(kSampleBusName, {"/opt/it's here/server", "-Embedding"}),
            S_OK);
  std::string file = automation::BusServiceFile(kSampleBusName);
  EXPECT_EQ(file, automation::BusServiceDirectory() + "/org.qap.test.Sample.service");
  EXPECT_EQ(
      ReadFile(file),
      "[D-BUS Service]\nName=org.qap.test.Sample\nExec='/opt/it'\\''s here/server' -Embedding\n");
  ASSERT_EQ(automation::UnregisterBusService(kSampleBusName), S_OK);
  EXPECT_EQ(ReadFile(file), "");
  EXPECT_EQ(automation::UnregisterBusService(kSampleBusName), S_OK);
}

}  // namespace
}  // namespace qap::testing
