// The registry's cost against SQLite used directly, in one run on a scratch
// hive: (a) 1,000 value writes under one key followed by close, (b) 10,000
// value reads, (c) the same 1,000 writes straight into SQLite in one
// transaction. Goals: (a) within 2x (c), and a read under 10 us median.
#include <sqlite3.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/registry/registry.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kWrites = 1000;
constexpr int kReads = 10000;
constexpr int kRounds = 9;

struct Setting {
  std::string name;
  DWORD type;
  std::string data;
};

// A settings-like mix: short texts and numbers.
std::vector<Setting> MakeSettings() {
  std::vector<Setting> settings;
  for (int i = 0; i < kWrites; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "Setting%04d", i);
    if (i % 2 == 0) {
      settings.push_back({name, REG_SZ, "C:\\Music\\Library " + std::to_string(i) + '\0'});
    } else {
      const DWORD value = static_cast<DWORD>(i);
      settings.push_back({name, REG_DWORD, std::string(reinterpret_cast<const char*>(&value), 4)});
    }
  }
  return settings;
}

double Micros(Clock::duration duration) {
  return std::chrono::duration<double, std::micro>(duration).count();
}

double Median(std::vector<double> samples) {
  std::sort(samples.begin(), samples.end());
  return samples[samples.size() / 2];
}

double Percentile(std::vector<double> samples, double fraction) {
  std::sort(samples.begin(), samples.end());
  return samples[static_cast<std::size_t>(fraction * (samples.size() - 1))];
}

bool Check(LONG status, const char* what) {
  if (status == ERROR_SUCCESS) return true;
  std::fprintf(stderr, "registry_bench: %s failed with %d (%s)\n", what, static_cast<int>(status),
               RegHiveError().c_str());
  return false;
}

// (a), and with flushEach, the same writes paying one commit per value.
bool TimeRegistryWrites(const std::vector<Setting>& settings, const std::string& path,
                        bool flushEach, double* micros) {
  const auto start = Clock::now();
  HKEY key = nullptr;
  if (!Check(RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                             nullptr, &key, nullptr),
             "create"))
    return false;
  for (const Setting& setting : settings) {
    if (!Check(RegSetValueExA(key, setting.name.c_str(), 0, setting.type,
                              reinterpret_cast<const BYTE*>(setting.data.data()),
                              static_cast<DWORD>(setting.data.size())),
               "set"))
      return false;
    if (flushEach && !Check(RegFlushKey(key), "flush")) return false;
  }
  if (!Check(RegCloseKey(key), "close")) return false;
  *micros = Micros(Clock::now() - start);
  return true;
}

struct DbCloser {
  void operator()(sqlite3* db) const { sqlite3_close(db); }
};
struct StatementFinalizer {
  void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};

// (c): a table shaped like a key's values, with the hive's journal settings.
class DirectSqlite {
 public:
  explicit DirectSqlite(const std::string& file) {
    sqlite3* raw = nullptr;
    sqlite3_open(file.c_str(), &raw);
    m_db.reset(raw);
    sqlite3_exec(raw,
                 "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL;"
                 "CREATE TABLE settings(id INTEGER PRIMARY KEY, key INTEGER, name BLOB,"
                 " type INTEGER, data BLOB, UNIQUE(key, name))",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(raw, "INSERT INTO settings(key, name, type, data) VALUES(?1, ?2, ?3, ?4)",
                       -1, &insert, nullptr);
    m_insert.reset(insert);
  }

  bool TimeWrites(const std::vector<Setting>& settings, int key, double* micros) {
    sqlite3_stmt* insert = m_insert.get();
    const auto start = Clock::now();
    if (sqlite3_exec(m_db.get(), "BEGIN", nullptr, nullptr, nullptr) != SQLITE_OK) return false;
    for (const Setting& setting : settings) {
      sqlite3_bind_int(insert, 1, key);
      sqlite3_bind_blob(insert, 2, setting.name.data(), static_cast<int>(setting.name.size()),
                        SQLITE_TRANSIENT);
      sqlite3_bind_int64(insert, 3, setting.type);
      sqlite3_bind_blob(insert, 4, setting.data.data(), static_cast<int>(setting.data.size()),
                        SQLITE_TRANSIENT);
      const int result = sqlite3_step(insert);
      sqlite3_reset(insert);
      if (result != SQLITE_DONE) return false;
    }
    if (sqlite3_exec(m_db.get(), "COMMIT", nullptr, nullptr, nullptr) != SQLITE_OK) return false;
    *micros = Micros(Clock::now() - start);
    return true;
  }

 private:
  std::unique_ptr<sqlite3, DbCloser> m_db;
  std::unique_ptr<sqlite3_stmt, StatementFinalizer> m_insert;
};

class ScratchFolder {
 public:
  ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "qap-bench-XXXXXX").string();
    if (mkdtemp(pattern.data()) != nullptr) m_path = pattern;
  }
  ~ScratchFolder() {
    std::error_code ignored;
    if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
  }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

}  // namespace

