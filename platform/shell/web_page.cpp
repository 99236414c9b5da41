// The page's embedded controls and its layout. A page is laid out simply:
// the body's blocks (headings, paragraphs, lists, tables, and runs of text
// between them) one below the other at the width of the window, each as
// tall as its text wrapped at the font's average letter; an OBJECT element
// stands on its own, as wide and as tall as its width and height say (in
// pixels, or in percent of the width and of the height left below it),
// and its control host is put there.
#include "platform/shell/web_page.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include <strings.h>

#include "platform/base/codepage.h"
#include "platform/ui/gdi.h"
#include "platform/ui/ole.h"
#include "platform/ui/user32.h"

namespace {

constexpr int kMargin = 10;
constexpr char kPageFace[] = "Times New Roman";
constexpr int kPagePoints = 12;
constexpr int kDefaultObjectWidth = 300;
constexpr int kDefaultObjectHeight = 150;

bool IsElement(const HtmlNode& node, const char* name) {
  return node.kind == HtmlNode::Kind::kElement && node.name == name;
}

bool IsBlock(const HtmlNode& node) {
  static const char* const kBlocks[] = {
      "address", "article", "blockquote", "center", "dd", "div", "dl", "dt", "footer", "form",
      "h1", "h2", "h3", "h4", "h5", "h6", "header", "hr", "li", "nav", "ol", "p", "pre",
      "section", "table", "tbody", "td", "th", "thead", "tr", "ul"};
  if (node.kind != HtmlNode::Kind::kElement) return false;
  return std::any_of(std::begin(kBlocks), std::end(kBlocks),
                     [&](const char* name) { return node.name == name; });
}

bool Hidden(const HtmlNode& node) {
  return node.kind == HtmlNode::Kind::kComment ||
         (node.kind == HtmlNode::Kind::kElement &&
          (node.name == "head" || node.name == "script" || node.name == "style" ||
           node.name == "title"));
}

bool HoldsObject(const HtmlNode& node) {
  if (IsElement(node, "object")) return true;
  return std::any_of(node.children.begin(), node.children.end(),
                     [](const auto& child) { return HoldsObject(*child); });
}

// The text a person reads: runs of white space as one space, a line break
// for each <br> and between the blocks inside.
void ReadableText(const HtmlNode& node, std::string* out) {
  if (Hidden(node)) return;
  if (node.kind == HtmlNode::Kind::kText) {
    for (char c : node.text) {
      const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
      if (!space) {
        *out += c;
      } else if (!out->empty() && out->back() != ' ' && out->back() != '\n') {
        *out += ' ';
      }
    }
    return;
  }
  if (IsElement(node, "br")) {
    *out += '\n';
    return;
  }
  const bool block = IsBlock(node);
  if (block && !out->empty() && out->back() != '\n') *out += '\n';
  for (const auto& child : node.children) ReadableText(*child, out);
  if (block && !out->empty() && out->back() != '\n') *out += '\n';
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == ' ' || text.back() == '\n')) text.pop_back();
  size_t start = text.find_first_not_of(" \n");
  return start == std::string::npos ? std::string() : text.substr(start);
}

struct TextStyle {
  int points = kPagePoints;
  bool bold = false;
};

TextStyle StyleOf(const HtmlNode& node) {
  static const std::pair<const char*, double> kHeadings[] = {
      {"h1", 2.0}, {"h2", 1.5}, {"h3", 1.17}, {"h4", 1.0}, {"h5", 0.83}, {"h6", 0.67}};
  for (const auto& [name, scale] : kHeadings) {
    if (IsElement(node, name)) return {static_cast<int>(std::lround(kPagePoints * scale)), true};
  }
  if (IsElement(node, "th")) return {kPagePoints, true};
  return {};
}

// A length in pixels, or in percent of whole; fallback when absent or
// unreadable.
int Length(const std::string* text, int whole, int fallback) {
  if (text == nullptr || text->empty()) return fallback;
  char* end = nullptr;
  const double value = std::strtod(text->c_str(), &end);
  if (end == text->c_str() || !(value >= 0)) return fallback;
  // A page may ask for any size; none is laid out larger than this.
  constexpr double kLargest = 1 << 20;
  return static_cast<int>(std::clamp(*end == '%' ? whole * value / 100.0 : value, 0.0, kLargest));
}

class Layouter {
 public:
  Layouter(int width, int height) : m_width(width), m_height(height), m_y(kMargin) {}

  void Walk(const HtmlNode& node) {
    for (const auto& child : node.children) {
      if (Hidden(*child)) continue;
      if (IsElement(*child, "object")) {
        Flush();
        PlaceObject(*child);
      } else if (IsBlock(*child)) {
        Flush();
        // A block around an embedded control is split where the control
        // stands.
        if (HoldsObject(*child)) {
          Walk(*child);
        } else {
          std::string text;
          ReadableText(*child, &text);
          AddText(Trimmed(text), StyleOf(*child));
        }
      } else if (HoldsObject(*child)) {
        Walk(*child);
      } else {
        ReadableText(*child, &m_run);
      }
    }
  }

