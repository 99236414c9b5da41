// qap options: the Options library driven as the player drives it: load the
// settings, show every value through the interfaces' getters under its
// registry name, change one through its setter and save.
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "options/options.h"
#include "platform/registry/registry.h"
#include "platform/shell/shell_notify.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{
    "options", "load, show and change the suite's settings (the Options library)",
    "usage: qap options load\n"
    "       qap options show [GROUP]\n"
    "       qap options set GROUP NAME VALUE\n"
    "       qap options version\n\n"
    "load     loads every group as the player does at start (repairing missing\n"
    "         values) and tells whether this was the first start\n"
    "show     loads, then prints every value of GROUP (or of every group)\n"
    "         through the option interfaces, under its registry value name\n"
    "set      loads, changes one value through its setter, and saves\n"
    "version  prints the stored version stamp\n\n"
    "GROUP is a registry key under HKEY_CURRENT_USER\\SOFTWARE\\ZelVar\\QAP:\n"
    "MiniBrowser, VisualEffects, Recording, Skins, Scheduler, Tagging, FileTypes,\n"
    "Jukemind, AdvancedJukemind, CDDB, General, SoundEffectsSettings.\n"
    "NAME is the registry value name (\"CBR_KBPS\", \"URL_01\", \"Genre_003_Name\");\n"
    "in General the second window position pair is \"XWndStartPosition#2\" and\n"
    "\"YWndStartPosition#2\" (both pairs share the registry values); in FileTypes\n"
    "an extension (\".MP3\") is 1 to associate it with the player, 0 not to.\n"
    "VALUE: a number (decimal or 0x hex), true/false (also yes/no, on/off, 1/0),\n"
    "a text, or a time of day HH:MM:SS, as the value is.\n"
    "Names are matched without regard to case.\n",
    Run};
const VerbRegistrar kRegistrar(kVerb);

// One value as the command sees it: shown as text, set from text. set
// returns an error message, empty on success.
struct Value {
  std::string name;
  std::function<std::string()> show;
  std::function<std::string(const std::string&)> set;
};

struct Group {
  const char* key;
  std::vector<Value> (*values)();
};

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strcasecmp(a.c_str(), b.c_str()) == 0;
}

std::optional<DWORD> ParseNumber(const std::string& text) {
  errno = 0;
  char* end = nullptr;
  const unsigned long long value = std::strtoull(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0' || errno != 0 || text[0] == '-' || value > 0xFFFFFFFFull) {
    return std::nullopt;
  }
  return static_cast<DWORD>(value);
}

std::optional<bool> ParseFlag(const std::string& text) {
  for (const char* yes : {"true", "yes", "on", "1"}) {
    if (SameName(text, yes)) return true;
  }
  for (const char* no : {"false", "no", "off", "0"}) {
    if (SameName(text, no)) return false;
  }
  return std::nullopt;
}

std::optional<CTime> ParseTimeOfDay(const std::string& text) {
  unsigned hour = 0;
  unsigned minute = 0;
  unsigned second = 0;
  char rest = 0;
  if (text.size() != 8 ||
      std::sscanf(text.c_str(), "%2u:%2u:%2u%c", &hour, &minute, &second, &rest) != 3 ||
      hour > 23 || minute > 59 || second > 59) {
    return std::nullopt;
  }
  const CTime now = CTime::GetCurrentTime();
  return CTime(now.GetYear(), now.GetMonth(), now.GetDay(), static_cast<int>(hour),
               static_cast<int>(minute), static_cast<int>(second));
}

std::string Quoted(const CString& text) { return "\"" + text.str() + "\""; }

std::string NotANumber(const std::string& text) {
  return "'" + text + "' is not a number (0 to 4294967295, decimal or 0x hex)";
}

Value NumberValue(std::string name, std::function<DWORD()> get, std::function<void(DWORD)> put) {
  return {std::move(name), [get] { return std::to_string(get()); },
          [put](const std::string& text) -> std::string {
            const auto number = ParseNumber(text);
            if (!number) return NotANumber(text);
            put(*number);
            return {};
          }};
}

