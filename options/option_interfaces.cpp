// The exported special members of the option interfaces. Defined here, out
// of line, so that the library exports them together with each interface's
// dispatch table; they only install the table or return the object.
#include "options/option_interfaces.h"

IMiniBrowserOption::IMiniBrowserOption() = default;
IMiniBrowserOption::IMiniBrowserOption(const IMiniBrowserOption&) = default;
IMiniBrowserOption& IMiniBrowserOption::operator=(const IMiniBrowserOption&) = default;

IVisualEffectOption::IVisualEffectOption() = default;
IVisualEffectOption::IVisualEffectOption(const IVisualEffectOption&) = default;
IVisualEffectOption& IVisualEffectOption::operator=(const IVisualEffectOption&) = default;

IRecordingOption::IRecordingOption() = default;
IRecordingOption::IRecordingOption(const IRecordingOption&) = default;
IRecordingOption& IRecordingOption::operator=(const IRecordingOption&) = default;

ISkinOption::ISkinOption() = default;
ISkinOption::ISkinOption(const ISkinOption&) = default;
ISkinOption& ISkinOption::operator=(const ISkinOption&) = default;

ISchedulerOption::ISchedulerOption() = default;
ISchedulerOption::ISchedulerOption(const ISchedulerOption&) = default;
ISchedulerOption& ISchedulerOption::operator=(const ISchedulerOption&) = default;

ITaggingOption::ITaggingOption() = default;
ITaggingOption::ITaggingOption(const ITaggingOption&) = default;
ITaggingOption& ITaggingOption::operator=(const ITaggingOption&) = default;

IFileTypes::IFileTypes() = default;
IFileTypes::IFileTypes(const IFileTypes&) = default;
IFileTypes& IFileTypes::operator=(const IFileTypes&) = default;

IJukemindOption::IJukemindOption() = default;
IJukemindOption::IJukemindOption(const IJukemindOption&) = default;
IJukemindOption& IJukemindOption::operator=(const IJukemindOption&) = default;

IAdvancedJukemindOption::IAdvancedJukemindOption() = default;
IAdvancedJukemindOption::IAdvancedJukemindOption(const IAdvancedJukemindOption&) = default;
IAdvancedJukemindOption& IAdvancedJukemindOption::operator=(const IAdvancedJukemindOption&) = default;

ICDDBOption::ICDDBOption() = default;
ICDDBOption::ICDDBOption(const ICDDBOption&) = default;
ICDDBOption& ICDDBOption::operator=(const ICDDBOption&) = default;

IGeneralOption::IGeneralOption() = default;
IGeneralOption::IGeneralOption(const IGeneralOption&) = default;
IGeneralOption& IGeneralOption::operator=(const IGeneralOption&) = default;

ISoundEffectOption::ISoundEffectOption() = default;
ISoundEffectOption::ISoundEffectOption(const ISoundEffectOption&) = default;
ISoundEffectOption& ISoundEffectOption::operator=(const ISoundEffectOption&) = default;
