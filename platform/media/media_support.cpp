// Host paths of the URLs the SDK objects get, and the library set-up.
#include "platform/media/media_support.h"

#include <mutex>

#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/media/av_handles.h"

namespace qap::media {

std::string HostPathOf(LPCWSTR url) {
  if (url == nullptr) return {};
  // Host file names are UTF-8 whatever the system code page says.
  return ToHostPath(WideToAnsi(std::u16string_view(url), CP_UTF8));
}

void QuietenLibraries() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

}  // namespace qap::media
