// The web browser control's document: a tree of elements, texts and
// comments parsed by libxml2's HTML parser, read back as markup (inner
// HTML) and re-parsed where markup is written into it. Texts are UTF-8.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/ui/ui_types.h"

struct HtmlNode {
  enum class Kind { kElement, kText, kComment };

  Kind kind = Kind::kElement;
  std::string name;  // an element's tag, lower case
  std::vector<std::pair<std::string, std::string>> attributes;
  std::string text;  // a text's or a comment's content
  std::vector<std::shared_ptr<HtmlNode>> children;
  std::weak_ptr<HtmlNode> parent;
  // An OBJECT element's control host, while the element is in the page.
  HWND host = nullptr;

  // The attribute's value (name without regard to case); null when absent.
  const std::string* Attribute(std::string_view attributeName) const;
};

// Whether bytes begin (after white space and a byte-order mark) with one of
// the tags by which browsers recognise HTML ("<!DOCTYPE HTML", "<HTML",
// "<!--", "<P", ...), and hold no NUL byte.
bool LooksLikeHtml(std::string_view bytes);
// The document element (<html>) of a whole page; null when it cannot be
// parsed.
std::shared_ptr<HtmlNode> ParseHtmlDocument(std::string_view bytes);
// The nodes markup stands for inside an element's body.
std::vector<std::shared_ptr<HtmlNode>> ParseHtmlFragment(std::string_view markup);

// The markup of the node's children, and of the node itself.
std::string InnerHtml(const HtmlNode& node);
std::string OuterHtml(const HtmlNode& node);
// The texts inside the node, joined.
std::string InnerText(const HtmlNode& node);
// Replaces the children with the nodes of markup.
void SetInnerHtml(const std::shared_ptr<HtmlNode>& node, std::string_view markup);
