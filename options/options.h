// The Options library: the suite's per-user settings as live option objects
// over the registry (HKEY_CURRENT_USER\SOFTWARE\ZelVar\QAP), one object per
// group, for the life of the process.
#pragma once

#include "options/option_interfaces.h"

// Loads every group, repairing missing values with their defaults; false
// only when the settings' root key is unavailable.
QAP_EXPORT bool LoadOptions();
// Saves every group; always true.
QAP_EXPORT bool SaveOptions();
// Whether the last LoadOptions found no trace of an earlier start.
QAP_EXPORT bool IsFirstStart();
// The stored version stamp "NAME:MAJOR.MINOR"; on false the outputs are left
// untouched.
QAP_EXPORT bool GetOptVersion(CString& name, DWORD& major, DWORD& minor);

QAP_EXPORT IMiniBrowserOption& GetIMiniBrowserOption();
QAP_EXPORT IVisualEffectOption& GetIVisualEffectOption();
QAP_EXPORT IRecordingOption& GetIRecordingOption();
QAP_EXPORT ISkinOption& GetISkinOption();
QAP_EXPORT ISchedulerOption& GetISchedulerOption();
QAP_EXPORT ITaggingOption& GetITaggingOption();
// Singular, unlike the interface's name.
QAP_EXPORT IFileTypes& GetIFileType();
QAP_EXPORT IJukemindOption& GetIJukemindOption();
QAP_EXPORT IAdvancedJukemindOption& GetIAdvancedJukemindOption();
QAP_EXPORT ICDDBOption& GetICDDBOption();
QAP_EXPORT IGeneralOption& GetIGeneralOption();
QAP_EXPORT ISoundEffectOption& GetISoundEffectOption();
