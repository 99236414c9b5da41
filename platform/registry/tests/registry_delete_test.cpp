// Deleting keys and trees, and what handles to deleted keys still do.
#include <gtest/gtest.h>

#include "platform/registry/reg_key.h"
#include "platform/registry/registry.h"
#include "platform/registry/tests/registry_test_util.h"
#include "platform/testing/scratch.h"

namespace {

using namespace qap::registry::testing;

class RegistryDelete : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* path : {"Software\\D\\Parent\\Child", "Software\\D\\Parent\\Other\\Leaf"}) {
      RegKey key;
      ASSERT_EQ(key.Create(HKEY_CURRENT_USER, path), ERROR_SUCCESS);
      ASSERT_EQ(SetDword(key.Get(), "N", 1), ERROR_SUCCESS);
    }
    RegKey parent;
    ASSERT_EQ(parent.Open(HKEY_CURRENT_USER, "Software\\D\\Parent"), ERROR_SUCCESS);
    ASSERT_EQ(SetText(parent.Get(), "Kept", "until the end"), ERROR_SUCCESS);
  }

  bool Exists(const char* path) {
    RegKey key;
    return key.Open(HKEY_CURRENT_USER, path) == ERROR_SUCCESS;
  }

  qap::testing::ScratchHive m_hive;
};

TEST_F(RegistryDelete, DeleteKeyRefusesAKeyWithSubKeysAndLeavesItWhole) {
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software\\D\\Parent"), ERROR_ACCESS_DENIED);
  RegKey parent;
  ASSERT_EQ(parent.Open(HKEY_CURRENT_USER, "Software\\D\\Parent"), ERROR_SUCCESS);
  EXPECT_EQ(Read(parent.Get(), "Kept").status, ERROR_SUCCESS);
  EXPECT_EQ(SubKeys(parent.Get()), (std::vector<std::string>{"Child", "Other"}));

  EXPECT_EQ(RegDeleteKeyA(parent.Get(), "child"), ERROR_SUCCESS);
  EXPECT_FALSE(Exists("Software\\D\\Parent\\Child"));
  EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, ""), ERROR_ACCESS_DENIED);
}

TEST_F(RegistryDelete, DeleteTreeRemovesAKeyWithEverythingBelowIt) {
  ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\D\\Parent"), ERROR_SUCCESS);
  EXPECT_FALSE(Exists("Software\\D\\Parent"));
  EXPECT_TRUE(Exists("Software\\D"));

  // Recreated, the key starts empty: nothing of the old tree shows through.
  RegKey again;
  ASSERT_EQ(again.Create(HKEY_CURRENT_USER, "Software\\D\\Parent\\Other"), ERROR_SUCCESS);
  EXPECT_TRUE(SubKeys(again.Get()).empty());
  EXPECT_TRUE(ValueNames(again.Get()).empty());
  EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\D\\Missing"), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryDelete, DeleteTreeWithoutSubKeyEmptiesTheKeyButKeepsIt) {
  RegKey parent;
  ASSERT_EQ(parent.Open(HKEY_CURRENT_USER, "Software\\D\\Parent"), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteTreeA(parent.Get(), nullptr), ERROR_SUCCESS);
  EXPECT_TRUE(Exists("Software\\D\\Parent"));
  EXPECT_TRUE(SubKeys(parent.Get()).empty());
  EXPECT_TRUE(ValueNames(parent.Get()).empty());
  EXPECT_EQ(SetDword(parent.Get(), "New", 2), ERROR_SUCCESS);
}

TEST_F(RegistryDelete, AHandleToADeletedKeyRefusesWritesAndFindsNothing) {
  RegKey leaf;
  ASSERT_EQ(leaf.Open(HKEY_CURRENT_USER, "Software\\D\\Parent\\Other\\Leaf"), ERROR_SUCCESS);
  ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\D\\Parent\\Other"), ERROR_SUCCESS);

  EXPECT_EQ(SetDword(leaf.Get(), "N", 2), ERROR_KEY_DELETED);
  EXPECT_EQ(RegDeleteValueA(leaf.Get(), "N"), ERROR_KEY_DELETED);
  HKEY child = nullptr;
  EXPECT_EQ(RegCreateKeyA(leaf.Get(), "Child", &child), ERROR_KEY_DELETED);
  EXPECT_EQ(Read(leaf.Get(), "N").status, ERROR_FILE_NOT_FOUND);
  LONG end = ERROR_SUCCESS;
  EXPECT_TRUE(ValueNames(leaf.Get(), &end).empty());
  EXPECT_EQ(end, ERROR_NO_MORE_ITEMS);

  // A new key of the same name is a different key to the old handle.
  RegKey recreated;
  ASSERT_EQ(recreated.Create(HKEY_CURRENT_USER, "Software\\D\\Parent\\Other\\Leaf"), ERROR_SUCCESS);
  EXPECT_EQ(SetDword(leaf.Get(), "Stray", 3), ERROR_KEY_DELETED);
  EXPECT_TRUE(ValueNames(recreated.Get()).empty());
  EXPECT_EQ(RegCloseKey(leaf.Release()), ERROR_SUCCESS);
}

}  // namespace
