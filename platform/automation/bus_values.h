// What the server and the client side of the transport share: the session
// bus connection, the bus daemon's own name, and the conversion of VARIANTs
// and HRESULTs to and from bus values and errors. Internal to the transport
// (it speaks sdbus-c++ types); not installed for callers.
#pragma once

#include <sdbus-c++/sdbus-c++.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/com/dispatch.h"

namespace qap::automation {

// The interface of the reference methods AddRef and Release.
constexpr const char* kReferenceInterface = "org.qap.Automation";
// The bus error that carries a failed call's HRESULT in its message.
constexpr const char* kFailureName = "org.qap.Automation.Error";
constexpr const char* kBusName = "org.freedesktop.DBus";
constexpr const char* kBusPath = "/org/freedesktop/DBus";

// Explicitly the session bus: the default bus of a process running as root
// is the system bus. Throws sdbus::Error when it cannot be reached.
std::unique_ptr<sdbus::IConnection> ConnectSessionBus();

// Writes value as the bus type code (s, i, n, u, q, y, b or v), converting
// it first; DISP_E_BADVARTYPE or the conversion's failure when it cannot.
HRESULT WriteValue(sdbus::Message& message, char type, const VARIANT& value);
// Reads one value of the bus type code into out (initialised here).
HRESULT ReadValue(sdbus::Message& message, char type, VARIANT* out);

// The arguments of one call or event, in call order, owned; Params() lays
// them out as IDispatch wants them (last argument first).
class Arguments {
 public:
  Arguments() = default;
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;
  ~Arguments();

  // Reads one value per type code of signature.
  HRESULT Read(sdbus::Message& message, const std::string& signature);
  DISPPARAMS Params();

 private:
  std::vector<VARIANT> m_values;
  // Shallow copies: m_values owns what they point to.
  std::vector<VARIANT> m_reversed;
};

// A failed call's reply: its HRESULT as the message of kFailureName.
sdbus::Error FailureOf(HRESULT hr);
// The HRESULT a bus error stands for: the one a server sent, or what the
// bus's own errors mean for a caller.
HRESULT HResultOf(const sdbus::Error& error);

}  // namespace qap::automation