Value FlagValue(std::string name, std::function<bool()> get, std::function<void(bool)> put) {
  return {std::move(name), [get] { return std::string(get() ? "true" : "false"); },
          [put](const std::string& text) -> std::string {
            const auto flag = ParseFlag(text);
            if (!flag) return "'" + text + "' is not a flag: say true or false";
            put(*flag);
            return {};
          }};
}

Value TextValue(std::string name, std::function<CString()> get,
                std::function<void(const CString&)> put) {
  return {std::move(name), [get] { return Quoted(get()); },
          [put](const std::string& text) -> std::string {
            put(CString(text));
            return {};
          }};
}

Value TimeValue(std::string name, std::function<CTime()> get, std::function<void(CTime)> put) {
  return {std::move(name), [get] { return get().Format("%H:%M:%S").str(); },
          [put](const std::string& text) -> std::string {
            const auto time = ParseTimeOfDay(text);
            if (!time) return "'" + text + "' is not a time of day (HH:MM:SS)";
            put(*time);
            return {};
          }};
}

// The single values of an interface, getter and setter by member pointer.
template <typename I>
Value Number(I& group, const char* name, DWORD (I::*get)(), void (I::*set)(DWORD)) {
  return NumberValue(name, [&group, get] { return (group.*get)(); },
                     [&group, set](DWORD value) { (group.*set)(value); });
}
template <typename I>
Value Flag(I& group, const char* name, bool (I::*get)(), void (I::*set)(bool)) {
  return FlagValue(name, [&group, get] { return (group.*get)(); },
                   [&group, set](bool value) { (group.*set)(value); });
}
template <typename I>
Value Text(I& group, const char* name, const CString& (I::*get)(), void (I::*set)(const CString&)) {
  return TextValue(name, [&group, get] { return (group.*get)(); },
                   [&group, set](const CString& value) { (group.*set)(value); });
}
template <typename I>
Value Time(I& group, const char* name, CTime (I::*get)(), void (I::*set)(CTime)) {
  return TimeValue(name, [&group, get] { return (group.*get)(); },
                   [&group, set](CTime value) { (group.*set)(value); });
}

std::string Numbered(const char* format, int index) {
  char name[48];
  std::snprintf(name, sizeof name, format, index);
  return name;
}

std::vector<Value> MiniBrowserValues() {
  IMiniBrowserOption& g = GetIMiniBrowserOption();
  using I = IMiniBrowserOption;
  std::vector<Value> values = {
      Number(g, "DefaultIndex", &I::GetDefaultIndex, &I::SetDefaultIndex),
      Flag(g, "DownloadParam", &I::GetDownloadParam, &I::SetDownloadParam),
  };
  for (int i = 0; i < static_cast<int>(g.GetURLCount()); ++i) {
    values.push_back(TextValue(Numbered("URL_%02u", i), [&g, i] { return g.GetURL(i); },
                               [&g, i](const CString& url) { g.SetURL(i, url); }));
  }
  return values;
}

std::vector<Value> VisualEffectValues() {
  IVisualEffectOption& g = GetIVisualEffectOption();
  using I = IVisualEffectOption;
  return {Text(g, "DefaultEffect", &I::GetDefaultEffect, &I::SetDefaultEffect)};
}

