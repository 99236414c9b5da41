// The scheduler group's values.
#include "options/scheduler_option.h"

namespace qap::options {
namespace {

constexpr ValueRow kValues[] = {
    Flag("UsePlStartAtTime", 0, false),
    Time("PlStartAtTime", 1),
    Flag("UsePlStopAfterTime", 2, false),
    Time("PlStopAfterTime", 3),
    Flag("PlRepeatEveryDay", 4, false),
    Flag("UseRecStartAtTime", 5, false),
    Time("RecStartAtTime", 6),
    Flag("UseRecStopAfterTime", 7, false),
    Time("RecStopAfterTime", 8),
};

}  // namespace

SchedulerOption::SchedulerOption() : OptionGroup("Scheduler", kValues) {}

}  // namespace qap::options
