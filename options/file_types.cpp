// The file-types group: its two flags in the user key, the per-extension
// choices, the icon number and the load and save that bring the file-class
// registry in line with them.
#include "options/file_types.h"

#include "options/file_associations.h"
#include "options/player_paths.h"
#include "options/version_stamp.h"
#include "platform/shell/shell_notify.h"

namespace qap::options {
namespace {

constexpr ValueRow kValues[] = {
    Flag("RegisterAtStartup", 3, false),
    Flag("AssociateWithCD", 2, false),
};

// The first is the two-letter ".AS".
const char* const kExtensions[FileTypes::kExtensionCount] = {
    ".AS",  ".CDA", ".MID", ".MTM", ".MPEG", ".ASF", ".AVI", ".MP3", ".MP2",
    ".MP1", ".WAV", ".M3U", ".WMA", ".PLS",  ".ZPL", ".ASX", ".RMI", ".LBY",
};

// The start-up pass runs at the first load of the process only.
std::atomic<bool> g_firstLoad{true};

LONG OpenUserKey(const char* group, RegKey* key) {
  RegKey software;
  const LONG opened = OpenOrCreateKey(HKEY_CURRENT_USER, "SOFTWARE", &software);
  return opened != ERROR_SUCCESS ? opened
                                 : OpenOrCreateKey(software.Get(), GroupKeyPath(group).c_str(), key);
}

}  // namespace

FileTypes::FileTypes() : OptionGroup("FileTypes", kValues) {
  for (DWORD i = 0; i < kExtensionCount; ++i) m_table[i] = kExtensions[i];
}

void FileTypes::SetIconIndex(int index) {
  GroupLock lock(m_notifier.Lock());
  const int held = Shifted(index, 1);
  if (m_heldIcon.exchange(held) != held) m_notifier.Changed(Object(), kIconIndex, lock);
}

void FileTypes::SetSpareNumber(DWORD value) {
  GroupLock lock(m_notifier.Lock());
  if (m_spare.exchange(value) != value) m_notifier.Changed(Object(), kSpareNumber, lock);
}

bool FileTypes::Load() {
  try {
    GroupLock lock(m_notifier.Lock());
    RegKey software;
    if (OpenOrCreateKey(HKEY_CURRENT_USER, "SOFTWARE", &software) != ERROR_SUCCESS) return false;
    // Without the user key the flags keep what they hold, but the class
    // registry is still brought in line.
    RegKey key;
    const bool available =
        OpenOrCreateKey(software.Get(), GroupKeyPath(m_keyName).c_str(), &key) == ERROR_SUCCESS;
    if (available) m_values.Load(key.Get());
    key.Reset();
    software.Reset();

    const CString player = PlayerPath();
    if (g_firstLoad.exchange(false) && GetRegisterAtStartup()) {
      RegKey userKey;
      if (OpenUserKey(m_keyName, &userKey) == ERROR_SUCCESS) {
        AssociateAtStartup(userKey.Get(), m_table, player);
      }
    }
    // Versions 1 to 3 registered the class under another name.
    if (const auto major = StoredMajorVersion(); major && *major >= 1 && *major <= 3) {
      RegDeleteTreeA(HKEY_CLASSES_ROOT, "ZelVarVarVar.File");
    }
    RegKey fileClass;
    if (OpenOrCreateKey(HKEY_CLASSES_ROOT, kFileClass, &fileClass) == ERROR_SUCCESS) {
      RegDeleteValueA(fileClass.Get(), "");
    }
    fileClass.Reset();
    WriteFileClass(player);
    CollectAssociated(m_table, &m_associated);
    int held = 0;
    if (ReadHeldIcon(&held)) m_heldIcon = held;
    UpdateAudioCd(GetAssociateWithCD(), player, m_heldIcon);
    return available;
  } catch (...) {
    return false;
  }
}

bool FileTypes::Save() {
  try {
    GroupLock lock(m_notifier.Lock());
    RegKey key;
    if (OpenUserKey(m_keyName, &key) != ERROR_SUCCESS) return false;
    m_values.Save(key.Get());
    key.Reset();

    const std::vector<CString> taken = ReassociateExtensions(m_table, m_associated);
    if (OpenUserKey(m_keyName, &key) != ERROR_SUCCESS) return false;
    for (const CString& extension : m_table) WriteNumber(key.Get(), extension, 0);
    for (const CString& extension : taken) WriteNumber(key.Get(), extension, 1);
    key.Reset();

    const CString player = PlayerPath();
    WriteIcon(player, m_heldIcon);
    WriteFileClass(player);
    UpdateAudioCd(GetAssociateWithCD(), player, m_heldIcon);
    SHChangeNotify(SHCNE_ASSOCCHANGED, 0, nullptr, nullptr);
    return true;
  } catch (...) {
    return false;
  }
}

}  // namespace qap::options
