// Hive files that are not usable hives: every call fails cleanly with
// ERROR_BADDB, the error names the file, and the file is left alone.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <fstream>

#include "platform/registry/reg_key.h"
#include "platform/registry/registry.h"
#include "platform/registry/tests/registry_test_util.h"
#include "platform/testing/scratch.h"

namespace {

using namespace qap::registry::testing;

class RegistryBadHive : public ::testing::Test {
 protected:
  void WriteHiveFile(const std::string& bytes) {
    std::ofstream(m_hive.Path(), std::ios::binary | std::ios::trunc) << bytes;
  }

  // Changes the hive file behind the registry's back.
  void RunSql(const char* sql) {
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(m_hive.Path().c_str(), &db), SQLITE_OK);
    EXPECT_EQ(sqlite3_exec(db, sql, nullptr, nullptr, nullptr), SQLITE_OK);
    sqlite3_close(db);
  }

  void MakeForeignDatabase() {
    RunSql("CREATE TABLE songs(title TEXT); INSERT INTO songs VALUES('x')");
  }

  // Every kind of call, each expected to give ERROR_BADDB.
  void ExpectEveryCallFailsWithBadDb() {
    HKEY key = nullptr;
    DWORD disposition = 0;
    EXPECT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, "Software\\X", 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, &disposition),
              ERROR_BADDB);
    EXPECT_EQ(key, nullptr);
    EXPECT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, "Software", 0, KEY_READ, &key), ERROR_BADDB);
    EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "x", 1), ERROR_BADDB);
    EXPECT_EQ(Read(HKEY_LOCAL_MACHINE, "x").status, ERROR_BADDB);
    EXPECT_EQ(RegDeleteValueA(HKEY_CURRENT_USER, "x"), ERROR_BADDB);
    EXPECT_EQ(RegDeleteKeyA(HKEY_CURRENT_USER, "Software"), ERROR_BADDB);
    EXPECT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, nullptr), ERROR_BADDB);
    LONG end = ERROR_SUCCESS;
    SubKeys(HKEY_CURRENT_USER, &end);
    EXPECT_EQ(end, ERROR_BADDB);
    ValueNames(HKEY_CLASSES_ROOT, &end);
    EXPECT_EQ(end, ERROR_BADDB);
    EXPECT_EQ(RegQueryInfoKeyA(HKEY_CURRENT_USER, nullptr, nullptr, nullptr, nullptr, nullptr,
                               nullptr, nullptr, nullptr, nullptr, nullptr, nullptr),
              ERROR_BADDB);
    EXPECT_EQ(RegFlushKey(HKEY_CURRENT_USER), ERROR_BADDB);
    EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(0x1000))),
              ERROR_BADDB);
    EXPECT_EQ(RegCloseKey(HKEY_CURRENT_USER), ERROR_SUCCESS);

    std::string text, error;
    EXPECT_EQ(RegExportKeyToString("HKCU\\Software", &text, &error), ERROR_BADDB);
    EXPECT_EQ(error, RegHiveError());
    EXPECT_EQ(RegImportString("REGEDIT4\n[HKCU\\A]\n", &error), ERROR_BADDB);
    EXPECT_EQ(error, RegHiveError());
  }

  qap::testing::ScratchHive m_hive;
};

TEST_F(RegistryBadHive, AFileThatIsNotADatabaseFailsEveryCallAndIsNamedInTheError) {
  const std::string garbage(8192, 'x');
  WriteHiveFile(garbage);
  RegResetHive();

  ExpectEveryCallFailsWithBadDb();
  EXPECT_EQ(RegHiveError(),
            "registry: '" + m_hive.Path() + "' is not a registry hive (file is not a database)");
  EXPECT_EQ(qap::testing::ReadFile(m_hive.Path()), garbage);
}

TEST_F(RegistryBadHive, AnotherProgramsDatabaseIsRefusedAndLeftExactlyAsItWas) {
  MakeForeignDatabase();
  const std::string before = qap::testing::ReadFile(m_hive.Path());
  RegResetHive();

  ExpectEveryCallFailsWithBadDb();
  EXPECT_NE(RegHiveError().find("'" + m_hive.Path() + "' is not a registry hive"),
            std::string::npos);
  RegResetHive();
  EXPECT_EQ(qap::testing::ReadFile(m_hive.Path()), before);
  EXPECT_FALSE(std::filesystem::exists(m_hive.Path() + "-wal"));
}

TEST_F(RegistryBadHive, AHiveDamagedPastItsFirstPageIsReportedAsDamaged) {
  {
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\Full"), ERROR_SUCCESS);
    for (int i = 0; i < 200; ++i) {
      const std::string name = "Value" + std::to_string(i);
      ASSERT_EQ(SetText(key.Get(), name.c_str(), std::string(100, 'v')), ERROR_SUCCESS);
    }
  }
  RegResetHive();  // the last connection folds the WAL into the file
  std::string bytes = qap::testing::ReadFile(m_hive.Path());
  ASSERT_GT(bytes.size(), 3 * 4096u);
  std::fill(bytes.begin() + 4096, bytes.end(), '\xA5');
  WriteHiveFile(bytes);
  RegResetHive();

  ExpectEveryCallFailsWithBadDb();
  EXPECT_NE(RegHiveError().find("'" + m_hive.Path() + "' "), std::string::npos);
}

// SQLite sees nothing wrong with a file whose rows make a key its own child
// (a damaged index does the same); walks over it end, and say it is damaged.
TEST_F(RegistryBadHive, KeysThatGoRoundInACircleAreReportedAsDamagedNotWalkedForEver) {
  {
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, "Software\\A"), ERROR_SUCCESS);
  }
  RegResetHive();
  RunSql("UPDATE hive_keys SET parent = id WHERE name = CAST('HKEY_LOCAL_MACHINE' AS BLOB)");
  RegResetHive();

  EXPECT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, nullptr), ERROR_SUCCESS);
  std::string text, error;
  EXPECT_EQ(RegExportKeyToString("HKEY_LOCAL_MACHINE", &text, &error), ERROR_BADDB);
  EXPECT_EQ(error, "registry: '" + m_hive.Path() +
                       "' is damaged (the key [HKEY_LOCAL_MACHINE\\HKEY_LOCAL_MACHINE] lies "
                       "inside itself)");
  ExpectEveryCallFailsWithBadDb();
}

TEST_F(RegistryBadHive, AnEmptyOrMissingFileBecomesANewHiveAndAFixedFileIsUsedAfterReset) {
  WriteHiveFile("");
  RegResetHive();
  EXPECT_EQ(RegHiveError(), "");
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "Fresh", 1), ERROR_SUCCESS);

  RegResetHive();  // closed before the file is replaced under it
  WriteHiveFile("not a hive");
  RegResetHive();
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "x", 1), ERROR_BADDB);
  std::filesystem::remove(m_hive.Path());
  RegResetHive();
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "x", 1), ERROR_SUCCESS);
  EXPECT_EQ(RegHiveError(), "");

  const std::string nested = m_hive.Dir().File("new/folder/registry.db");
  setenv("QAP_REGISTRY", nested.c_str(), 1);
  RegResetHive();
  EXPECT_EQ(RegHivePath(), nested);
  EXPECT_EQ(SetDword(HKEY_CURRENT_USER, "x", 1), ERROR_SUCCESS);
  EXPECT_TRUE(std::filesystem::exists(nested));
}

}  // namespace
