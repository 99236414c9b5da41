// The sound-effect group (key "SoundEffectsSettings").
#pragma once

#include "options/option_group.h"

namespace qap::options {

class SoundEffectOption final : public OptionGroup<ISoundEffectOption> {
 public:
  SoundEffectOption();

  DWORD GetQuality() override { return m_values.Number(kQuality); }
  void SetQuality(DWORD value) override { m_values.SetNumber(kQuality, value); }

  bool Load() { return LoadValues(); }
  bool Save() { return SaveValues(); }

 private:
  enum : DWORD { kQuality = 0 };
};

}  // namespace qap::options