std::vector<Value> RecordingValues() {
  IRecordingOption& g = GetIRecordingOption();
  using I = IRecordingOption;
  return {
      Number(g, "RecordingMode", &I::GetRecordingMode, &I::SetRecordingMode),
      Flag(g, "EraseBeforeRecording", &I::GetEraseBeforeRecording, &I::SetEraseBeforeRecording),
      Number(g, "VBR", &I::GetVBR, &I::SetVBR),
      Number(g, "CBR_KBPS", &I::GetCBR_KBPS, &I::SetCBR_KBPS),
      Text(g, "DefaultRecorder", &I::GetDefaultRecorder, &I::SetDefaultRecorder),
      Flag(g, "AllowDownmix", &I::GetAllowDownmix, &I::SetAllowDownmix),
      Flag(g, "AllowIntensity", &I::GetAllowIntensity, &I::SetAllowIntensity),
      Flag(g, "SoftwareSyncCD", &I::GetSoftwareSyncCD, &I::SetSoftwareSyncCD),
      Flag(g, "PlaySound", &I::GetPlaySound, &I::SetPlaySound),
      Flag(g, "EjectCD", &I::GetEjectCD, &I::SetEjectCD),
      Number(g, "RippingSpeed", &I::GetRippingSpeed, &I::SetRippingSpeed),
      Flag(g, "BitRateType", &I::GetBitRateType, &I::SetBitRateType),
      Number(g, "CodingQuality", &I::GetCodingQuality, &I::SetCodingQuality),
      Number(g, "CodingScheme", &I::GetCodingScheme, &I::SetCodingScheme),
      Number(g, "FadeInSec", &I::GetFadeInSec, &I::SetFadeInSec),
      Number(g, "FadeOutSec", &I::GetFadeOutSec, &I::SetFadeOutSec),
      Number(g, "Normalization", &I::GetNormalization, &I::SetNormalization),
      Text(g, "MusicFolder", &I::GetMusicFolder, &I::SetMusicFolder),
      Number(g, "DefaultRecorderDevice", &I::GetDefaultRecorderDevice,
             &I::SetDefaultRecorderDevice),
      Flag(g, "UseAsDefault", &I::GetUseAsDefault, &I::SetUseAsDefault),
      Number(g, "DefaultOutputFormat", &I::GetDefaultOutputFormat, &I::SetDefaultOutputFormat),
      Number(g, "CodingSpeed", &I::GetCodingSpeed, &I::SetCodingSpeed),
      Number(g, "BurningSpeed", &I::GetBurningSpeed, &I::SetBurningSpeed),
      Flag(g, "BurnWholeList", &I::GetBurnWholeList, &I::SetBurnWholeList),
      Number(g, "WMA_KBPS", &I::GetWMA_KBPS, &I::SetWMA_KBPS),
      Flag(g, "LoudnessBalance", &I::GetLoudnessBalance, &I::SetLoudnessBalance),
      Number(g, "MediaCreationMode", &I::GetMediaCreationMode, &I::SetMediaCreationMode),
      Flag(g, "BurnConvertUncompressedOnly", &I::GetBurnConvertUncompressedOnly,
           &I::SetBurnConvertUncompressedOnly),
      Flag(g, "PortableDeviceConvertUncompressedOnly",
           &I::GetPortableDeviceConvertUncompressedOnly,
           &I::SetPortableDeviceConvertUncompressedOnly),
  };
}

std::vector<Value> SkinValues() {
  ISkinOption& g = GetISkinOption();
  using I = ISkinOption;
  return {Text(g, "SkinPath", &I::GetSkinPath, &I::SetSkinPath),
          Text(g, "SkinsRoot", &I::GetSkinsRoot, &I::SetSkinsRoot)};
}

std::vector<Value> SchedulerValues() {
  ISchedulerOption& g = GetISchedulerOption();
  using I = ISchedulerOption;
  return {
      Flag(g, "UsePlStartAtTime", &I::GetUsePlStartAtTime, &I::SetUsePlStartAtTime),
      Time(g, "PlStartAtTime", &I::GetPlStartAtTime, &I::SetPlStartAtTime),
      Flag(g, "UsePlStopAfterTime", &I::GetUsePlStopAfterTime, &I::SetUsePlStopAfterTime),
      Time(g, "PlStopAfterTime", &I::GetPlStopAfterTime, &I::SetPlStopAfterTime),
      Flag(g, "PlRepeatEveryDay", &I::GetPlRepeatEveryDay, &I::SetPlRepeatEveryDay),
      Flag(g, "UseRecStartAtTime", &I::GetUseRecStartAtTime, &I::SetUseRecStartAtTime),
      Time(g, "RecStartAtTime", &I::GetRecStartAtTime, &I::SetRecStartAtTime),
      Flag(g, "UseRecStopAfterTime", &I::GetUseRecStopAfterTime, &I::SetUseRecStopAfterTime),
      Time(g, "RecStopAfterTime", &I::GetRecStopAfterTime, &I::SetRecStopAfterTime),
  };
}

