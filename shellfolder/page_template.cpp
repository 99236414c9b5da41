// The web view's template path and token replacement.
#include "shellfolder/page_template.h"

#include "platform/base/html_text.h"
#include "platform/base/paths.h"

std::string TemplatePathOf(std::string_view modulePath) {
  return SplitPath(modulePath).folder + "Mp3Db.HTT";
}

std::string PageFolderText(std::string_view currentPath) {
  const size_t slash = currentPath.rfind('/');
  return std::string(slash == std::string_view::npos ? currentPath : currentPath.substr(slash + 1));
}

bool ReplacePathToken(std::string* html, std::string_view text) {
  const std::string_view token(kPathToken);
  size_t at = html->find(token);
  if (at == std::string::npos) return false;
  const std::string escaped = HtmlEscape(text);
  std::string out;
  size_t from = 0;
  for (; at != std::string::npos; at = html->find(token, from)) {
    out.append(*html, from, at - from);
    out += escaped;
    from = at + token.size();
  }
  out.append(*html, from, std::string::npos);
  *html = std::move(out);
  return true;
}
