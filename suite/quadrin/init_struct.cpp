// Defaults of the options record and its filling from the Options library.
#include "suite/quadrin/init_struct.h"

#include <cstdlib>
#include <cstring>

#include "options/option_interfaces.h"
#include "platform/base/codepage.h"
#include "platform/base/export.h"
#include "platform/base/text_field.h"

namespace quadrin {

TQuadrinInitStruct DefaultInitStruct() {
  TQuadrinInitStruct init;
  std::memset(&init, 0, sizeof init);
  init.value40 = 10000;
  init.value44 = 10000;
  init.value56 = 2;
  init.bitRateKbps = 96;
  init.value64 = 16;
  init.mp3BitRateKbps = 128;
  init.value72 = 0;
  init.value76 = 0;
  init.value80 = 1;
  CopyToField(init.filterName, sizeof init.filterName, "FakeFilter");
  return init;
}

std::string DefaultTempFolder() {
  const char* tmp = std::getenv("TMPDIR");
  // A folder that does not fit the record is no use to the hosts.
  const std::string folder =
      tmp != nullptr && *tmp != '\0' ? Utf8ToAnsi(tmp) : std::string("/tmp");
  return folder.size() < MAX_PATH ? folder : "/tmp";
}

std::string TempFolderOf(const TQuadrinInitStruct& init) {
  const std::string_view folder = FieldText(init.tempFolder, sizeof init.tempFolder);
  return folder.empty() ? DefaultTempFolder() : std::string(folder);
}

}  // namespace quadrin

extern "C" QAP_EXPORT std::int32_t ConvertOptionsToTQuadrinInitStruct(IRecordingOption* options,
                                                                      TQuadrinInitStruct* init) {
  if (options == nullptr || init == nullptr) return kQuadrinFailed;
  try {
    TQuadrinInitStruct filled = quadrin::DefaultInitStruct();
    filled.bitRateKbps = options->GetWMA_KBPS();
    filled.mp3BitRateKbps = options->GetCBR_KBPS();
    CopyToField(filled.tempFolder, sizeof filled.tempFolder, quadrin::DefaultTempFolder());
    *init = filled;
    return kQuadrinOk;
  } catch (...) {
    return kQuadrinFailed;
  }
}
