// Parsing with libxml2's HTML parser into the control's own tree (which
// outlives any libxml2 document, so that element objects handed out stay
// valid while markup is re-parsed around them), and markup written back.
#include "platform/shell/html_tree.h"

#include <libxml/HTMLparser.h>
#include <strings.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace {

constexpr int kParseOptions =
    HTML_PARSE_NOERROR | HTML_PARSE_NOWARNING | HTML_PARSE_NONET;

struct XmlDocFree {
  void operator()(xmlDoc* doc) const { xmlFreeDoc(doc); }
};
using UniqueXmlDoc = std::unique_ptr<xmlDoc, XmlDocFree>;

std::string Utf8(const xmlChar* text) {
  return text != nullptr ? std::string(reinterpret_cast<const char*>(text)) : std::string();
}

std::shared_ptr<HtmlNode> Convert(xmlNode* source, const std::shared_ptr<HtmlNode>& parent);

void ConvertChildren(xmlNode* first, const std::shared_ptr<HtmlNode>& into) {
  for (xmlNode* child = first; child != nullptr; child = child->next) {
    if (auto converted = Convert(child, into)) into->children.push_back(std::move(converted));
  }
}

std::shared_ptr<HtmlNode> Convert(xmlNode* source, const std::shared_ptr<HtmlNode>& parent) {
  auto node = std::make_shared<HtmlNode>();
  node->parent = parent;
  switch (source->type) {
    case XML_ELEMENT_NODE:
      node->name = Utf8(source->name);
      std::transform(node->name.begin(), node->name.end(), node->name.begin(),
                     [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
      for (xmlAttr* attribute = source->properties; attribute != nullptr;
           attribute = attribute->next) {
        xmlChar* value = xmlNodeListGetString(source->doc, attribute->children, 1);
        node->attributes.emplace_back(Utf8(attribute->name), Utf8(value));
        xmlFree(value);
      }
      ConvertChildren(source->children, node);
      return node;
    case XML_TEXT_NODE:
    case XML_CDATA_SECTION_NODE:
      node->kind = HtmlNode::Kind::kText;
      node->text = Utf8(source->content);
      return node;
    case XML_COMMENT_NODE:
      node->kind = HtmlNode::Kind::kComment;
      node->text = Utf8(source->content);
      return node;
    default:
      return nullptr;
  }
}

UniqueXmlDoc Parse(std::string_view bytes) {
  if (bytes.size() > static_cast<size_t>(INT32_MAX)) return nullptr;
  return UniqueXmlDoc(htmlReadMemory(bytes.data(), static_cast<int>(bytes.size()), "page.htm",
                                     nullptr, kParseOptions));
}

bool IsVoid(const std::string& name) {
  static const std::array<const char*, 14> kVoid = {"area", "base",  "br",     "col",  "embed",
                                                     "hr",   "img",   "input",  "link", "meta",
                                                     "param", "source", "track", "wbr"};
  return std::any_of(kVoid.begin(), kVoid.end(), [&](const char* v) { return name == v; });
}

bool IsRawText(const std::string& name) { return name == "script" || name == "style"; }

void Escape(std::string_view text, bool attribute, std::string* out) {
  for (char c : text) {
    switch (c) {
      case '&':
        *out += "&amp;";
        break;
      case '<':
        *out += attribute ? "<" : "&lt;";
        break;
      case '>':
        *out += attribute ? ">" : "&gt;";
        break;
      case '"':
        *out += attribute ? "&quot;" : "\"";
        break;
      default:
        *out += c;
    }
  }
}

void Write(const HtmlNode& node, bool rawText, std::string* out);

void WriteChildren(const HtmlNode& node, std::string* out) {
  const bool raw = IsRawText(node.name);
  for (const auto& child : node.children) Write(*child, raw, out);
}

void Write(const HtmlNode& node, bool rawText, std::string* out) {
  switch (node.kind) {
    case HtmlNode::Kind::kText:
      if (rawText) {
        *out += node.text;
      } else {
        Escape(node.text, false, out);
      }
      return;
    case HtmlNode::Kind::kComment:
      *out += "<!--" + node.text + "-->";
      return;
    case HtmlNode::Kind::kElement:
      *out += "<" + node.name;
      for (const auto& [name, value] : node.attributes) {
        *out += " " + name + "=\"";
        Escape(value, true, out);
        *out += "\"";
      }
      *out += ">";
      if (IsVoid(node.name)) return;
      WriteChildren(node, out);
      *out += "</" + node.name + ">";
      return;
  }
}

void CollectText(const HtmlNode& node, std::string* out) {
  if (node.kind == HtmlNode::Kind::kText) *out += node.text;
  if (node.kind != HtmlNode::Kind::kElement || IsRawText(node.name)) return;
  for (const auto& child : node.children) CollectText(*child, out);
}

}  // namespace

const std::string* HtmlNode::Attribute(std::string_view attributeName) const {
  for (const auto& [name, value] : attributes) {
    if (name.size() == attributeName.size() &&
        strncasecmp(name.c_str(), attributeName.data(), name.size()) == 0)
      return &value;
  }
  return nullptr;
}

bool LooksLikeHtml(std::string_view bytes) {
  if (bytes.find('\0') != std::string_view::npos) return false;
  if (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  const size_t start = bytes.find_first_not_of(" \t\r\n\f");
  if (start == std::string_view::npos) return false;
  bytes.remove_prefix(start);
  // The tags of the sniffing rules browsers share, each followed by a
  // space or '>' (comments by nothing more).
  if (bytes.substr(0, 4) == "<!--") return true;
  static const char* const kTags[] = {"!DOCTYPE HTML", "HTML", "HEAD", "SCRIPT", "IFRAME", "H1",
                                      "DIV", "FONT", "TABLE", "A", "STYLE", "TITLE", "B", "BODY",
                                      "BR", "P"};
  if (bytes.empty() || bytes[0] != '<') return false;
  for (const char* tag : kTags) {
    const size_t length = std::char_traits<char>::length(tag);
    if (bytes.size() < length + 2 || strncasecmp(bytes.data() + 1, tag, length) != 0) continue;
    const char after = bytes[length + 1];
    if (after == ' ' || after == '>' || after == '\t' || after == '\n' || after == '\r')
      return true;
  }
  return false;
}

std::shared_ptr<HtmlNode> ParseHtmlDocument(std::string_view bytes) {
  UniqueXmlDoc doc = Parse(bytes);
  xmlNode* root = doc != nullptr ? xmlDocGetRootElement(doc.get()) : nullptr;
  if (root == nullptr) return nullptr;
  return Convert(root, nullptr);
}

std::vector<std::shared_ptr<HtmlNode>> ParseHtmlFragment(std::string_view markup) {
  // In a body of its own, as the markup would stand inside an element.
  const std::string page = "<html><body>" + std::string(markup) + "</body></html>";
  UniqueXmlDoc doc = Parse(page);
  xmlNode* root = doc != nullptr ? xmlDocGetRootElement(doc.get()) : nullptr;
  xmlNode* body = nullptr;
  for (xmlNode* child = root != nullptr ? root->children : nullptr; child != nullptr;
       child = child->next) {
    if (child->type == XML_ELEMENT_NODE && xmlStrcasecmp(child->name, BAD_CAST "body") == 0)
      body = child;
  }
  auto holder = std::make_shared<HtmlNode>();
  if (body != nullptr) ConvertChildren(body->children, holder);
  for (auto& child : holder->children) child->parent.reset();
  return std::move(holder->children);
}

std::string InnerHtml(const HtmlNode& node) {
  std::string out;
  WriteChildren(node, &out);
  return out;
}

std::string OuterHtml(const HtmlNode& node) {
  std::string out;
  Write(node, false, &out);
  return out;
}

std::string InnerText(const HtmlNode& node) {
  std::string out;
  CollectText(node, &out);
  return out;
}

void SetInnerHtml(const std::shared_ptr<HtmlNode>& node, std::string_view markup) {
  // A script's or a style's body is text whatever it looks like, as a
  // browser parses it there: read as markup it would turn into elements.
  std::vector<std::shared_ptr<HtmlNode>> children;
  if (node->kind == HtmlNode::Kind::kElement && IsRawText(node->name)) {
    if (!markup.empty()) {
      auto text = std::make_shared<HtmlNode>();
      text->kind = HtmlNode::Kind::kText;
      text->text = std::string(markup);
      children.push_back(std::move(text));
    }
  } else {
    children = ParseHtmlFragment(markup);
  }
  for (auto& child : node->children) child->parent.reset();
  for (auto& child : children) child->parent = node;
  node->children = std::move(children);
}
