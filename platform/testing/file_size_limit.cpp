// RLIMIT_FSIZE with SIGXFSZ ignored (the signal would end the process; the
// ignored disposition is kept by the programs a test starts).
#include "platform/testing/file_size_limit.h"

#include <gtest/gtest.h>

namespace qap::testing {

FileSizeLimit::FileSizeLimit(std::uint64_t bytes) {
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  EXPECT_EQ(sigaction(SIGXFSZ, &ignore, &m_previousAction), 0);
  EXPECT_EQ(getrlimit(RLIMIT_FSIZE, &m_previous), 0);
  rlimit limit = m_previous;
  limit.rlim_cur = static_cast<rlim_t>(bytes);
  EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
}

FileSizeLimit::~FileSizeLimit() {
  setrlimit(RLIMIT_FSIZE, &m_previous);
  sigaction(SIGXFSZ, &m_previousAction, nullptr);
}

}  // namespace qap::testing
