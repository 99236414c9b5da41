// Value data: sizes and short buffers, bytes stored as given, types kept,
// texts that read alike in every code page, Windows' limits, and the codes
// for missing things and bad arguments.
#include <gtest/gtest.h>
#include <stdlib.h>

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

// The code page is read at each call, so one test can be a process of
// either code page in turn; reg_command_test has two processes.
class CodePage {
 public:
  explicit CodePage(const char* acp) { setenv("QAP_ACP", acp, 1); }
  ~CodePage() { unsetenv("QAP_ACP"); }
};

TEST_F(RegistryValues, TextsReadAsTheSameCharactersWhateverCodePageWroteThem) {
  const std::string utf8 = "Gr\xC3\xBC\xC3\x9F" "e";
  const std::string cp1252 = "Gr\xFC\xDF" "e";
  {
    CodePage western("1252");
    ASSERT_EQ(SetText(m_key.Get(), "From1252", cp1252), ERROR_SUCCESS);
    ASSERT_EQ(SetBytes(m_key.Get(), "Multi1252", REG_MULTI_SZ, cp1252 + '\0' + cp1252 + '\0' + '\0'),
              ERROR_SUCCESS);
  }
  ASSERT_EQ(SetText(m_key.Get(), "FromUtf8", utf8), ERROR_SUCCESS);
  EXPECT_EQ(Read(m_key.Get(), "From1252").data, utf8 + '\0');
  EXPECT_EQ(Read(m_key.Get(), "Multi1252").data, utf8 + '\0' + utf8 + '\0' + '\0');
  CodePage western("1252");
  EXPECT_EQ(Read(m_key.Get(), "FromUtf8").data, cp1252 + '\0');
  EXPECT_EQ(Read(m_key.Get(), "From1252").data, cp1252 + '\0');
  DWORD size = 0;
  ASSERT_EQ(RegQueryValueExA(m_key.Get(), "FromUtf8", nullptr, nullptr, nullptr, &size),
            ERROR_SUCCESS);
  EXPECT_EQ(size, cp1252.size() + 1) << "the size in the caller's code page";
  char name[16];
  DWORD nameSize = sizeof name, type = 0;
  BYTE data[16];
  DWORD dataSize = sizeof data;
  ASSERT_EQ(RegEnumValueA(m_key.Get(), 2, name, &nameSize, nullptr, &type, data, &dataSize),
            ERROR_SUCCESS);
  EXPECT_STREQ(name, "FromUtf8");
  EXPECT_EQ(std::string(reinterpret_cast<char*>(data), dataSize), cp1252 + '\0');
}

// Before texts were kept in one encoding, a 1252 process stored its own
// bytes, which are no UTF-8: they still read as they were written.
TEST_F(RegistryValues, TextsAnEarlierWesternProcessStoredStillReadAsWritten) {
  const std::string cp1252 = "Gr\xFC\xDF" "e";
  ASSERT_EQ(SetText(m_key.Get(), "Old", cp1252), ERROR_SUCCESS);
  EXPECT_EQ(Read(m_key.Get(), "Old").data, cp1252 + '\0') << "a UTF-8 process passes bytes on";
  CodePage western("1252");
  EXPECT_EQ(Read(m_key.Get(), "Old").data, cp1252 + '\0');
}

TEST_F(RegistryValues, WindowsLimitsOnNamesAndDepthHoldWithItsError) {
  RegKey key;
  EXPECT_EQ(key.Create(m_key.Get(), std::string(255, 'k').c_str()), ERROR_SUCCESS);
  EXPECT_EQ(key.Create(m_key.Get(), std::string(256, 'k').c_str()), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(key.Open(m_key.Get(), std::string(256, 'k').c_str()), ERROR_INVALID_PARAMETER);
  // Characters, not bytes: 255 two-byte letters fit.
  std::string umlauts;
  for (int i = 0; i < 255; ++i) umlauts += "\xC3\xBC";
  EXPECT_EQ(key.Create(m_key.Get(), umlauts.c_str()), ERROR_SUCCESS);

  EXPECT_EQ(SetDword(m_key.Get(), std::string(16383, 'v').c_str(), 1), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(m_key.Get(), std::string(16384, 'v').c_str(), 1), ERROR_INVALID_PARAMETER);

  // Software\V is two levels deep already.
  std::string path = "d";
  for (int level = 4; level <= 512; ++level) path += "\\d";
  EXPECT_EQ(key.Create(m_key.Get(), path.c_str()), ERROR_SUCCESS) << "level 512";
  EXPECT_EQ(key.Create(m_key.Get(), (path + "\\d").c_str()), ERROR_INVALID_PARAMETER);
  EXPECT_EQ(key.Open(m_key.Get(), (path + "\\d").c_str()), ERROR_FILE_NOT_FOUND) << "nothing made";
}

}  // namespace