std::vector<Value> TaggingValues() {
  ITaggingOption& g = GetITaggingOption();
  using I = ITaggingOption;
  return {Text(g, "Title", &I::GetTitle, &I::SetTitle),
          Text(g, "Artist", &I::GetArtist, &I::SetArtist),
          Text(g, "Album", &I::GetAlbum, &I::SetAlbum),
          Number(g, "Year", &I::GetYear, &I::SetYear),
          Flag(g, "Auto", &I::GetAuto, &I::SetAuto)};
}

std::vector<Value> FileTypeValues() {
  IFileTypes& g = GetIFileType();
  using I = IFileTypes;
  std::vector<Value> values = {
      Flag(g, "RegisterAtStartup", &I::GetRegisterAtStartup, &I::SetRegisterAtStartup),
      Flag(g, "AssociateWithCD", &I::GetAssociateWithCD, &I::SetAssociateWithCD),
      // Kept in the file class's icon, not in the group's key.
      {"IconIndex", [&g] { return std::to_string(g.GetIconIndex()); },
       [&g](const std::string& text) -> std::string {
         errno = 0;
         char* end = nullptr;
         const long index = std::strtol(text.c_str(), &end, 10);
         if (text.empty() || *end != '\0' || errno != 0 || index < -1 || index > 2) {
           return "'" + text + "' is not an icon index (-1 to 2)";
         }
         g.SetIconIndex(static_cast<int>(index));
         return {};
       }},
  };
  for (DWORD i = 0; i < g.GetExtensionCount(); ++i) {
    const CString extension = g.GetExtensionTable()[i];
    auto find = [&g, extension] {
      const CStringArray& list = g.GetAssociatedExtensions();
      for (int at = 0; at < list.GetSize(); ++at) {
        if (list.GetAt(at).CompareNoCase(extension) == 0) return at;
      }
      return -1;
    };
    // Shown as 1 or 0, as the group's key stores the choice.
    values.push_back({extension.str(), [find] { return std::string(find() >= 0 ? "1" : "0"); },
                      [&g, extension, find](const std::string& text) -> std::string {
                        const auto associate = ParseFlag(text);
                        if (!associate) return "'" + text + "' is not a flag: say 1 or 0";
                        const int at = find();
                        if (*associate && at < 0) g.GetAssociatedExtensions().Add(extension);
                        if (!*associate && at >= 0) g.GetAssociatedExtensions().RemoveAt(at);
                        return {};
                      }});
  }
  return values;
}

std::vector<Value> GenreValues() {
  IJukemindOption& g = GetIJukemindOption();
  std::vector<Value> values;
  for (int i = 0; i < static_cast<int>(g.GetGenresCount()); ++i) {
    values.push_back(NumberValue(Numbered("Genre_%03u_ID", i), [&g, i] { return g.GetGenreID(i); },
                                 [&g, i](DWORD id) { g.SetGenreID(i, id); }));
    values.push_back(TextValue(Numbered("Genre_%03u_Name", i),
                               [&g, i] { return g.GetGenreName(i); },
                               [&g, i](const CString& name) { g.SetGenreName(i, name); }));
    values.push_back(NumberValue(Numbered("Genre_%03u_Value", i),
                                 [&g, i] { return g.GetGenreValue(i); },
                                 [&g, i](DWORD value) { g.SetGenreValue(i, value); }));
  }
  using I = IJukemindOption;
  values.push_back(Number(g, "TENDtoPREFER", &I::GetTENDtoPREFER, &I::SetTENDtoPREFER));
  return values;
}

