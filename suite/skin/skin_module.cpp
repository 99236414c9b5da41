// The skin controls' in-process server: its class objects and its
// registration under HKEY_CLASSES_ROOT\CLSID, where the window system's
// control host finds the module by class identifier.
#include <string>

#include "platform/base/export.h"
#include "platform/base/module_path.h"
#include "platform/com/class_object.h"
#include "platform/com/com_object.h"
#include "platform/com/guid.h"
#include "platform/registry/reg_key.h"
#include "suite/skin/skin_classes.h"
#include "suite/skin/skin_controls.h"

namespace {

using CreateFunction = HRESULT (*)(REFIID, void**);

struct ControlClass {
  const CLSID* clsid;
  const char* name;
  CreateFunction create;
};

const ControlClass kClasses[] = {
    {&CLSID_SkinContainer, "Skin Container", CreateSkinContainer},
    {&CLSID_SkinnedButton, "Skinned Button", CreateSkinnedButton},
    {&CLSID_SkinnedLabel, "Skinned Label", CreateSkinnedLabel},
};

class Factory final : public ComObject<Factory, IClassFactory> {
 public:
  InterfaceTable Interfaces() { return {{&IID_IClassFactory, static_cast<IClassFactory*>(this)}}; }
  HRESULT CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
    if (object == nullptr) return E_POINTER;
    *object = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    return m_create(iid, object);
  }
  // The module stays loaded for the life of the process.
  HRESULT LockServer(BOOL) override { return S_OK; }

 private:
  friend ComObject<Factory, IClassFactory>;
  explicit Factory(CreateFunction create) : m_create(create) {}
  ~Factory() = default;

  CreateFunction m_create;
};

std::string ClassKey(const ControlClass& entry) {
  return "CLSID\\" + GuidToString(*entry.clsid);
}

bool SetString(HKEY key, const char* name, const std::string& text) {
  return RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

}  // namespace

extern "C" QAP_EXPORT HRESULT DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
  if (object == nullptr) return E_POINTER;
  *object = nullptr;
  for (const ControlClass& entry : kClasses) {
    if (IsEqualGUID(clsid, *entry.clsid)) return Factory::NewInstance(iid, object, entry.create);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

extern "C" QAP_EXPORT HRESULT DllRegisterServer() {
  const std::string module = ModulePathOf(reinterpret_cast<const void*>(&DllRegisterServer));
  if (module.empty()) return E_FAIL;
  for (const ControlClass& entry : kClasses) {
    RegKey classKey;
    RegKey server;
    if (classKey.Create(HKEY_CLASSES_ROOT, ClassKey(entry).c_str()) != ERROR_SUCCESS ||
        !SetString(classKey.Get(), nullptr, entry.name) ||
        server.Create(classKey.Get(), "InprocServer32") != ERROR_SUCCESS ||
        !SetString(server.Get(), nullptr, module) ||
        !SetString(server.Get(), "ThreadingModel", "Apartment")) {
      return SELFREG_E_CLASS;
    }
  }
  return S_OK;
}

// Every class is removed even when an earlier one could not be.
extern "C" QAP_EXPORT HRESULT DllUnregisterServer() {
  HRESULT overall = S_OK;
  for (const ControlClass& entry : kClasses) {
    LONG error = RegDeleteTreeA(HKEY_CLASSES_ROOT, ClassKey(entry).c_str());
    if (error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND) overall = SELFREG_E_CLASS;
  }
  return overall;
}
