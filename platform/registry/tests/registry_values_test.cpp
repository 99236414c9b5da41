// Value data: sizes and short buffers, bytes stored as given, types kept,
// and the codes for missing things and bad arguments.
#include <gtest/gtest.h>

#include "platform/registry/reg_key.h"
#include "platform/registry/registry.h"
#include "platform/registry/tests/registry_test_util.h"
#include "platform/testing/scratch.h"

namespace {

using namespace qap::registry::testing;

class RegistryValues : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(m_key.Create(HKEY_CURRENT_USER, "Software\\V"), ERROR_SUCCESS);
  }

  qap::testing::ScratchHive m_hive;
  RegKey m_key;
};

TEST_F(RegistryValues, ATextThatDoesNotFitGivesMoreDataAndTheSizeItNeeds) {
  ASSERT_EQ(SetText(m_key.Get(), "Path", "C:\\Music"), ERROR_SUCCESS);

  DWORD type = 0;
  DWORD size = 0;
  ASSERT_EQ(RegQueryValueExA(m_key.Get(), "Path", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_EQ(size, 9u);

  char small[8];
  size = sizeof small;
  type = 0;
  EXPECT_EQ(
      RegQueryValueExA(m_key.Get(), "Path", nullptr, &type, reinterpret_cast<BYTE*>(small), &size),
      ERROR_MORE_DATA);
  EXPECT_EQ(size, 9u);
  EXPECT_EQ(type, REG_SZ);

  char exact[9];
  size = sizeof exact;
  ASSERT_EQ(RegQueryValueExA(m_key.Get(), "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(exact),
                             &size),
            ERROR_SUCCESS);
  EXPECT_STREQ(exact, "C:\\Music");
}

TEST_F(RegistryValues, DataIsStoredExactlyAsGivenWhateverItsType) {
  const struct {
    const char* name;
    DWORD type;
    std::string bytes;
  } cases[] = {
      {"TextWithoutTerminator", REG_SZ, "abc"},
      {"TextWithInnerNul", REG_SZ, std::string("a\0b\0", 4)},
      {"EmptyText", REG_SZ, ""},
      {"Multi", REG_MULTI_SZ, std::string("one\0two\0\0", 9)},
      {"Quad", REG_QWORD, std::string("\1\2\3\4\5\6\7\x08", 8)},
      {"ShortDword", REG_DWORD, std::string("\xFF\xFE", 2)},
      {"Unknown", 0x12345, std::string("\0\xFF", 2)},
      {"EmptyBinary", REG_BINARY, ""},
  };
  for (const auto& c : cases)
    ASSERT_EQ(SetBytes(m_key.Get(), c.name, c.type, c.bytes), ERROR_SUCCESS);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const Value value = Read(m_key.Get(), c.name);
    EXPECT_EQ(value.status, ERROR_SUCCESS);
    EXPECT_EQ(value.type, c.type);
    EXPECT_EQ(value.data, c.bytes);
  }

  ASSERT_EQ(SetDword(m_key.Get(), "Multi", 5), ERROR_SUCCESS);
  const Value replaced = Read(m_key.Get(), "Multi");
  EXPECT_EQ(replaced.type, REG_DWORD);
  EXPECT_EQ(replaced.data, std::string("\5\0\0\0", 4));
}

TEST_F(RegistryValues, MissingKeysAndValuesGiveFileNotFound) {
  EXPECT_EQ(Read(m_key.Get(), "Nothing").status, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteValueA(m_key.Get(), "Nothing"), ERROR_FILE_NOT_FOUND);
  RegKey missing;
  EXPECT_EQ(missing.Open(HKEY_CURRENT_USER, "Software\\V\\Nope"), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\Nope"), ERROR_FILE_NOT_FOUND);

  ASSERT_EQ(SetDword(m_key.Get(), "Gone", 1), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteValueA(m_key.Get(), "GONE"), ERROR_SUCCESS);
  EXPECT_EQ(Read(m_key.Get(), "Gone").status, ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryValues, BadArgumentsGiveInvalidParameterAndChangeNothing) {
  BYTE buffer[4];
  EXPECT_EQ(RegQueryValueExA(m_key.Get(), "x", nullptr, nullptr, buffer, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegSetValueExA(m_key.Get(), "x", 0, REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, nullptr, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_INVALID_PARAMETER);
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, nullptr), ERROR_INVALID_PARAMETER);
  EXPECT_TRUE(ValueNames(m_key.Get()).empty());
}

}  // namespace
