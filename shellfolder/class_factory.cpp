// Class objects and the module's two plain entry points for hosts:
// DllGetClassObject and DllCanUnloadNow.
#include "shellfolder/class_factory.h"

#include <new>

#include "shellfolder/cobrell.h"
#include "shellfolder/enum_id_list.h"
#include "shellfolder/module.h"
#include "shellfolder/mp3db_shell_folder.h"

HRESULT ClassFactory::Create(CreateFunction create, REFIID iid, void** object) {
  auto* factory = new (std::nothrow) ClassFactory(create);
  if (factory == nullptr) return E_OUTOFMEMORY;
  const HRESULT result = factory->QueryInterface(iid, object);
  factory->Release();
  return result;
}

HRESULT ClassFactory::QueryInterface(REFIID iid, void** object) {
  auto* self = static_cast<IClassFactory*>(this);
  return QueryInterfaceFromTable(self, {{&IID_IUnknown, self}, {&IID_IClassFactory, self}}, iid,
                                 object);
}

HRESULT ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (outer != nullptr) return CLASS_E_NOAGGREGATION;
  return m_create(iid, object);
}

HRESULT ClassFactory::LockServer(BOOL lock) {
  if (lock) {
    cobrell::LockModule();
  } else {
    cobrell::UnlockModule();
  }
  return S_OK;
}

HRESULT DllGetClassObject(REFCLSID classId, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  if (classId == CLSID_Mp3DbShellFolder) {
    return ClassFactory::Create(&Mp3DbShellFolder::Create, iid, object);
  }
  if (classId == CLSID_EnumIDList) {
    return ClassFactory::Create(static_cast<ClassFactory::CreateFunction>(&EnumIDList::Create), iid,
                                object);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT DllCanUnloadNow() { return cobrell::CanUnloadModule() ? S_OK : S_FALSE; }