std::vector<Value> ThemeValues() {
  IAdvancedJukemindOption& g = GetIAdvancedJukemindOption();
  std::vector<Value> values;
  for (int i = 0; i < static_cast<int>(g.GetThemesCount()); ++i) {
    values.push_back(FlagValue(Numbered("Theme_%03u_Val", i), [&g, i] { return g.GetThemeVal(i); },
                               [&g, i](bool selected) { g.SetThemeVal(i, selected); }));
    values.push_back(TextValue(Numbered("Theme_%03u_Name", i),
                               [&g, i] { return g.GetThemeName(i); },
                               [&g, i](const CString& name) { g.SetThemeName(i, name); }));
    values.push_back(TextValue(
        Numbered("Theme_%03u_Description", i), [&g, i] { return g.GetThemeDescription(i); },
        [&g, i](const CString& text) { g.SetThemeDescription(i, text); }));
  }
  return values;
}

std::vector<Value> CddbValues() {
  ICDDBOption& g = GetICDDBOption();
  using I = ICDDBOption;
  return {
      Flag(g, "BehindProxy", &I::GetBehindProxy, &I::SetBehindProxy),
      Flag(g, "UseCDDB", &I::GetUseCDDB, &I::SetUseCDDB),
      Flag(g, "FirstCheckInCDDB", &I::GetFirstCheckInCDDB, &I::SetFirstCheckInCDDB),
      Flag(g, "SubmitCDDB", &I::GetSubmitCDDB, &I::SetSubmitCDDB),
      Flag(g, "GetSupplementaryInfo", &I::GetGetSupplementaryInfo, &I::SetGetSupplementaryInfo),
      Text(g, "Host", &I::GetHost, &I::SetHost),
      Number(g, "Port", &I::GetPort, &I::SetPort),
      Text(g, "UserName", &I::GetUserName, &I::SetUserName),
      Text(g, "Password", &I::GetPassword, &I::SetPassword),
  };
}

std::vector<Value> GeneralValues() {
  IGeneralOption& g = GetIGeneralOption();
  using I = IGeneralOption;
  return {
      Number(g, "XWndStartPosition", &I::GetXWndStartPosition, &I::SetXWndStartPosition),
      Number(g, "YWndStartPosition", &I::GetYWndStartPosition, &I::SetYWndStartPosition),
      Flag(g, "StartPlayingAfterAdd", &I::GetStartPlayingAfterAdd, &I::SetStartPlayingAfterAdd),
      Number(g, "XWndStartPosition#2", &I::GetXWndStartPosition2, &I::SetXWndStartPosition2),
      Number(g, "YWndStartPosition#2", &I::GetYWndStartPosition2, &I::SetYWndStartPosition2),
  };
}

std::vector<Value> SoundEffectValues() {
  ISoundEffectOption& g = GetISoundEffectOption();
  using I = ISoundEffectOption;
  return {Number(g, "Quality", &I::GetQuality, &I::SetQuality)};
}

// In the order of the library's store.
const Group kGroups[] = {
    {"MiniBrowser", &MiniBrowserValues},   {"VisualEffects", &VisualEffectValues},
    {"Recording", &RecordingValues},       {"Skins", &SkinValues},
    {"Scheduler", &SchedulerValues},       {"Tagging", &TaggingValues},
    {"FileTypes", &FileTypeValues},        {"Jukemind", &GenreValues},
    {"AdvancedJukemind", &ThemeValues},    {"CDDB", &CddbValues},
    {"General", &GeneralValues},           {"SoundEffectsSettings", &SoundEffectValues},
};

const Group* FindGroup(const std::string& name) {
  for (const Group& group : kGroups) {
    if (SameName(name, group.key)) return &group;
  }
  return nullptr;
}

int UnknownGroup(const std::string& name) {
  std::string known;
  for (const Group& group : kGroups) known += std::string(known.empty() ? "" : ", ") + group.key;
  return UsageError(kVerb, "unknown group '" + name + "'; the groups are: " + known);
}

