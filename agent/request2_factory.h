// The class object of Request2: a singleton factory that makes the one
// CRequest2 of the server when it is itself made, and answers every creation
// request with that instance.
#pragma once

#include <memory>

#include "agent/request2.h"
#include "platform/com/com_object.h"

class CRequest2ClassFactory final : public ComObject<CRequest2ClassFactory, IClassFactory> {
 public:
  // Constructs the instance; a construction that fails is remembered and
  // answered to every creation request.
  explicit CRequest2ClassFactory(const Request2Options& options);
  CRequest2ClassFactory(const CRequest2ClassFactory&) = delete;
  CRequest2ClassFactory& operator=(const CRequest2ClassFactory&) = delete;

  // The last release destroys the factory and with it the instance.
  InterfaceTable Interfaces() { return {{&IID_IClassFactory, this}}; }
  // CLASS_E_NOAGGREGATION for an outer object; else the instance's answer to
  // iid.
  HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
  HRESULT LockServer(BOOL lock) override;

  // Null when the construction failed.
  CRequest2* Instance() const { return m_instance.get(); }

 private:
  friend ComObject<CRequest2ClassFactory, IClassFactory>;
  ~CRequest2ClassFactory() = default;

  IServerLock* m_serverLock;
  HRESULT m_error = S_OK;
  std::unique_ptr<CRequest2> m_instance;
};
