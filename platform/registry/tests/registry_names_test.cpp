// How keys and values are named and found: case, the default value, path
// components, handles and root names.
#include <gtest/gtest.h>

#include "platform/registry/reg_key.h"
#include "platform/registry/registry.h"
#include "platform/registry/tests/registry_test_util.h"
#include "platform/testing/scratch.h"

namespace {

using namespace qap::registry::testing;

class RegistryNames : public ::testing::Test {
 protected:
  qap::testing::ScratchHive m_hive;
};

TEST_F(RegistryNames, KeyNamesMatchWithoutRegardToCaseAndKeepTheirFirstSpelling) {
  RegKey created;
  bool isNew = false;
  ASSERT_EQ(created.Create(HKEY_CURRENT_USER, "Software\\MixedCase", &isNew), ERROR_SUCCESS);
  EXPECT_TRUE(isNew);

  RegKey again;
  ASSERT_EQ(again.Create(HKEY_CURRENT_USER, "SOFTWARE\\mixedcase", &isNew), ERROR_SUCCESS);
  EXPECT_FALSE(isNew);
  RegKey opened;
  ASSERT_EQ(opened.Open(HKEY_CURRENT_USER, "software\\MIXEDCASE"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(opened.Get(), "Seen", "yes"), ERROR_SUCCESS);
  EXPECT_EQ(Read(created.Get(), "Seen").data, std::string("yes\0", 4));

  RegKey software;
  ASSERT_EQ(software.Open(HKEY_CURRENT_USER, "Software"), ERROR_SUCCESS);
  EXPECT_EQ(SubKeys(software.Get()), std::vector<std::string>{"MixedCase"});
}

TEST_F(RegistryNames, ValueNamesMatchWithoutRegardToCaseAndTheFirstSpellingStays) {
  RegKey key;
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\Values"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key.Get(), "Volume", 1), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(key.Get(), "VOLUME", 2), ERROR_SUCCESS);

  EXPECT_EQ(ValueNames(key.Get()), std::vector<std::string>{"Volume"});
  const Value value = Read(key.Get(), "volume");
  EXPECT_EQ(value.status, ERROR_SUCCESS);
  EXPECT_EQ(value.data, std::string("\2\0\0\0", 4));
}

TEST_F(RegistryNames, NullAndEmptyValueNamesBothMeanTheDefaultValue) {
  RegKey key;
  ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\Defaults"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(key.Get(), nullptr, "first"), ERROR_SUCCESS);
  EXPECT_EQ(Read(key.Get(), "").data, std::string("first\0", 6));
  ASSERT_EQ(SetText(key.Get(), "", "second"), ERROR_SUCCESS);
  EXPECT_EQ(Read(key.Get(), nullptr).data, std::string("second\0", 7));
  EXPECT_EQ(ValueNames(key.Get()), std::vector<std::string>{""});

  // RegSetValue creates the sub-key and, as on Windows, ignores the size it
  // is given: the whole text goes in with its terminator.
  ASSERT_EQ(RegSetValueA(key.Get(), "Sub\\Deeper", REG_SZ, "text", 1), ERROR_SUCCESS);
  RegKey deeper;
  ASSERT_EQ(deeper.Open(key.Get(), "sub\\deeper"), ERROR_SUCCESS);
  EXPECT_EQ(Read(deeper.Get(), nullptr).data, std::string("text\0", 5));
  EXPECT_EQ(RegSetValueA(key.Get(), "Sub", REG_DWORD, "text", 5), ERROR_INVALID_PARAMETER);
}

TEST_F(RegistryNames, NamesOutsideAsciiCompareByteForByte) {
  RegKey upper, lower;
  ASSERT_EQ(upper.Create(HKEY_CURRENT_USER, "Software\\\xC3\x84rger"), ERROR_SUCCESS);  // Ärger
  bool isNew = false;
  ASSERT_EQ(lower.Create(HKEY_CURRENT_USER, "software\\\xC3\xA4rger", &isNew), ERROR_SUCCESS);
  EXPECT_TRUE(isNew);
  RegKey found;
  EXPECT_EQ(found.Open(HKEY_CURRENT_USER, "SOFTWARE\\\xC3\x84RGER"), ERROR_SUCCESS);
}

TEST_F(RegistryNames, EmptyPathComponentsAreIgnoredAndAnEmptyPathReopensTheSameKey) {
  RegKey created;
  ASSERT_EQ(created.Create(HKEY_LOCAL_MACHINE, "\\A\\\\B\\"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(created.Get(), "N", 7), ERROR_SUCCESS);

  RegKey same;
  ASSERT_EQ(same.Open(HKEY_LOCAL_MACHINE, "A\\B"), ERROR_SUCCESS);
  RegKey copy;
  ASSERT_EQ(copy.Open(same.Get(), ""), ERROR_SUCCESS);
  EXPECT_NE(copy.Get(), same.Get());
  same.Reset();
  EXPECT_EQ(Read(copy.Get(), "N").status, ERROR_SUCCESS);
}

TEST_F(RegistryNames, HandlesThatAreGarbageClosedOrFromAnEarlierHiveAreRefused) {
  const HKEY garbage = reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x12345678));
  EXPECT_EQ(Read(garbage, "x").status, ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(garbage), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(nullptr), ERROR_INVALID_HANDLE);

  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Handles", &key), ERROR_SUCCESS);
  ASSERT_EQ(RegCloseKey(key), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(key, "x", 1), ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);

  ASSERT_EQ(RegOpenKeyA(HKEY_CURRENT_USER, "Software\\Handles", &key), ERROR_SUCCESS);
  RegResetHive();
  EXPECT_EQ(Read(key, "x").status, ERROR_INVALID_HANDLE);
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
  EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);
}

TEST_F(RegistryNames, FullKeyNamesSplitIntoRootAndPathInLongAndShortForms) {
  HKEY root = nullptr;
  std::string path;
  ASSERT_TRUE(RegParseKeyName("hkcu\\Software\\X", &root, &path));
  EXPECT_EQ(root, HKEY_CURRENT_USER);
  EXPECT_EQ(path, "Software\\X");
  ASSERT_TRUE(RegParseKeyName("HKEY_LOCAL_MACHINE", &root, &path));
  EXPECT_EQ(root, HKEY_LOCAL_MACHINE);
  EXPECT_EQ(path, "");
  EXPECT_FALSE(RegParseKeyName("HKCUX\\Software", &root, &path));
  EXPECT_STREQ(RegRootName(HKEY_CLASSES_ROOT), "HKEY_CLASSES_ROOT");
  EXPECT_STREQ(RegRootName(nullptr), "");
}

}  // namespace
