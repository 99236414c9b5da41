// Enumeration: the order of subkeys and values, the end of the list, names
// that do not fit, and the counts RegQueryInfoKey gives.
#include <gtest/gtest.h>

#include "platform/registry/reg_key.h"
#include "platform/registry/registry.h"
#include "platform/registry/tests/registry_test_util.h"
#include "platform/testing/scratch.h"

namespace {

using namespace qap::registry::testing;

class RegistryEnumeration : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(m_key.Create(HKEY_CURRENT_USER, "Software\\E"), ERROR_SUCCESS);
  }

  qap::testing::ScratchHive m_hive;
  RegKey m_key;
};

TEST_F(RegistryEnumeration, SubKeysComeInCaseInsensitiveOrderWithUnderscoreAfterLetters) {
  for (const char* name : {"b", "_x", "C", "a1", "A"}) {
    RegKey child;
    ASSERT_EQ(child.Create(m_key.Get(), name), ERROR_SUCCESS);
  }
  LONG end = ERROR_SUCCESS;
  EXPECT_EQ(SubKeys(m_key.Get(), &end), (std::vector<std::string>{"A", "a1", "b", "C", "_x"}));
  EXPECT_EQ(end, ERROR_NO_MORE_ITEMS);
  char name[16];
  EXPECT_EQ(RegEnumKeyA(m_key.Get(), 100, name, sizeof name), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryEnumeration, ValuesComeInTheOrderFirstSetAndKeepTheirPlaceWhenUpdated) {
  for (const char* name : {"z", "a", "m"}) ASSERT_EQ(SetDword(m_key.Get(), name, 1), ERROR_SUCCESS);
  ASSERT_EQ(SetText(m_key.Get(), "Z", "updated"), ERROR_SUCCESS);
  LONG end = ERROR_SUCCESS;
  EXPECT_EQ(ValueNames(m_key.Get(), &end), (std::vector<std::string>{"z", "a", "m"}));
  EXPECT_EQ(end, ERROR_NO_MORE_ITEMS);

  ASSERT_EQ(RegDeleteValueA(m_key.Get(), "a"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(m_key.Get(), "A", 2), ERROR_SUCCESS);
  EXPECT_EQ(ValueNames(m_key.Get()), (std::vector<std::string>{"z", "m", "A"}));
}

TEST_F(RegistryEnumeration, NamesAndDataThatDoNotFitGiveMoreDataWithTheSizesNeeded) {
  RegKey child;
  ASSERT_EQ(child.Create(m_key.Get(), "LongerName"), ERROR_SUCCESS);
  ASSERT_EQ(SetText(m_key.Get(), "Greeting", "hello"), ERROR_SUCCESS);

  char name[10];
  DWORD nameSize = sizeof name;  // room for 9 characters and the terminator
  EXPECT_EQ(RegEnumKeyExA(m_key.Get(), 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
            ERROR_MORE_DATA);
  EXPECT_EQ(nameSize, 10u);
  nameSize = 11;
  char fits[11];
  EXPECT_EQ(RegEnumKeyExA(m_key.Get(), 0, fits, &nameSize, nullptr, nullptr, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_STREQ(fits, "LongerName");

  nameSize = sizeof name;
  DWORD type = 0;
  BYTE data[4];
  DWORD dataSize = sizeof data;
  EXPECT_EQ(RegEnumValueA(m_key.Get(), 0, name, &nameSize, nullptr, &type, data, &dataSize),
            ERROR_MORE_DATA);
  EXPECT_EQ(dataSize, 6u);
  EXPECT_EQ(type, REG_SZ);
  EXPECT_STREQ(name, "Greeting");
}

TEST_F(RegistryEnumeration, QueryInfoCountsSubKeysAndValuesWithTheLongestOfEach) {
  for (const char* name : {"One", "Three"}) {
    RegKey child;
    ASSERT_EQ(child.Create(m_key.Get(), name), ERROR_SUCCESS);
  }
  ASSERT_EQ(SetText(m_key.Get(), "Short", "a long text value"), ERROR_SUCCESS);
  ASSERT_EQ(SetDword(m_key.Get(), "LongestName", 1), ERROR_SUCCESS);

  DWORD subKeys = 0, maxSubKeyLen = 0, values = 0, maxValueNameLen = 0, maxValueLen = 0;
  ASSERT_EQ(RegQueryInfoKeyA(m_key.Get(), nullptr, nullptr, nullptr, &subKeys, &maxSubKeyLen,
                             nullptr, &values, &maxValueNameLen, &maxValueLen, nullptr, nullptr),
            ERROR_SUCCESS);
  EXPECT_EQ(subKeys, 2u);
  EXPECT_EQ(maxSubKeyLen, 5u);
  EXPECT_EQ(values, 2u);
  EXPECT_EQ(maxValueNameLen, 11u);
  EXPECT_EQ(maxValueLen, 18u);
}

}  // namespace
