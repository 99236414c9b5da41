// The document, element and collection objects over the page's tree.
#include "platform/shell/html_elements.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <vector>

#include "platform/base/codepage.h"
#include "platform/com/com_object.h"
#include "platform/com/com_ptr.h"
#include "platform/ui/ole/control_host.h"

namespace {

using NodeList = std::vector<std::shared_ptr<HtmlNode>>;

HRESULT ReturnText(const std::string& utf8, BSTR* out) {
  if (out == nullptr) return E_POINTER;
  const std::u16string wide = AnsiToWide(utf8, CP_UTF8);
  *out = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  return *out != nullptr || wide.empty() ? S_OK : E_OUTOFMEMORY;
}

std::string Utf8Of(BSTR text) {
  return text != nullptr ? WideToAnsi(std::u16string_view(text, SysStringLen(text)), CP_UTF8)
                         : std::string();
}

bool Shown(const HtmlNode& node) { return node.kind != HtmlNode::Kind::kText; }

void Descendants(const HtmlNode& node, NodeList* out) {
  for (const auto& child : node.children) {
    if (!Shown(*child)) continue;
    out->push_back(child);
    Descendants(*child, out);
  }
}

HRESULT WrapElement(const std::shared_ptr<WebPage>& page, std::shared_ptr<HtmlNode> node,
                    REFIID iid, void** out);
HRESULT WrapCollection(const std::shared_ptr<WebPage>& page, NodeList nodes, REFIID iid,
                       void** out);

class HtmlCollection final
    : public ComObject<HtmlCollection, WithoutDispatchNames<IHTMLElementCollection>> {
 public:
  InterfaceTable Interfaces() {
    return {{&IID_IHTMLElementCollection, static_cast<IHTMLElementCollection*>(this)},
            {&IID_IDispatch, static_cast<IDispatch*>(this)}};
  }

  HRESULT get_length(LONG* length) override {
    if (length == nullptr) return E_POINTER;
    *length = static_cast<LONG>(m_nodes.size());
    return S_OK;
  }

  HRESULT item(VARIANT name, VARIANT index, IDispatch** element) override {
    if (element == nullptr) return E_POINTER;
    *element = nullptr;
    long position = -1;
    if (name.vt == VT_I4 || name.vt == VT_I2 || name.vt == VT_INT) {
      position = name.vt == VT_I2 ? name.iVal : name.lVal;
    } else if (name.vt == VT_BSTR) {
      const std::string wanted = Utf8Of(name.bstrVal);
      char* end = nullptr;
      const long number = std::strtol(wanted.c_str(), &end, 10);
      if (!wanted.empty() && *end == '\0') {
        position = number;
      } else {
        // The index-th element whose id or name is the one asked for.
        long skip = index.vt == VT_I4 ? index.lVal : 0;
        for (const auto& node : m_nodes) {
          const std::string* id = node->Attribute("id");
          const std::string* named = node->Attribute("name");
          if ((id == nullptr || *id != wanted) && (named == nullptr || *named != wanted)) continue;
          if (skip-- > 0) continue;
          return WrapElement(m_page, node, IID_IDispatch, reinterpret_cast<void**>(element));
        }
        return S_OK;
      }
    } else {
      return E_INVALIDARG;
    }
    if (position < 0 || position >= static_cast<long>(m_nodes.size())) return S_OK;
    return WrapElement(m_page, m_nodes[static_cast<size_t>(position)], IID_IDispatch,
                       reinterpret_cast<void**>(element));
  }

 private:
  friend ComObject<HtmlCollection, WithoutDispatchNames<IHTMLElementCollection>>;
  HtmlCollection(std::shared_ptr<WebPage> page, NodeList nodes)
      : m_page(std::move(page)), m_nodes(std::move(nodes)) {}
  ~HtmlCollection() = default;

  std::shared_ptr<WebPage> m_page;
  NodeList m_nodes;
};

class HtmlElement final : public ComObject<HtmlElement, WithoutDispatchNames<IHTMLElement>,
                                           WithoutDispatchNames<IHTMLObjectElement>> {
 public:
  InterfaceTable Interfaces() {
    auto* element = static_cast<IHTMLElement*>(this);
    if (m_node->kind == HtmlNode::Kind::kElement && m_node->name == "object") {
      return {{&IID_IHTMLElement, element},
              {&IID_IDispatch, static_cast<IDispatch*>(element)},
              {&IID_IHTMLObjectElement, static_cast<IHTMLObjectElement*>(this)}};
    }
    return {{&IID_IHTMLElement, element}, {&IID_IDispatch, static_cast<IDispatch*>(element)}};
  }

  HRESULT get_tagName(BSTR* tag) override {
    if (m_node->kind == HtmlNode::Kind::kComment) return ReturnText("!", tag);
    std::string upper = m_node->name;
    std::transform(upper.begin(), upper.end(), upper.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return ReturnText(upper, tag);
  }

  HRESULT get_id(BSTR* id) override {
    const std::string* value = m_node->Attribute("id");
    return ReturnText(value != nullptr ? *value : std::string(), id);
  }

  HRESULT getAttribute(BSTR name, LONG, VARIANT* value) override {
    if (value == nullptr) return E_POINTER;
    VariantInit(value);
    const std::string* found = m_node->Attribute(Utf8Of(name));
    if (found == nullptr) {
      value->vt = VT_NULL;
      return S_OK;
    }
    value->vt = VT_BSTR;
    return ReturnText(*found, &value->bstrVal);
  }

  HRESULT get_innerHTML(BSTR* html) override {
    return ReturnText(m_node->kind == HtmlNode::Kind::kElement ? InnerHtml(*m_node) : "", html);
  }

  HRESULT put_innerHTML(BSTR html) override try {
    // A comment has no markup inside it.
    if (m_node->kind != HtmlNode::Kind::kElement) return E_FAIL;
    NodeList gone = m_node->children;
    SetInnerHtml(m_node, Utf8Of(html));
    m_page->ChildrenReplaced(gone);
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }

  HRESULT get_innerText(BSTR* text) override { return ReturnText(InnerText(*m_node), text); }
  HRESULT get_outerHTML(BSTR* html) override { return ReturnText(OuterHtml(*m_node), html); }

  HRESULT get_parentElement(IHTMLElement** parent) override {
    if (parent == nullptr) return E_POINTER;
    *parent = nullptr;
    std::shared_ptr<HtmlNode> above = m_node->parent.lock();
    if (above == nullptr) return S_OK;
    return WrapElement(m_page, std::move(above), IID_IHTMLElement, reinterpret_cast<void**>(parent));
  }

  HRESULT get_children(IDispatch** children) override try {
    NodeList shown;
    for (const auto& child : m_node->children) {
      if (Shown(*child)) shown.push_back(child);
    }
    return WrapCollection(m_page, std::move(shown), IID_IDispatch, reinterpret_cast<void**>(children));
  } catch (...) {
    return E_OUTOFMEMORY;
  }

  HRESULT get_all(IDispatch** all) override try {
    NodeList below;
    Descendants(*m_node, &below);
    return WrapCollection(m_page, std::move(below), IID_IDispatch, reinterpret_cast<void**>(all));
  } catch (...) {
    return E_OUTOFMEMORY;
  }

  HRESULT get_object(IDispatch** control) override {
    if (control == nullptr) return E_POINTER;
    *control = nullptr;
    ComPtr<IUnknown> hosted;
    if (m_node->host == nullptr || FAILED(AtlAxGetControl(m_node->host, hosted.Out())))
      return E_FAIL;
    return hosted->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(control));
  }

  HRESULT get_classid(BSTR* classId) override {
    const std::string* value = m_node->Attribute("classid");
    return ReturnText(value != nullptr ? *value : std::string(), classId);
  }

 private:
  friend ComObject<HtmlElement, WithoutDispatchNames<IHTMLElement>,
                   WithoutDispatchNames<IHTMLObjectElement>>;
  HtmlElement(std::shared_ptr<WebPage> page, std::shared_ptr<HtmlNode> node)
      : m_page(std::move(page)), m_node(std::move(node)) {}
  ~HtmlElement() = default;

  std::shared_ptr<WebPage> m_page;
  std::shared_ptr<HtmlNode> m_node;
};

class HtmlDocument final : public ComObject<HtmlDocument, WithoutDispatchNames<IHTMLDocument2>> {
 public:
  InterfaceTable Interfaces() {
    return {{&IID_IHTMLDocument2, static_cast<IHTMLDocument2*>(this)},
            {&IID_IDispatch, static_cast<IDispatch*>(this)}};
  }

