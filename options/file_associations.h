// The file-class registry side of the file-types group: the player's file
// class "ZelVar.File", the default handler of each media extension with a
// backup of the handler it replaced, and the Audio CD autoplay entries.
// Every step is best effort: a key that cannot be opened or created is
// skipped.
#pragma once

#include <span>
#include <vector>

#include "platform/base/collections.h"
#include "platform/registry/registry.h"

namespace qap::options {

constexpr const char* kFileClass = "ZelVar.File";

// Deletes ZelVar.File\shell and writes the class's command and its
// context-menu handler.
void WriteFileClass(const CString& playerPath);
// The start-up pass: hands every extension whose user value (in groupKey)
// is non-zero to the player, keeping the previous handler as backup.
void AssociateAtStartup(HKEY groupKey, std::span<const CString> table, const CString& playerPath);
// The extensions of the table whose handler is the player's class; the
// stale backups of the others are dropped.
void CollectAssociated(std::span<const CString> table, CStringArray* associated);
// The held icon number of the class's icon text (its last digit, at most
// 3), when the text can be read.
bool ReadHeldIcon(int* held);
void WriteIcon(const CString& playerPath, int held);
// Gives back every extension of the table the player holds, then takes
// those of the list, keeping their current handlers as backups. Returns the
// list entries taken: an entry that is empty, names another key (holds a
// backslash) or repeats an earlier one is passed over.
std::vector<CString> ReassociateExtensions(std::span<const CString> table,
                                           const CStringArray& associated);
// Points the Audio CD icon and play command at the player, or restores
// what they were.
void UpdateAudioCd(bool associate, const CString& playerPath, int heldIcon);

}  // namespace qap::options