  void Flush() {
    AddText(Trimmed(m_run), TextStyle{});
    m_run.clear();
  }

  std::vector<ui::driver::PageBlock> blocks;
  std::vector<std::pair<HWND, RECT>> hosts;

 private:
  int Usable() const { return std::max(1, m_width - 2 * kMargin); }

  void AddText(const std::string& text, TextStyle style) {
    if (text.empty()) return;
    const ui::gdi::FontMetrics metrics = ui::gdi::MetricsOf(kPageFace, style.points, style.bold);
    const int perLine = std::max(1, Usable() / std::max(1, metrics.averageWidth));
    int lines = 0;
    size_t at = 0;
    while (at <= text.size()) {
      size_t end = text.find('\n', at);
      if (end == std::string::npos) end = text.size();
      const std::u16string line = AnsiToWide(text.substr(at, end - at), CP_UTF8);
      lines += std::max<int>(1, (static_cast<int>(line.size()) + perLine - 1) / perLine);
      at = end + 1;
    }
    // A little more than a line of the font a line, so that the face the
    // page is shown in, a little wider or taller, still fits.
    const int lineHeight = metrics.height + metrics.height / 4;
    const int height = lines * lineHeight + metrics.height / 4;
    ui::driver::PageBlock block;
    block.rect = RECT{kMargin, m_y, kMargin + Usable(), m_y + height};
    block.text = WideToAnsi(AnsiToWide(text, CP_UTF8));
    block.fontFace = kPageFace;
    block.fontPointSize = style.points;
    block.bold = style.bold;
    blocks.push_back(std::move(block));
    m_y += height + metrics.height / 2;
  }

  void PlaceObject(const HtmlNode& node) {
    const int left = std::max(1, m_height - m_y - kMargin);
    const int width = Length(node.Attribute("width"), Usable(), kDefaultObjectWidth);
    const int height = Length(node.Attribute("height"), left, kDefaultObjectHeight);
    if (node.host != nullptr)
      hosts.emplace_back(node.host, RECT{kMargin, m_y, kMargin + width, m_y + height});
    m_y += height + kMargin;
  }

  int m_width;
  int m_height;
  int m_y;
  std::string m_run;
};

}  // namespace

std::string ClassIdOfObject(const HtmlNode& node) {
  const std::string* classId = node.Attribute("classid");
  if (classId == nullptr || classId->size() <= 6 || strncasecmp(classId->c_str(), "clsid:", 6) != 0)
    return {};
  return "{" + classId->substr(6) + "}";
}

WebPage::~WebPage() { Detach(); }

void WebPage::Detach() {
  if (m_root != nullptr) DestroyHosts(*m_root);
  m_window = nullptr;
}

void WebPage::Load(std::shared_ptr<HtmlNode> root, std::u16string url) {
  if (m_root != nullptr) DestroyHosts(*m_root);
  m_root = std::move(root);
  m_url = std::move(url);
  m_complete = false;
  m_blocks.clear();
}

std::shared_ptr<HtmlNode> WebPage::Body() const {
  if (m_root == nullptr) return nullptr;
  for (const auto& child : m_root->children) {
    if (IsElement(*child, "body")) return child;
  }
  return nullptr;
}

void WebPage::Complete() {
  m_complete = true;
  if (m_root != nullptr) MakeHosts(m_root);
  Layout();
}

void WebPage::ChildrenReplaced(const std::vector<std::shared_ptr<HtmlNode>>& gone) {
  for (const auto& node : gone) DestroyHosts(*node);
  if (!m_complete) return;
  MakeHosts(m_root);
  Layout();
}

void WebPage::MakeHosts(const std::shared_ptr<HtmlNode>& node) {
  if (m_window == nullptr) return;
  if (IsElement(*node, "object") && node->host == nullptr) {
    const std::string classId = ClassIdOfObject(*node);
    // A class that cannot be made leaves its element empty, as a browser
    // leaves the place of a control it cannot show.
    if (!classId.empty())
      node->host = CreateWindowExA(0, kControlHostClass, classId.c_str(), WS_CHILD | WS_VISIBLE, 0,
                                   0, 0, 0, m_window,
                                   reinterpret_cast<HMENU>(static_cast<UINT_PTR>(m_nextHostId++)),
                                   nullptr, nullptr);
  }
  for (const auto& child : node->children) MakeHosts(child);
}

void WebPage::DestroyHosts(HtmlNode& node) {
  if (node.host != nullptr) {
    if (IsWindow(node.host)) DestroyWindow(node.host);
    node.host = nullptr;
  }
  for (const auto& child : node.children) DestroyHosts(*child);
}

void WebPage::Layout() {
  if (m_window == nullptr) return;
  RECT client{};
  GetClientRect(m_window, &client);
  Layouter layouter(client.right, client.bottom);
  if (auto body = Body()) layouter.Walk(*body);
  layouter.Flush();
  m_blocks = std::move(layouter.blocks);
  for (const auto& [host, rect] : layouter.hosts)
    MoveWindow(host, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, TRUE);
  InvalidateRect(m_window, nullptr, TRUE);
}