int main() {
  const ScratchFolder scratch;
  if (scratch.Path().empty()) {
    std::fprintf(stderr, "registry_bench: cannot make a scratch folder\n");
    return 1;
  }
  setenv("QAP_REGISTRY", (scratch.Path() + "/registry.db").c_str(), 1);
  RegResetHive();
  const std::vector<Setting> settings = MakeSettings();
  DirectSqlite direct(scratch.Path() + "/direct.db");

  std::vector<double> registryWrites, directWrites, flushedWrites;
  for (int round = 0; round < kRounds; ++round) {
    double micros = 0;
    if (!TimeRegistryWrites(settings, "Software\\Bench\\Round" + std::to_string(round), false,
                            &micros))
      return 1;
    registryWrites.push_back(micros);
    if (!direct.TimeWrites(settings, round, &micros)) {
      std::fprintf(stderr, "registry_bench: direct SQLite writes failed\n");
      return 1;
    }
    directWrites.push_back(micros);
    if (!TimeRegistryWrites(settings, "Software\\Bench\\Flushed" + std::to_string(round), true,
                            &micros))
      return 1;
    flushedWrites.push_back(micros);
  }

  HKEY key = nullptr;
  if (!Check(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Bench\\Round0", 0, KEY_READ, &key),
             "open"))
    return 1;
  std::vector<double> reads;
  reads.reserve(kReads);
  BYTE buffer[256];
  for (int i = 0; i < kReads; ++i) {
    const Setting& setting = settings[static_cast<std::size_t>(i % kWrites)];
    DWORD type = 0;
    DWORD size = sizeof buffer;
    const auto start = Clock::now();
    const LONG status = RegQueryValueExA(key, setting.name.c_str(), nullptr, &type, buffer, &size);
    reads.push_back(Micros(Clock::now() - start));
    if (!Check(status, "query")) return 1;
  }
  RegCloseKey(key);
  RegResetHive();

  const double a = Median(registryWrites);
  const double c = Median(directWrites);
  const double readMedian = Median(reads);
  std::printf("registry_bench: medians of %d rounds, hive in %s\n", kRounds,
              scratch.Path().c_str());
  std::printf("(a) registry: %d writes under one key + close   %10.1f us  (%.2f us/write)\n",
              kWrites, a, a / kWrites);
  std::printf("(c) SQLite:   %d inserts in one transaction     %10.1f us  (%.2f us/write)\n",
              kWrites, c, c / kWrites);
  std::printf("    reference: registry with a flush per write  %10.1f us  (%.2f us/write)\n",
              Median(flushedWrites), Median(flushedWrites) / kWrites);
  std::printf("(b) registry: %d reads   median %.2f us   p99 %.2f us   max %.2f us\n", kReads,
              readMedian, Percentile(reads, 0.99), Percentile(reads, 1.0));
  std::printf("ratio (a)/(c) = %.2f   goal <= 2.00: %s\n", a / c, a <= 2 * c ? "met" : "MISSED");
  std::printf("read median   = %.2f us goal < 10 us: %s\n", readMedian,
              readMedian < 10 ? "met" : "MISSED");
  return 0;
}
