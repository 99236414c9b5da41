// Fuzz target: "lbagent.ini" beside the agent, read as the agent reads it
// at its first use, and its three URLs split as the connection splits them
// before it logs in, looks up an upload host or transfers a link.
#include "agent/agent_config.h"

#include <memory>
#include <string>

#include "agent/http_connection.h"
#include "agent/log_file.h"
#include "fuzz/fuzz_support.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string folder = qap::fuzz::Scratch().Path();
  qap::fuzz::WriteInput("lbagent.ini", qap::fuzz::Bytes(data, size));
  // A fresh log for every input: the log starts empty at every run.
  CLogFile log(folder);
  CAgentConfig config(folder, kDefaultLockerHost);
  for (const CString* url :
       {&config.GetAuthUserURL(), &config.GetUploadURL(), &config.GetXferURL()}) {
    CString host, path, scheme;
    CHTTPConnection::SplitUrl(*url, &host, &path, &scheme);
  }
  if (config.GetAppDirectory() != CString(folder))
    qap::fuzz::Fail("the agent's folder is not where the file was read");
  return 0;
}
