// qap reg: the registry verbs, shaped like the Windows reg command.
#include <sys/stat.h>

#include <cctype>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry/reg_key.h"
#include "tools/qap/verb.h"

namespace qap {
namespace {

int Run(const Args& args);

const Verb kVerb{
    "reg", "query and change the registry hive (like Windows' reg)",
    "usage: qap reg query KEY [/v NAME | /ve] [/s]\n"
    "       qap reg add KEY [/v NAME | /ve] [/t TYPE] [/s SEP] [/d DATA] [/f]\n"
    "       qap reg delete KEY [/v NAME | /ve | /va] [/f]\n"
    "       qap reg export KEY FILE [/y] [/a]\n"
    "       qap reg import FILE\n\n"
    "KEY is ROOT\\path, ROOT one of HKCU, HKCR, HKLM or HKEY_CURRENT_USER,\n"
    "HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE.\n"
    "  /v NAME  the value NAME        /ve  the key's default value\n"
    "  /va      every value of KEY    /s   query: all subkeys too;\n"
    "                                      add: REG_MULTI_SZ separator (default \\0)\n"
    "  /t TYPE  REG_SZ (default), REG_EXPAND_SZ, REG_MULTI_SZ, REG_DWORD,\n"
    "           REG_QWORD, REG_BINARY, REG_NONE\n"
    "  /d DATA  the data: text, a number (decimal or 0x hex), or hex digits\n"
    "  /f       overwrite or delete without asking\n"
    "  /y       export: overwrite FILE without asking\n"
    "  /a       export: a REGEDIT4 file in the code page, as regedit /a writes\n"
    "           it (without: a 5.00 file in UTF-16LE, as regedit writes it)\n"
    "The hive is $QAP_REGISTRY, else $XDG_CONFIG_HOME/qap/registry.db.\n",
    Run};
const VerbRegistrar kRegistrar(kVerb);

const char* const kNotFound =
    "ERROR: The system was unable to find the specified registry key or value.";
const char* const kDone = "The operation completed successfully.";

struct TypeName {
  const char* name;
  DWORD type;
};
const TypeName kTypes[] = {
    {"REG_NONE", REG_NONE},         {"REG_SZ", REG_SZ},       {"REG_EXPAND_SZ", REG_EXPAND_SZ},
    {"REG_BINARY", REG_BINARY},     {"REG_DWORD", REG_DWORD}, {"REG_MULTI_SZ", REG_MULTI_SZ},
    {"REG_QWORD", REG_QWORD},
};

std::string TypeToName(DWORD type) {
  for (const auto& entry : kTypes) {
    if (entry.type == type) return entry.name;
  }
  return "REG_UNKNOWN(" + std::to_string(type) + ")";
}

std::optional<DWORD> NameToType(std::string name) {
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const auto& entry : kTypes) {
    if (name == entry.name) return entry.type;
  }
  return std::nullopt;
}

// Switches are matched whole (case-insensitive), so a POSIX path such as
// /tmp/x.reg is never taken for one.
struct Options {
  std::vector<std::string> positional;
  std::optional<std::string> valueName;  // "" for /ve
  bool allValues = false;
  bool recurse = false;
  std::optional<std::string> type;
  std::optional<std::string> data;
  std::optional<std::string> separator;
  bool force = false;
  bool overwrite = false;
  bool regedit4 = false;
};

bool IsSwitch(const std::string& arg, const char* name) {
  if (arg.size() != std::strlen(name) + 1 || (arg[0] != '/' && arg[0] != '-')) return false;
  return strcasecmp(arg.c_str() + 1, name) == 0;
}

std::optional<Options> Parse(const Args& args, bool isAdd, std::string* error) {
  Options options;
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    auto next = [&](const char* what) -> std::optional<std::string> {
      if (i + 1 >= args.size()) {
        *error = std::string(arg) + " needs " + what;
        return std::nullopt;
      }
      return args[++i];
    };
    if (IsSwitch(arg, "v")) {
      if (!(options.valueName = next("a value name"))) return std::nullopt;
    } else if (IsSwitch(arg, "ve")) {
      options.valueName = "";
    } else if (IsSwitch(arg, "va")) {
      options.allValues = true;
    } else if (IsSwitch(arg, "s")) {
      // /s is "recurse" for query and "separator" (with an argument) for add.
      if (isAdd) {
        if (!(options.separator = next("a separator"))) return std::nullopt;
      } else {
        options.recurse = true;
      }
    } else if (IsSwitch(arg, "t")) {
      if (!(options.type = next("a type"))) return std::nullopt;
    } else if (IsSwitch(arg, "d")) {
      if (!(options.data = next("data"))) return std::nullopt;
    } else if (IsSwitch(arg, "f")) {
      options.force = true;
    } else if (IsSwitch(arg, "y")) {
      options.overwrite = true;
    } else if (IsSwitch(arg, "a")) {
      options.regedit4 = true;
    } else {
      options.positional.push_back(arg);
    }
  }
  return options;
}