// Tells the user when the shell hears that file associations changed.
ShellChangeSubscription WatchTheShell() {
  return ShellChangeSubscription([](const ShellChange& change) {
    if (change.eventId == SHCNE_ASSOCCHANGED) {
      std::cout << "(The shell was told that file associations changed.)\n";
    }
  });
}

bool Load() {
  if (LoadOptions()) return true;
  const std::string hiveError = RegHiveError();
  std::cerr << "qap options: the settings could not be loaded from the hive " << RegHivePath()
            << (hiveError.empty() ? std::string() : ": " + hiveError) << "\n";
  return false;
}

std::string VersionText() {
  CString name;
  DWORD major = 0;
  DWORD minor = 0;
  if (!GetOptVersion(name, major, minor)) return {};
  return name.str() + " " + std::to_string(major) + "." + std::to_string(minor);
}

void ShowGroup(const Group& group) {
  std::cout << "[" << group.key << "]  HKEY_CURRENT_USER\\SOFTWARE\\ZelVar\\QAP\\" << group.key
            << "\n";
  for (const Value& value : group.values()) {
    std::cout << "  " << value.name << " = " << value.show() << "\n";
  }
}

int LoadCommand(const Args& args) {
  if (args.size() != 1) return UsageError(kVerb, "load takes no arguments");
  const auto watch = WatchTheShell();
  if (!Load()) return 1;
  std::cout << "Loaded the settings from the hive " << RegHivePath() << ".\n"
            << "First start: " << (IsFirstStart() ? "yes" : "no") << "\n"
            << "Version: " << VersionText() << "\n";
  return 0;
}

int ShowCommand(const Args& args) {
  if (args.size() > 2) return UsageError(kVerb, "show takes at most one GROUP");
  const Group* only = nullptr;
  if (args.size() == 2 && (only = FindGroup(args[1])) == nullptr) return UnknownGroup(args[1]);
  if (!Load()) return 1;
  bool first = true;
  for (const Group& group : kGroups) {
    if (only != nullptr && only != &group) continue;
    if (!first) std::cout << "\n";
    first = false;
    ShowGroup(group);
  }
  return 0;
}

int SetCommand(const Args& args) {
  if (args.size() != 4) return UsageError(kVerb, "set takes GROUP NAME VALUE");
  const Group* group = FindGroup(args[1]);
  if (group == nullptr) return UnknownGroup(args[1]);
  const auto watch = WatchTheShell();
  if (!Load()) return 1;
  std::vector<Value> values = group->values();
  for (const Value& value : values) {
    if (!SameName(value.name, args[2])) continue;
    const std::string error = value.set(args[3]);
    if (!error.empty()) return UsageError(kVerb, error);
    SaveOptions();
    std::cout << group->key << "\\" << value.name << " = " << value.show() << " (saved)\n";
    return 0;
  }
  std::string known;
  for (const Value& value : values) known += (known.empty() ? "" : ", ") + value.name;
  return UsageError(kVerb, std::string(group->key) + " has no value '" + args[2] +
                               "'; its values are: " + known);
}

int VersionCommand(const Args& args) {
  if (args.size() != 1) return UsageError(kVerb, "version takes no arguments");
  const std::string version = VersionText();
  if (version.empty()) {
    std::cerr << "qap options: no version stamp in the hive " << RegHivePath()
              << " (run 'qap options load' first)\n";
    return 1;
  }
  std::cout << version << "\n";
  return 0;
}

int Run(const Args& args) {
  if (args.empty()) return UsageError(kVerb, "missing operation");
  const std::string& operation = args[0];
  if (SameName(operation, "load")) return LoadCommand(args);
  if (SameName(operation, "show")) return ShowCommand(args);
  if (SameName(operation, "set")) return SetCommand(args);
  if (SameName(operation, "version")) return VersionCommand(args);
  return UsageError(kVerb, "unknown operation '" + operation + "'");
}

}  // namespace
}  // namespace qap
