// The file-types group (key "FileTypes"): which media extensions and
// whether audio CDs open with the player. Its load and save also write the
// file-class registry (file_associations.h).
#pragma once

#include "options/option_group.h"

namespace qap::options {

class FileTypes final : public OptionGroup<IFileTypes> {
 public:
  static constexpr DWORD kExtensionCount = 18;

  FileTypes();

  // The icon number is held plus one, as the class's icon text stores it.
  int GetIconIndex() override { return Shifted(m_heldIcon.load(std::memory_order_relaxed), -1); }
  void SetIconIndex(int index) override;
  DWORD GetSpareNumber() override { return m_spare.load(std::memory_order_relaxed); }
  void SetSpareNumber(DWORD value) override;
  bool GetAssociateWithCD() override { return m_values.Flag(kAssociateWithCd); }
  void SetAssociateWithCD(bool value) override { m_values.SetFlag(kAssociateWithCd, value); }
  bool GetRegisterAtStartup() override { return m_values.Flag(kRegisterAtStartup); }
  void SetRegisterAtStartup(bool value) override { m_values.SetFlag(kRegisterAtStartup, value); }
  CStringArray& GetAssociatedExtensions() override { return m_associated; }
  const CString* GetExtensionTable() override { return m_table; }
  DWORD GetExtensionCount() override { return kExtensionCount; }
  bool Load() override;
  bool Save() override;

 private:
  enum : DWORD { kIconIndex = 0, kSpareNumber = 1, kAssociateWithCd = 2, kRegisterAtStartup = 3 };

  // Plain two's-complement arithmetic: no index overflows.
  static int Shifted(int value, int by) {
    return static_cast<int>(static_cast<unsigned>(value) + static_cast<unsigned>(by));
  }

  std::atomic<int> m_heldIcon{1};
  std::atomic<DWORD> m_spare{1};
  CStringArray m_associated;
  CString m_table[kExtensionCount];
};

}  // namespace qap::options
