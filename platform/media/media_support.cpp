// Host paths of the URLs the SDK objects get, and the library set-up.
#include "platform/media/media_support.h"

#include <mutex>

#include "platform/base/codepage.h"
#include "platform/base/paths.h"
#include "platform/media/av_handles.h"

namespace qap::media {

std::string HostPathOf(LPCWSTR url) {
  if (url == nullptr) return {};
  // The SDK's wide URL came from a program path in the system code page.
  return ToHostPath(WideToAnsi(std::u16string_view(url)));
}

void QuietenLibraries() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}

}  // namespace qap::media
