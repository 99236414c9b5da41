// The page a web browser control shows: its document, the controls its
// OBJECT elements embed (each in a control host, a child of the control's
// window, made by class identifier), and its layout in blocks of text and
// embedded controls, top to bottom. Shared by the control and every
// element object handed out, which may outlive the window.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/shell/html_tree.h"
#include "platform/ui/driver.h"

class WebPage {
 public:
  explicit WebPage(HWND window) : m_window(window) {}
  ~WebPage();
  WebPage(const WebPage&) = delete;
  WebPage& operator=(const WebPage&) = delete;

  HWND Window() const { return m_window; }
  // The window is going: its hosts go with it.
  void Detach();

  // Shows a new document (its controls come with Complete).
  void Load(std::shared_ptr<HtmlNode> root, std::u16string url);
  // Makes the embedded controls and lays the page out.
  void Complete();
  bool IsComplete() const { return m_complete; }
  const std::shared_ptr<HtmlNode>& Root() const { return m_root; }
  std::shared_ptr<HtmlNode> Body() const;
  const std::u16string& Url() const { return m_url; }

  // node's children were replaced: the controls of those that went are
  // destroyed, the new ones made, and the page laid out again.
  void ChildrenReplaced(const std::vector<std::shared_ptr<HtmlNode>>& gone);
  void Layout();
  std::vector<ui::driver::PageBlock> Blocks() const { return m_blocks; }

 private:
  void MakeHosts(const std::shared_ptr<HtmlNode>& node);
  void DestroyHosts(HtmlNode& node);

  HWND m_window;
  std::shared_ptr<HtmlNode> m_root;
  std::u16string m_url;
  bool m_complete = false;
  std::vector<ui::driver::PageBlock> m_blocks;
  int m_nextHostId = 1;
};

// The class identifier an OBJECT element names ("clsid:XXXXXXXX-...",
// braced); empty when it names none.
std::string ClassIdOfObject(const HtmlNode& node);
