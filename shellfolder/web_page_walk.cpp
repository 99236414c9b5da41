// The page walks of the web view.
#include "shellfolder/web_page_walk.h"

#include <functional>
#include <string>

#include "platform/com/bstr.h"
#include "shellfolder/page_template.h"

namespace {

constexpr char16_t kListClassId[] = u"clsid:85E85B52-9C8A-11D3-8830-5254ABDE229C";

std::u16string Text(BSTR text) {
  return text != nullptr ? std::u16string(text, SysStringLen(text)) : std::u16string();
}

bool EqualNoAsciiCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char16_t x = a[i] >= u'a' && a[i] <= u'z' ? a[i] - 32 : a[i];
    char16_t y = b[i] >= u'a' && b[i] <= u'z' ? b[i] - 32 : b[i];
    if (x != y) return false;
  }
  return true;
}

std::u16string TagOf(IHTMLElement* element) {
  CComBSTR tag;
  return SUCCEEDED(element->get_tagName(tag.Out())) ? Text(tag.Get()) : std::u16string();
}

// The element's children, elements and comments, in order.
std::vector<ComPtr<IHTMLElement>> ChildrenOf(IHTMLElement* element) {
  std::vector<ComPtr<IHTMLElement>> children;
  ComPtr<IDispatch> dispatch;
  ComPtr<IHTMLElementCollection> collection;
  LONG count = 0;
  if (FAILED(element->get_children(dispatch.Out())) || !dispatch ||
      FAILED(dispatch.As(IID_IHTMLElementCollection, &collection)) ||
      FAILED(collection->get_length(&count))) {
    return children;
  }
  for (LONG i = 0; i < count; ++i) {
    CComVariant index(static_cast<std::int32_t>(i));
    CComVariant none;
    ComPtr<IDispatch> item;
    ComPtr<IHTMLElement> child;
    if (SUCCEEDED(collection->item(index, none, item.Out())) && item &&
        SUCCEEDED(item.As(IID_IHTMLElement, &child))) {
      children.push_back(child);
    }
  }
  return children;
}

// The topmost element of the page: the body's furthest ancestor.
ComPtr<IHTMLElement> RootOf(IHTMLDocument2* document) {
  ComPtr<IHTMLElement> element;
  if (document == nullptr || FAILED(document->get_body(element.Out())) || !element) return nullptr;
  for (;;) {
    ComPtr<IHTMLElement> parent;
    if (FAILED(element->get_parentElement(parent.Out())) || !parent) return element;
    element = parent;
  }
}

// Visits every element below and with element, children before their
// parent; comments are passed over. A visit answering false ends the walk.
bool WalkAfterChildren(IHTMLElement* element, const std::function<bool(IHTMLElement*)>& visit) {
  if (TagOf(element) == u"!") return true;
  for (const ComPtr<IHTMLElement>& child : ChildrenOf(element)) {
    if (!WalkAfterChildren(child.Get(), visit)) return false;
  }
  return visit(element);
}

}  // namespace

ComPtr<IMp3DbClassicView> FindListControl(IHTMLDocument2* document) {
  ComPtr<IHTMLElement> root = RootOf(document);
  ComPtr<IMp3DbClassicView> found;
  if (!root) return found;
  WalkAfterChildren(root.Get(), [&](IHTMLElement* element) {
    if (TagOf(element) != u"OBJECT") return true;
    ComPtr<IHTMLObjectElement> object;
    CComBSTR classId;
    if (FAILED(element->QueryInterface(IID_IHTMLObjectElement, object.OutVoid())) ||
        FAILED(object->get_classid(classId.Out())) ||
        !EqualNoAsciiCase(Text(classId.Get()), kListClassId)) {
      return true;
    }
    ComPtr<IDispatch> control;
    if (SUCCEEDED(object->get_object(control.Out())) && control)
      control.As(IID_IMp3DbClassicView, &found);
    return !found;
  });
  return found;
}

int ReplaceTokenInPage(IHTMLDocument2* document, std::string_view folderText) {
  ComPtr<IHTMLElement> root = RootOf(document);
  int rewritten = 0;
  if (!root) return rewritten;
  WalkAfterChildren(root.Get(), [&](IHTMLElement* element) {
    CComBSTR html;
    if (FAILED(element->get_innerHTML(html.Out()))) return true;
    std::u16string text = Text(html.Get());
    if (!ReplacePathToken(&text, folderText)) return true;
    CComBSTR replaced(text);
    if (SUCCEEDED(element->put_innerHTML(replaced.Get()))) ++rewritten;
    return true;
  });
  return rewritten;
}
