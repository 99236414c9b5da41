// What the qap agent commands share across their files: how failures are
// told, the login test, and the upload command.
#pragma once

#include <string>

#include "agent/irequest2.h"
#include "tools/qap/verb.h"

namespace qap {

// Prints "qap agent: message"; returns 1.
int AgentFailed(const std::string& message);
// A call that failed on the bus: names the method and the result.
int AgentCallFailed(const char* method, HRESULT hr);
bool AgentLoggedIn(IRequest2& agent);

// qap agent upload PATH...: queues the paths and follows each file the
// agent queued to its end.
int UploadCommand(IRequest2& agent, const Args& args);

}  // namespace qap
