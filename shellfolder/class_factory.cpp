// Class objects and the module's two plain entry points for hosts:
// DllGetClassObject and DllCanUnloadNow.
#include "shellfolder/class_factory.h"

#include "shellfolder/cobrell.h"
#include "shellfolder/enum_id_list.h"
#include "shellfolder/module.h"
#include "shellfolder/mp3db_classic_view.h"
#include "shellfolder/mp3db_def_view.h"
#include "shellfolder/mp3db_shell_folder.h"
#include "shellfolder/mp3db_web_view.h"

HRESULT ClassFactory::Create(CreateFunction create, REFIID iid, void** object) {
  return NewInstance(iid, object, create);
}

InterfaceTable ClassFactory::Interfaces() {
  return {{&IID_IClassFactory, static_cast<IClassFactory*>(this)}};
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
  // The view classes a host may make by themselves; the shell view is only
  // ever made by its folder.
  if (classId == CLSID_Mp3DbDefView) return ClassFactory::Create(&Mp3DbDefView::Create, iid, object);
  if (classId == CLSID_Mp3DbClassicView)
    return ClassFactory::Create(&Mp3DbClassicView::Create, iid, object);
  if (classId == CLSID_Mp3DbWebView) return ClassFactory::Create(&Mp3DbWebView::Create, iid, object);
  if (classId == CLSID_EnumIDList) {
    return ClassFactory::Create(static_cast<ClassFactory::CreateFunction>(&EnumIDList::Create), iid,
                                object);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT DllCanUnloadNow() { return cobrell::CanUnloadModule() ? S_OK : S_FALSE; }
