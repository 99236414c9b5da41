// The scheduler group (key "Scheduler"): when playing and recording start
// and stop. The times keep only their time of day in the registry.
#pragma once

#include "options/option_group.h"

namespace qap::options {

class SchedulerOption final : public OptionGroup<ISchedulerOption> {
 public:
  SchedulerOption();

  bool GetUsePlStartAtTime() override { return m_values.Flag(kUsePlStartAtTime); }
  void SetUsePlStartAtTime(bool value) override { m_values.SetFlag(kUsePlStartAtTime, value); }
  CTime GetPlStartAtTime() override { return m_values.Time(kPlStartAtTime); }
  void SetPlStartAtTime(CTime value) override { m_values.SetTime(kPlStartAtTime, value); }
  bool GetUsePlStopAfterTime() override { return m_values.Flag(kUsePlStopAfterTime); }
  void SetUsePlStopAfterTime(bool value) override { m_values.SetFlag(kUsePlStopAfterTime, value); }
  CTime GetPlStopAfterTime() override { return m_values.Time(kPlStopAfterTime); }
  void SetPlStopAfterTime(CTime value) override { m_values.SetTime(kPlStopAfterTime, value); }
  bool GetPlRepeatEveryDay() override { return m_values.Flag(kPlRepeatEveryDay); }
  void SetPlRepeatEveryDay(bool value) override { m_values.SetFlag(kPlRepeatEveryDay, value); }
  bool GetUseRecStartAtTime() override { return m_values.Flag(kUseRecStartAtTime); }
  void SetUseRecStartAtTime(bool value) override { m_values.SetFlag(kUseRecStartAtTime, value); }
  CTime GetRecStartAtTime() override { return m_values.Time(kRecStartAtTime); }
  void SetRecStartAtTime(CTime value) override { m_values.SetTime(kRecStartAtTime, value); }
  bool GetUseRecStopAfterTime() override { return m_values.Flag(kUseRecStopAfterTime); }
  void SetUseRecStopAfterTime(bool value) override {
    m_values.SetFlag(kUseRecStopAfterTime, value);
  }
  CTime GetRecStopAfterTime() override { return m_values.Time(kRecStopAfterTime); }
  void SetRecStopAfterTime(CTime value) override { m_values.SetTime(kRecStopAfterTime, value); }

  bool Load() { return LoadValues(); }
  bool Save() { return SaveValues(); }

 private:
  enum : DWORD {
    kUsePlStartAtTime = 0,
    kPlStartAtTime = 1,
    kUsePlStopAfterTime = 2,
    kPlStopAfterTime = 3,
    kPlRepeatEveryDay = 4,
    kUseRecStartAtTime = 5,
    kRecStartAtTime = 6,
    kUseRecStopAfterTime = 7,
    kRecStopAfterTime = 8,
  };
};

}  // namespace qap::options