std::string FormatData(DWORD type, const std::vector<BYTE>& data) {
  char buffer[32];
  switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ: {
      std::string text(data.begin(), data.end());
      return text.substr(0, text.find('\0'));
    }
    case REG_MULTI_SZ: {
      std::string out;
      std::string text(data.begin(), data.end());
      size_t pos = 0;
      while (pos < text.size() && text[pos] != '\0') {
        size_t end = text.find('\0', pos);
        if (end == std::string::npos) end = text.size();
        if (!out.empty()) out += "\\0";
        out += text.substr(pos, end - pos);
        pos = end + 1;
      }
      return out;
    }
    case REG_DWORD:
      if (data.size() == 4) {
        DWORD value;
        std::memcpy(&value, data.data(), 4);
        std::snprintf(buffer, sizeof buffer, "0x%x", value);
        return buffer;
      }
      break;
    case REG_QWORD:
      if (data.size() == 8) {
        ULONGLONG value;
        std::memcpy(&value, data.data(), 8);
        std::snprintf(buffer, sizeof buffer, "0x%llx", static_cast<unsigned long long>(value));
        return buffer;
      }
      break;
    default:
      break;
  }
  std::string out;
  for (BYTE b : data) {
    std::snprintf(buffer, sizeof buffer, "%02X", b);
    out += buffer;
  }
  return out;
}

