// The skin container: one per dialog, windowless. The dialog names the
// skin file; buttons and labels handed the container take their look from
// what it read. A file that gives no skin leaves the desktop's look.
#include "suite/skin/skin_classes.h"

#include "platform/com/com_object.h"
#include "suite/skin/control_dispatch.h"
#include "suite/skin/skin_controls.h"

namespace {

constexpr DispatchName kNames[] = {{"SkinFile", kSkinFileId}};

class SkinContainer final
    : public ComObject<SkinContainer, WithoutTypeInfo<IDispatch>, ISkinSource> {
 public:
  InterfaceTable Interfaces() {
    return {{&IID_IDispatch, static_cast<IDispatch*>(this)},
            {&IID_ISkinSource, static_cast<ISkinSource*>(this)}};
  }

  HRESULT GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return IdsOfNames(kNames, names, count, ids);
  }

  HRESULT Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                 EXCEPINFO*, UINT* argumentError) override {
    if (id != kSkinFileId) return DISP_E_MEMBERNOTFOUND;
    if ((flags & DISPATCH_PROPERTYPUT) == 0) return ReturnText(m_file, result);
    HRESULT outcome = TextArgument(params, &m_file, argumentError);
    if (SUCCEEDED(outcome)) m_loaded = LoadSkinFile(m_file, &m_skin);
    return outcome;
  }

  const Skin* CurrentSkin() override { return m_loaded ? &m_skin : nullptr; }

 private:
  friend ComObject<SkinContainer, WithoutTypeInfo<IDispatch>, ISkinSource>;
  SkinContainer() = default;
  ~SkinContainer() = default;

  std::string m_file;
  Skin m_skin;
  bool m_loaded = false;
};

}  // namespace

HRESULT CreateSkinContainer(REFIID iid, void** object) {
  return SkinContainer::NewInstance(iid, object);
}
