// The singleton class factory.
#include "agent/request2_factory.h"

#include <new>
#include <system_error>

CRequest2ClassFactory::CRequest2ClassFactory(const Request2Options& options)
    : m_serverLock(options.serverLock) {
  try {
    m_instance = std::make_unique<CRequest2>(options);
  } catch (const std::bad_alloc&) {
    m_error = E_OUTOFMEMORY;
  } catch (const std::system_error&) {
    m_error = E_FAIL;
  }
}

HRESULT CRequest2ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  if (!m_instance) return m_error;
  return m_instance->QueryInterface(iid, object);
}

HRESULT CRequest2ClassFactory::LockServer(BOOL lock) {
  if (m_serverLock != nullptr) {
    if (lock) {
      m_serverLock->Lock();
    } else {
      m_serverLock->Unlock();
    }
  }
  return S_OK;
}
