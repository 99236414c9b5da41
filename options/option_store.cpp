// The store and the library's exported functions.
#include "options/option_store.h"

#include "options/options.h"
#include "options/registry_values.h"
#include "options/version_stamp.h"
#include "platform/shell/shell_notify.h"

namespace qap::options {
namespace {

constexpr const char* kStartValue = "Start";

// The version is stamped, and the shell told, by the first LoadOptions of
// the process only.
std::atomic<bool> g_firstLoadOfProcess{true};

}  // namespace

OptionStore& OptionStore::Instance() {
  static OptionStore store;
  return store;
}

bool OptionStore::Load() {
  RegKey software;
  // HKEY_CURRENT_USER\SOFTWARE always exists on Windows; a fresh hive may
  // not have it yet.
  if (OpenOrCreateKey(HKEY_CURRENT_USER, "SOFTWARE", &software) != ERROR_SUCCESS) return false;
  RegKey root;
  if (OpenOrCreateKey(software.Get(), kRootKey, &root) != ERROR_SUCCESS) return false;
  DWORD start = 0;
  if (ReadNumber(root.Get(), kStartValue, &start)) {
    m_firstStart = false;
  } else {
    WriteNumber(root.Get(), kStartValue, 1);
    m_firstStart = true;
  }
  // This order is the one settings have always been loaded in; it differs
  // from the order of the members.
  m_miniBrowser.Load();
  m_skin.Load();
  m_visualEffect.Load();
  m_recording.Load();
  m_scheduler.Load();
  m_tagging.Load();
  m_fileTypes.Load();
  m_jukemind.Load();
  m_advancedJukemind.Load();
  m_cddb.Load();
  m_general.Load();
  m_soundEffect.Load();
  // After the groups, which clean up by the stamp the previous run left.
  if (g_firstLoadOfProcess.exchange(false)) {
    WriteVersionStamp(root.Get());
    SHChangeNotify(SHCNE_ASSOCCHANGED, 0, nullptr, nullptr);
  }
  return true;
}

bool OptionStore::Save() {
  m_miniBrowser.Save();
  m_skin.Save();
  m_visualEffect.Save();
  m_recording.Save();
  m_scheduler.Save();
  m_tagging.Save();
  m_fileTypes.Save();
  m_jukemind.Save();
  m_advancedJukemind.Save();
  m_cddb.Save();
  m_general.Save();
  m_soundEffect.Save();
  return true;
}

}  // namespace qap::options

using qap::options::OptionStore;

bool LoadOptions() {
  try {
    return OptionStore::Instance().Load();
  } catch (...) {
    return false;
  }
}

bool SaveOptions() {
  try {
    return OptionStore::Instance().Save();
  } catch (...) {
    return true;
  }
}

bool IsFirstStart() {
  try {
    return OptionStore::Instance().m_firstStart;
  } catch (...) {
    return false;
  }
}

IMiniBrowserOption& GetIMiniBrowserOption() { return OptionStore::Instance().m_miniBrowser; }
IVisualEffectOption& GetIVisualEffectOption() { return OptionStore::Instance().m_visualEffect; }
IRecordingOption& GetIRecordingOption() { return OptionStore::Instance().m_recording; }
ISkinOption& GetISkinOption() { return OptionStore::Instance().m_skin; }
ISchedulerOption& GetISchedulerOption() { return OptionStore::Instance().m_scheduler; }
ITaggingOption& GetITaggingOption() { return OptionStore::Instance().m_tagging; }
IFileTypes& GetIFileType() { return OptionStore::Instance().m_fileTypes; }
IJukemindOption& GetIJukemindOption() { return OptionStore::Instance().m_jukemind; }
IAdvancedJukemindOption& GetIAdvancedJukemindOption() {
  return OptionStore::Instance().m_advancedJukemind;
}
ICDDBOption& GetICDDBOption() { return OptionStore::Instance().m_cddb; }
IGeneralOption& GetIGeneralOption() { return OptionStore::Instance().m_general; }
ISoundEffectOption& GetISoundEffectOption() { return OptionStore::Instance().m_soundEffect; }