  HRESULT get_all(IHTMLElementCollection** all) override try {
    NodeList nodes;
    if (const auto& root = m_page->Root()) {
      nodes.push_back(root);
      Descendants(*root, &nodes);
    }
    return WrapCollection(m_page, std::move(nodes), IID_IHTMLElementCollection,
                          reinterpret_cast<void**>(all));
  } catch (...) {
    return E_OUTOFMEMORY;
  }

  HRESULT get_body(IHTMLElement** body) override {
    if (body == nullptr) return E_POINTER;
    *body = nullptr;
    std::shared_ptr<HtmlNode> node = m_page->Body();
    if (node == nullptr) return S_OK;
    return WrapElement(m_page, std::move(node), IID_IHTMLElement, reinterpret_cast<void**>(body));
  }

  HRESULT get_title(BSTR* title) override {
    NodeList nodes;
    if (const auto& root = m_page->Root()) Descendants(*root, &nodes);
    for (const auto& node : nodes) {
      if (node->kind == HtmlNode::Kind::kElement && node->name == "title")
        return ReturnText(InnerText(*node), title);
    }
    return ReturnText("", title);
  }

  HRESULT get_URL(BSTR* url) override {
    return ReturnText(WideToAnsi(m_page->Url(), CP_UTF8), url);
  }

  HRESULT get_readyState(BSTR* state) override {
    return ReturnText(m_page->IsComplete() ? "complete" : "loading", state);
  }

 private:
  friend ComObject<HtmlDocument, WithoutDispatchNames<IHTMLDocument2>>;
  explicit HtmlDocument(std::shared_ptr<WebPage> page) : m_page(std::move(page)) {}
  ~HtmlDocument() = default;

  std::shared_ptr<WebPage> m_page;
};

HRESULT WrapElement(const std::shared_ptr<WebPage>& page, std::shared_ptr<HtmlNode> node,
                    REFIID iid, void** out) {
  return HtmlElement::NewInstance(iid, out, page, std::move(node));
}

HRESULT WrapCollection(const std::shared_ptr<WebPage>& page, NodeList nodes, REFIID iid,
                       void** out) {
  return HtmlCollection::NewInstance(iid, out, page, std::move(nodes));
}

}  // namespace

HRESULT CreateHtmlDocument(std::shared_ptr<WebPage> page, IHTMLDocument2** document) {
  return HtmlDocument::NewInstance(IID_IHTMLDocument2, reinterpret_cast<void**>(document),
                                   std::move(page));
}
