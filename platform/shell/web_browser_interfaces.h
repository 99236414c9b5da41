// The web browser control's interfaces, named as the system's browser
// names them: the control (IWebBrowser2) with its events
// (DWebBrowserEvents2), the document it shows (IHTMLDocument2), its
// elements (IHTMLElement, IHTMLObjectElement) and their collections
// (IHTMLElementCollection). Each offers the members this platform's control
// carries out, in an order of its own (pinned by the slot tests): only
// modules built against this header call them. All are dual, IDispatch
// first; names resolve through GetIDsOfNames alone.
#pragma once

#include "platform/com/dispatch.h"
#include "platform/com/variant.h"
#include "platform/ui/ui_types.h"

// {8856F961-340A-11D0-A96B-00C04FD705A2}
constexpr CLSID CLSID_WebBrowser{
    0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};
// {D30C1661-CDAF-11D0-8A3E-00C04FC9E26E}
constexpr IID IID_IWebBrowser2{
    0xD30C1661, 0xCDAF, 0x11D0, {0x8A, 0x3E, 0x00, 0xC0, 0x4F, 0xC9, 0xE2, 0x6E}};
// {34A715A0-6587-11D0-924A-0020AFC7AC4D}
constexpr IID DIID_DWebBrowserEvents2{
    0x34A715A0, 0x6587, 0x11D0, {0x92, 0x4A, 0x00, 0x20, 0xAF, 0xC7, 0xAC, 0x4D}};
// {332C4425-26CB-11D0-B483-00C04FD90119}
constexpr IID IID_IHTMLDocument2{
    0x332C4425, 0x26CB, 0x11D0, {0xB4, 0x83, 0x00, 0xC0, 0x4F, 0xD9, 0x01, 0x19}};
// {3050F1FF-98B5-11CF-BB82-00AA00BDCE0B}
constexpr IID IID_IHTMLElement{
    0x3050F1FF, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
// {3050F21F-98B5-11CF-BB82-00AA00BDCE0B}
constexpr IID IID_IHTMLElementCollection{
    0x3050F21F, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};
// {3050F24F-98B5-11CF-BB82-00AA00BDCE0B}
constexpr IID IID_IHTMLObjectElement{
    0x3050F24F, 0x98B5, 0x11CF, {0xBB, 0x82, 0x00, 0xAA, 0x00, 0xBD, 0xCE, 0x0B}};

// DWebBrowserEvents2's events. NavigateComplete2 and DocumentComplete come
// with two arguments, in call order (rgvarg holds them reversed): the
// control's IDispatch (VT_DISPATCH) and the page's URL (VT_VARIANT |
// VT_BYREF, pointing at a VT_BSTR).
constexpr DISPID DISPID_NAVIGATECOMPLETE2 = 252;
constexpr DISPID DISPID_DOCUMENTCOMPLETE = 259;

using READYSTATE = int;
constexpr READYSTATE READYSTATE_UNINITIALIZED = 0;
constexpr READYSTATE READYSTATE_LOADING = 1;
constexpr READYSTATE READYSTATE_COMPLETE = 4;

class IHTMLElementCollection : public IDispatch {
 public:
  virtual HRESULT get_length(LONG* length) = 0;
  // name VT_I4 (or a number as text): the element at that index; VT_BSTR:
  // the element whose id or name it is (the index-th such one when index is
  // VT_I4). S_OK with *element null when there is none.
  virtual HRESULT item(VARIANT name, VARIANT index, IDispatch** element) = 0;
};

class IHTMLElement : public IDispatch {
 public:
  // Upper case ("OBJECT"); "!" for a comment.
  virtual HRESULT get_tagName(BSTR* tag) = 0;
  virtual HRESULT get_id(BSTR* id) = 0;
  // VT_BSTR, or VT_NULL when the element has no such attribute.
  virtual HRESULT getAttribute(BSTR name, LONG flags, VARIANT* value) = 0;
  virtual HRESULT get_innerHTML(BSTR* html) = 0;
  // Re-parses html into the element's children: controls of OBJECT
  // elements that go are destroyed, those that come are created.
  virtual HRESULT put_innerHTML(BSTR html) = 0;
  virtual HRESULT get_innerText(BSTR* text) = 0;
  virtual HRESULT get_outerHTML(BSTR* html) = 0;
  virtual HRESULT get_parentElement(IHTMLElement** parent) = 0;
  // The element's children: elements and comments, an
  // IHTMLElementCollection.
  virtual HRESULT get_children(IDispatch** children) = 0;
  // Every element and comment below it, in document order.
  virtual HRESULT get_all(IDispatch** all) = 0;
};

class IHTMLObjectElement : public IDispatch {
 public:
  // The embedded control's IDispatch; E_FAIL while it has none.
  virtual HRESULT get_object(IDispatch** control) = 0;
  virtual HRESULT get_classid(BSTR* classId) = 0;
};

class IHTMLDocument2 : public IDispatch {
 public:
  // Every element and comment of the page, in document order.
  virtual HRESULT get_all(IHTMLElementCollection** all) = 0;
  virtual HRESULT get_body(IHTMLElement** body) = 0;
  virtual HRESULT get_title(BSTR* title) = 0;
  virtual HRESULT get_URL(BSTR* url) = 0;
  virtual HRESULT get_readyState(BSTR* state) = 0;
};

class IWebBrowser2 : public IDispatch {
 public:
  // url: a path (program form, mapped to the host) or a file: URL. The page
  // is read and parsed at once, and a file that cannot be read or holds no
  // HTML fails the call; its controls are made and DocumentComplete is
  // fired once the call has returned, when the thread's messages run.
  // targetFrame ("_self" or none) is the only frame there is; the other
  // arguments are accepted and passed over.
  virtual HRESULT Navigate(BSTR url, VARIANT* flags, VARIANT* targetFrame, VARIANT* postData,
                           VARIANT* headers) = 0;
  virtual HRESULT Refresh() = 0;
  // The IHTMLDocument2 of the page shown; E_FAIL before the first Navigate.
  virtual HRESULT get_Document(IDispatch** document) = 0;
  virtual HRESULT get_LocationURL(BSTR* url) = 0;
  virtual HRESULT get_ReadyState(READYSTATE* state) = 0;
  virtual HRESULT get_HWND(LONG_PTR* window) = 0;
};
