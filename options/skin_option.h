// The skin group (key "Skins").
#pragma once

#include "options/option_group.h"

namespace qap::options {

class SkinOption final : public OptionGroup<ISkinOption> {
 public:
  SkinOption();

  const CString& GetSkinPath() override { return m_values.TextForCaller(kSkinPath); }
  void SetSkinPath(const CString& value) override { m_values.SetText(kSkinPath, value); }
  const CString& GetSkinsRoot() override { return m_values.TextForCaller(kSkinsRoot); }
  void SetSkinsRoot(const CString& value) override { m_values.SetText(kSkinsRoot, value); }

  bool Load() { return LoadValues(); }
  bool Save() { return SaveValues(); }

 private:
  enum : DWORD { kSkinPath = 0, kSkinsRoot = 1 };
};

}  // namespace qap::options
