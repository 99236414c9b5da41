// The objects a page hands out for its document, its elements and their
// collections. Each holds the page and its node, so it stays usable (and
// safe) after markup around it was replaced or the control has gone.
#pragma once

#include <memory>

#include "platform/shell/web_browser_interfaces.h"
#include "platform/shell/web_page.h"

// IDispatch's name members for objects reached only through their own
// interface: no names, so no dispatch identifiers to invoke.
template <typename Interface>
class WithoutDispatchNames : public WithoutTypeInfo<Interface> {
 public:
  HRESULT GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID* ids) override {
    if (ids != nullptr) *ids = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  HRESULT Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return DISP_E_MEMBERNOTFOUND;
  }
};

HRESULT CreateHtmlDocument(std::shared_ptr<WebPage> page, IHTMLDocument2** document);
