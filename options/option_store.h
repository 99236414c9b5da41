// The one store of option groups per process, made at the first call of
// any export and destroyed when the library is unloaded.
#pragma once

#include <atomic>

#include "options/advanced_jukemind_option.h"
#include "options/cddb_option.h"
#include "options/file_types.h"
#include "options/general_option.h"
#include "options/jukemind_option.h"
#include "options/mini_browser_option.h"
#include "options/recording_option.h"
#include "options/scheduler_option.h"
#include "options/skin_option.h"
#include "options/sound_effect_option.h"
#include "options/tagging_option.h"
#include "options/visual_effect_option.h"

namespace qap::options {

class OptionStore {
 public:
  static OptionStore& Instance();

  OptionStore() = default;
  OptionStore(const OptionStore&) = delete;
  OptionStore& operator=(const OptionStore&) = delete;
  virtual ~OptionStore() = default;

  bool Load();
  bool Save();

  MiniBrowserOption m_miniBrowser;
  VisualEffectOption m_visualEffect;
  RecordingOption m_recording;
  SkinOption m_skin;
  SchedulerOption m_scheduler;
  TaggingOption m_tagging;
  FileTypes m_fileTypes;
  JukemindOption m_jukemind;
  AdvancedJukemindOption m_advancedJukemind;
  CddbOption m_cddb;
  GeneralOption m_general;
  SoundEffectOption m_soundEffect;
  std::atomic<bool> m_firstStart{false};
};

}  // namespace qap::options
