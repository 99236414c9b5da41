// The classic view's IDispatch: its late-bound members by dispatch id.
#include "shellfolder/mp3db_classic_view.h"
#include "shellfolder/view_dispatch.h"

HRESULT Mp3DbClassicView::GetTypeInfoCount(UINT* count) {
  if (count == nullptr) return E_POINTER;
  *count = 0;
  return S_OK;
}

HRESULT Mp3DbClassicView::GetTypeInfo(UINT, LCID, ITypeInfo** typeInfo) {
  if (typeInfo != nullptr) *typeInfo = nullptr;
  return DISP_E_BADINDEX;
}

HRESULT Mp3DbClassicView::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                        DISPID* dispIds) {
  return cobrell::ViewIDsOfNames(IID_IMp3DbClassicView, iid, names, count, dispIds);
}

HRESULT Mp3DbClassicView::Invoke(DISPID dispId, REFIID iid, LCID, WORD flags,
                                 DISPPARAMS* params, VARIANT* result, EXCEPINFO*,
                                 UINT* argumentError) {
  HRESULT checked = cobrell::CheckViewInvoke(IID_IMp3DbClassicView, dispId, iid, flags, params);
  if (FAILED(checked)) return checked;
  switch (dispId) {
    case 2:
      return Refresh();
    case 3:
      return DestroyView();
    case 6: {
      UINT viewMode = 0;
      UINT viewFlags = 0;
      if (FAILED(checked = cobrell::UnsignedArgument(params, 0, &viewMode, argumentError)) ||
          FAILED(checked = cobrell::UnsignedArgument(params, 1, &viewFlags, argumentError))) {
        return checked;
      }
      return SetCurrentInfo(viewMode, viewFlags);
    }
    case 7: {
      CComVariant path;
      const HRESULT got = GetCurrentPath(&path);
      if (SUCCEEDED(got) && result != nullptr) VariantCopy(result, &path);
      return got;
    }
    case 8:
      return GetSelectedName(result);
    case 9:
      return GetSelectedGUID(result);
    case 10:
      return GetSelectedClass(result);
    case 12:
      return OnEditPaste();
    case 13: {
      BOOL cut = FALSE;
      BOOL done = FALSE;
      if (FAILED(checked = cobrell::BooleanArgument(params, 0, &cut, argumentError))) return checked;
      const HRESULT copied = OnEditCopyCut(cut, &done);
      if (result != nullptr) {
        VariantInit(result);
        result->vt = VT_BOOL;
        result->boolVal = done ? VARIANT_TRUE : VARIANT_FALSE;
      }
      return copied;
    }
    case 14:
      return OnDelete();
    case 15:
      return OnSelectAll();
    case 16:
      return OnInvertSelection();
    case 17:
      return OnEnter();
    case 18:
      return SetFocus();
    case 20:
      return OnEditLabel();
    default:
      return cobrell::kNotLateBound;
  }
}
