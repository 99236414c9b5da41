// FFmpeg reports through av_log; the components report through result
// codes only, so the libraries are kept quiet.
#pragma once

extern "C" {
#include <libavutil/log.h>
}

#include <mutex>

inline void QuietenFfmpeg() {
  static std::once_flag once;
  std::call_once(once, [] { av_log_set_level(AV_LOG_QUIET); });
}