bool ReadValue(HKEY key, DWORD index, std::string* name, DWORD* type, std::vector<BYTE>* data) {
  DWORD nameSize = 0;
  DWORD dataSize = 0;
  DWORD maxName = 0;
  DWORD maxData = 0;
  if (RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       &maxName, &maxData, nullptr, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  std::vector<char> nameBuffer(maxName + 1);
  data->assign(maxData, 0);
  nameSize = maxName + 1;
  dataSize = maxData;
  if (RegEnumValueA(key, index, nameBuffer.data(), &nameSize, nullptr, type, data->data(),
                    &dataSize) != ERROR_SUCCESS) {
    return false;
  }
  name->assign(nameBuffer.data(), nameSize);
  data->resize(dataSize);
  return true;
}

void PrintValue(const std::string& name, DWORD type, const std::vector<BYTE>& data) {
  std::cout << "    " << (name.empty() ? "(Default)" : name) << "    " << TypeToName(type)
            << "    " << FormatData(type, data) << "\n";
}

std::vector<std::string> SubKeyNames(HKEY key) {
  std::vector<std::string> names;
  char name[1024];
  for (DWORD index = 0;; ++index) {
    DWORD size = sizeof name;
    if (RegEnumKeyExA(key, index, name, &size, nullptr, nullptr, nullptr, nullptr) !=
        ERROR_SUCCESS) {
      break;
    }
    names.emplace_back(name, size);
  }
  return names;
}

// Prints one key as reg does; returns the number of values shown.
int QueryKey(HKEY key, const std::string& fullName, const Options& options) {
  int shown = 0;
  std::cout << "\n" << fullName << "\n";
  std::string name;
  DWORD type = 0;
  std::vector<BYTE> data;
  for (DWORD index = 0; ReadValue(key, index, &name, &type, &data); ++index) {
    if (options.valueName && strcasecmp(name.c_str(), options.valueName->c_str()) != 0) continue;
    PrintValue(name, type, data);
    ++shown;
  }
  for (const auto& sub : SubKeyNames(key)) {
    std::string subName = fullName + "\\" + sub;
    if (!options.recurse) {
      if (!options.valueName) std::cout << subName << "\n";
      continue;
    }
    RegKey child;
    if (child.Open(key, sub.c_str()) == ERROR_SUCCESS) shown += QueryKey(child.Get(), subName, options);
  }
  return shown;
}

bool OpenNamedKey(const std::string& fullName, RegKey* key, bool create, std::string* error) {
  HKEY root = nullptr;
  std::string path;
  if (!RegParseKeyName(fullName, &root, &path)) {
    *error = "ERROR: Invalid key name '" + fullName +
             "': it must start with HKCU, HKCR, HKLM or their long names.";
    return false;
  }
  LONG result = create ? key->Create(root, path.c_str()) : key->Open(root, path.c_str(), KEY_ALL_ACCESS);
  if (result != ERROR_SUCCESS) {
    std::string hiveError = RegHiveError();
    *error = !hiveError.empty() ? "ERROR: " + hiveError : kNotFound;
    return false;
  }
  return true;
}

int Query(const Options& options) {
  if (options.positional.size() != 1) return UsageError(kVerb, "query takes one KEY");
  RegKey key;
  std::string error;
  if (!OpenNamedKey(options.positional[0], &key, false, &error)) {
    std::cerr << error << "\n";
    return 1;
  }
  int shown = QueryKey(key.Get(), options.positional[0], options);
  if (options.valueName && shown == 0) {
    std::cerr << kNotFound << "\n";
    return 1;
  }
  if (options.recurse) std::cout << "End of search: " << shown << " match(es) found.\n";
  return 0;
}

std::optional<std::vector<BYTE>> EncodeData(DWORD type, const std::string& text,
                                            const std::string& separator, std::string* error) {
  std::vector<BYTE> data;
  auto number = [&](bool wide) -> bool {
    errno = 0;
    char* end = nullptr;
    unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (text.empty() || *end != '\0' || errno != 0 || text[0] == '-' ||
        (!wide && value > 0xFFFFFFFFull)) {
      *error = "'" + text + "' is not a valid " + (wide ? "REG_QWORD" : "REG_DWORD") + " number";
      return false;
    }
    data.resize(wide ? 8 : 4);
    if (wide) {
      std::memcpy(data.data(), &value, 8);
    } else {
      DWORD small = static_cast<DWORD>(value);
      std::memcpy(data.data(), &small, 4);
    }
    return true;
  };
  switch (type) {
    case REG_DWORD:
      if (!number(false)) return std::nullopt;
      return data;
    case REG_QWORD:
      if (!number(true)) return std::nullopt;
      return data;
    case REG_MULTI_SZ: {
      std::string sep = separator.empty() ? "\\0" : separator;
      size_t pos = 0;
      while (pos <= text.size() && !text.empty()) {
        size_t end = text.find(sep, pos);
        if (end == std::string::npos) end = text.size();
        data.insert(data.end(), text.begin() + static_cast<long>(pos), text.begin() + static_cast<long>(end));
        data.push_back(0);
        pos = end + sep.size();
      }
      data.push_back(0);
      return data;
    }
    case REG_SZ:
    case REG_EXPAND_SZ:
      data.assign(text.begin(), text.end());
      data.push_back(0);
      return data;
    default:
      if (text.size() % 2 != 0) {
        *error = "binary data must be an even number of hex digits";
        return std::nullopt;
      }
      for (size_t i = 0; i < text.size(); i += 2) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i])) ||
            !std::isxdigit(static_cast<unsigned char>(text[i + 1]))) {
          *error = "'" + text + "' is not hex digits";
          return std::nullopt;
        }
        data.push_back(static_cast<BYTE>(std::stoi(text.substr(i, 2), nullptr, 16)));
      }
      return data;
  }
}

