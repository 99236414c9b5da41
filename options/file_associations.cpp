// Writes the file-class registry (HKEY_CLASSES_ROOT) for the file-types
// group.
#include "options/file_associations.h"

#include <cstdio>
#include <string>
#include <vector>

#include "options/registry_values.h"

namespace qap::options {
namespace {

constexpr DWORD kClassTextBuffer = 259;
constexpr const char* kDefault = "";
constexpr const char* kBackupValue = "ZelVarBackup";
constexpr const char* kHandlerClsid = "{BB055A52-07CC-11D4-A1BE-D0054AC10000}";
constexpr const char* kPlayerMark = "ZELVARQAP";  // in an upper-cased command or icon text

bool OpenClassKey(const char* path, RegKey* key) {
  return OpenOrCreateKey(HKEY_CLASSES_ROOT, path, key) == ERROR_SUCCESS;
}

bool ReadClassText(HKEY key, const char* name, CString* text) {
  return ReadText(key, name, kClassTextBuffer, text);
}

CString IconText(const CString& playerPath, int held) {
  char number[16];
  std::snprintf(number, sizeof number, ",%d", held);
  return playerPath + number;
}

bool NamesPlayer(CString text) { return text.MakeUpper().Find(kPlayerMark) >= 0; }

// The same procedure for the Audio CD icon and its play command.
void UpdateAudioCdEntry(const char* path, bool associate, const CString& playerText) {
  RegKey key;
  if (!OpenClassKey(path, &key)) return;
  if (associate) {
    // The backup is kept upper-cased, as the player has always kept it.
    // Finding the player's own text means this was done before (by an
    // earlier save, or the load of a later process): the backup made then
    // stays, or the handler that was there before would be lost.
    CString current;
    if (ReadClassText(key.Get(), kDefault, &current) && !NamesPlayer(current)) {
      WriteText(key.Get(), kBackupValue, current.MakeUpper());
    }
    WriteText(key.Get(), kDefault, playerText);
    return;
  }
  CString backup;
  if (ReadClassText(key.Get(), kBackupValue, &backup)) {
    backup.MakeUpper();
    WriteText(key.Get(), kDefault, backup.Find(kPlayerMark) < 0 ? backup : CString());
  } else {
    // Without a backup the player never took this entry over: only an entry
    // that names the player is cleared; another program's stays.
    CString current;
    if (ReadClassText(key.Get(), kDefault, &current) && NamesPlayer(current)) {
      WriteText(key.Get(), kDefault, "");
    }
  }
  RegDeleteValueA(key.Get(), kBackupValue);
}

bool IsUsableExtension(const CString& extension) {
  return !extension.IsEmpty() && extension.Find('\\') < 0;
}

}  // namespace

void WriteFileClass(const CString& playerPath) {
  const std::string shell = std::string(kFileClass) + "\\shell";
  RegDeleteTreeA(HKEY_CLASSES_ROOT, shell.c_str());
  RegKey command;
  if (OpenClassKey((std::string(kFileClass) + "\\command").c_str(), &command)) {
    WriteText(command.Get(), kDefault, playerPath);
  }
  RegKey handler;
  if (OpenClassKey((std::string(kFileClass) + "\\shellex\\ContextMenuHandlers\\ZelVarHandler").c_str(),
                   &handler)) {
    WriteText(handler.Get(), kDefault, kHandlerClsid);
  }
}

void AssociateAtStartup(HKEY groupKey, std::span<const CString> table, const CString& playerPath) {
  for (const CString& extension : table) {
    DWORD wanted = 0;
    if (!ReadNumber(groupKey, extension, &wanted) || wanted == 0) continue;
    RegKey key;
    if (!OpenClassKey(extension, &key)) continue;
    CString current;
    if (ReadClassText(key.Get(), kDefault, &current) && current.Compare(kFileClass) != 0) {
      WriteText(key.Get(), kBackupValue, current);
    }
    WriteText(key.Get(), kDefault, kFileClass);
  }
  RegKey shell;
  if (OpenClassKey((std::string(kFileClass) + "\\shell").c_str(), &shell)) {
    RegDeleteTreeA(shell.Get(), "open");
    RegDeleteTreeA(shell.Get(), "play");
  }
  shell.Reset();
  WriteFileClass(playerPath);
}

void CollectAssociated(std::span<const CString> table, CStringArray* associated) {
  associated->RemoveAll();
  for (const CString& extension : table) {
    RegKey key;
    if (!OpenClassKey(extension, &key)) continue;
    CString current;
    if (ReadClassText(key.Get(), kDefault, &current) && current.Compare(kFileClass) == 0) {
      associated->Add(extension);
    } else {
      RegDeleteValueA(key.Get(), kBackupValue);
    }
  }
}

bool ReadHeldIcon(int* held) {
  RegKey key;
  CString text;
  if (!OpenClassKey((std::string(kFileClass) + "\\DefaultIcon").c_str(), &key) ||
      !ReadClassText(key.Get(), kDefault, &text)) {
    return false;
  }
  // Only the last character counts; a text that does not end in a digit
  // (an empty one included) gives 0.
  const char last[2] = {text.IsEmpty() ? '\0' : text.GetAt(text.GetLength() - 1), '\0'};
  const int digit = DecimalValue(last);
  *held = digit > 3 ? 3 : digit;
  return true;
}

void WriteIcon(const CString& playerPath, int held) {
  RegKey key;
  if (OpenClassKey((std::string(kFileClass) + "\\DefaultIcon").c_str(), &key)) {
    WriteText(key.Get(), kDefault, IconText(playerPath, held));
  }
}

std::vector<CString> ReassociateExtensions(std::span<const CString> table,
                                           const CStringArray& associated) {
  // Every extension's key is made (when missing) and, where it names the
  // player's class, given back.
  for (const CString& extension : table) {
    RegKey key;
    CString current;
    if (!OpenClassKey(extension, &key) || !ReadClassText(key.Get(), kDefault, &current) ||
        current.Compare(kFileClass) != 0) {
      continue;
    }
    CString backup;
    if (ReadClassText(key.Get(), kBackupValue, &backup) && backup.Compare(kFileClass) != 0) {
      WriteText(key.Get(), kDefault, backup);
      RegDeleteValueA(key.Get(), kBackupValue);
    } else {
      WriteText(key.Get(), kDefault, "");
    }
  }
  std::vector<CString> taken;
  for (const CString& extension : associated) {
    // A repeat would find the player's class and overwrite the real backup.
    bool repeat = false;
    for (const CString& earlier : taken) repeat = repeat || earlier.CompareNoCase(extension) == 0;
    if (IsUsableExtension(extension) && !repeat) taken.push_back(extension);
  }
  for (const CString& extension : taken) {
    RegKey key;
    if (!OpenClassKey(extension, &key)) continue;
    CString current;
    const bool readable = ReadClassText(key.Get(), kDefault, &current);
    WriteText(key.Get(), kBackupValue,
              readable && current.Compare(kFileClass) != 0 ? current : CString());
    WriteText(key.Get(), kDefault, kFileClass);
  }
  return taken;
}

void UpdateAudioCd(bool associate, const CString& playerPath, int heldIcon) {
  UpdateAudioCdEntry("AudioCD\\DefaultIcon", associate, IconText(playerPath, heldIcon));
  UpdateAudioCdEntry("AudioCD\\shell\\play\\command", associate, playerPath + " /CDAudio %1");
}

}  // namespace qap::options
