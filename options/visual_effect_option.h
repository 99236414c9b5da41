// The visual-effect group (key "VisualEffects").
#pragma once

#include "options/option_group.h"

namespace qap::options {

class VisualEffectOption final : public OptionGroup<IVisualEffectOption> {
 public:
  VisualEffectOption();

  const CString& GetDefaultEffect() override { return m_values.TextForCaller(kDefaultEffect); }
  void SetDefaultEffect(const CString& value) override { m_values.SetText(kDefaultEffect, value); }

  bool Load() { return LoadValues(); }
  bool Save() { return SaveValues(); }

 private:
  enum : DWORD { kDefaultEffect = 0 };
};

}  // namespace qap::options