int Add(const Options& options) {
  if (options.positional.size() != 1) return UsageError(kVerb, "add takes one KEY");
  DWORD type = REG_SZ;
  if (options.type) {
    auto parsed = NameToType(*options.type);
    if (!parsed) return UsageError(kVerb, "unknown type '" + *options.type + "'");
    type = *parsed;
  }
  std::string encodeError;
  std::optional<std::vector<BYTE>> data;
  if (options.valueName || options.data) {
    data = EncodeData(type, options.data.value_or(""), options.separator.value_or(""), &encodeError);
    if (!data) return UsageError(kVerb, encodeError);
  }
  RegKey key;
  std::string error;
  if (!OpenNamedKey(options.positional[0], &key, true, &error)) {
    std::cerr << error << "\n";
    return 1;
  }
  if (data) {
    std::string name = options.valueName.value_or("");
    if (!options.force &&
        RegQueryValueExA(key.Get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
            ERROR_SUCCESS &&
        !Confirm("Value " + (name.empty() ? std::string("(Default)") : name) +
                 " exists, overwrite")) {
      std::cerr << "The value exists; nothing changed (add /f to overwrite).\n";
      return 1;
    }
    LONG result = RegSetValueExA(key.Get(), name.c_str(), 0, type, data->data(),
                                 static_cast<DWORD>(data->size()));
    if (result != ERROR_SUCCESS) {
      std::cerr << "ERROR: could not set the value (error " << result << ").\n";
      return 1;
    }
  }
  if (RegFlushKey(key.Get()) != ERROR_SUCCESS) {
    std::cerr << "ERROR: could not write the hive " << RegHivePath() << ".\n";
    return 1;
  }
  std::cout << kDone << "\n";
  return 0;
}

int Delete(const Options& options) {
  if (options.positional.size() != 1) return UsageError(kVerb, "delete takes one KEY");
  const std::string& fullName = options.positional[0];
  HKEY root = nullptr;
  std::string path;
  if (!RegParseKeyName(fullName, &root, &path)) {
    return UsageError(kVerb, "invalid key name '" + fullName + "'");
  }
  RegKey key;
  std::string error;
  if (!OpenNamedKey(fullName, &key, false, &error)) {
    std::cerr << error << "\n";
    return 1;
  }
  LONG result = ERROR_SUCCESS;
  if (options.valueName) {
    const std::string& name = *options.valueName;
    if (!options.force &&
        !Confirm("Delete the registry value " + (name.empty() ? std::string("(Default)") : name))) {
      std::cerr << "Nothing deleted (add /f to delete without asking).\n";
      return 1;
    }
    result = RegDeleteValueA(key.Get(), name.c_str());
  } else if (options.allValues) {
    if (!options.force && !Confirm("Delete all values under the registry key " + fullName)) {
      std::cerr << "Nothing deleted (add /f to delete without asking).\n";
      return 1;
    }
    std::vector<std::string> names;
    std::string name;
    DWORD type = 0;
    std::vector<BYTE> data;
    for (DWORD index = 0; ReadValue(key.Get(), index, &name, &type, &data); ++index) {
      names.push_back(name);
    }
    for (const auto& each : names) {
      if (result == ERROR_SUCCESS) result = RegDeleteValueA(key.Get(), each.c_str());
    }
  } else {
    if (path.empty()) return UsageError(kVerb, "a root key cannot be deleted");
    if (!options.force && !Confirm("Permanently delete the registry key " + fullName)) {
      std::cerr << "Nothing deleted (add /f to delete without asking).\n";
      return 1;
    }
    key.Reset();
    result = RegDeleteTreeA(root, path.c_str());
  }
  if (result != ERROR_SUCCESS) {
    std::cerr << (result == ERROR_FILE_NOT_FOUND ? kNotFound : "ERROR: the delete failed.") << "\n";
    return 1;
  }
  RegFlushKey(root);
  std::cout << kDone << "\n";
  return 0;
}

int Export(const Options& options) {
  if (options.positional.size() != 2) return UsageError(kVerb, "export takes KEY and FILE");
  const std::string& file = options.positional[1];
  struct stat info {};
  if (!options.overwrite && stat(file.c_str(), &info) == 0 &&
      !Confirm("File " + file + " already exists. Overwrite")) {
    std::cerr << "The file exists; nothing written (add /y to overwrite).\n";
    return 1;
  }
  std::string error;
  const RegFileFormat format =
      options.regedit4 ? RegFileFormat::kRegedit4 : RegFileFormat::kVersion5;
  if (RegExportKey(options.positional[0], file, &error, format) != ERROR_SUCCESS) {
    std::cerr << "ERROR: " << error << "\n";
    return 1;
  }
  std::cout << kDone << "\n";
  return 0;
}

int Import(const Options& options) {
  if (options.positional.size() != 1) return UsageError(kVerb, "import takes one FILE");
  std::string error;
  if (RegImportFile(options.positional[0], &error) != ERROR_SUCCESS) {
    std::cerr << "ERROR: " << error << "\n";
    return 1;
  }
  std::cout << kDone << "\n";
  return 0;
}

int Run(const Args& args) {
  if (args.empty()) return UsageError(kVerb, "missing operation");
  std::string operation = args[0];
  for (char& c : operation) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  std::string error;
  auto options = Parse(args, operation == "add", &error);
  if (!options) return UsageError(kVerb, error);
  if (operation == "query") return Query(*options);
  if (operation == "add") return Add(*options);
  if (operation == "delete") return Delete(*options);
  if (operation == "export") return Export(*options);
  if (operation == "import") return Import(*options);
  return UsageError(kVerb, "unknown operation '" + args[0] + "'");
}

}  // namespace
}  // namespace qap
